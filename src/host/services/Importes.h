#pragma once
// A line's amounts, computed once for everybody: the grid (through Utilerias.CalculaImportes),
// the totals and the document writers price a line here, so a stored note carries the
// amounts the screen showed.
namespace tesmira::host {

struct ImportesPartida {
    double importeLista = 0;
    double descuentoImporte = 0;
    double precioDescontado = 0;
    double cuotaImporte = 0;
    double importeDescontado = 0;
    double baseImpuesto = 0;
    double impuestoImporte = 0;
    double precioNeto = 0;
    double importeNeto = 0;
};

// The price chain of a line under a calculation kind (REM_TIPO_CALCULO_IMPORTES): 1 and 5
// leave the fixed fee untaxed, 2 and 3 tax it; 5 and 3 round prices to 4 decimals and
// amounts to 2. Throws Error for any other kind.
ImportesPartida calculaImportes(double cantidad, double precioLista, double descuentoFactor, double impuestoFactor,
                                double cuota, int tipoCalculo);

// What a grid row and a stored line keep of the chain: the discounted and net amounts to
// cents, the rest as the chain answered it.
ImportesPartida importesRenglon(double cantidad, double precioLista, double descuentoFactor, double impuestoFactor,
                                double cuota, int tipoCalculo);

// The document's totals, line by line: each line bears its share of the global discount
// (rounded to 4 decimals) and its tax net of it; the fee amount bears neither.
// An infinite or undefined intermediate throws Error("Desbordamiento").
class TotalesDocumento {
public:
    explicit TotalesDocumento(double descuentoGlobal) : m_descuentoGlobal(descuentoGlobal) {}

    // Answers the line's tax net of the global discount (the row keeps it).
    double agrega(double importeDescontado, double cuotaImporte, double impuestoFactor);

    double suma() const { return m_suma; }
    double descuentos() const { return m_descuentos; }
    double impuestos() const { return m_impuestos; }
    double subtotal() const;
    double impuesto() const;
    double total() const { return subtotal() + impuesto(); }

private:
    double m_descuentoGlobal;
    double m_suma = 0;
    double m_descuentos = 0;
    double m_impuestos = 0;
};

} // namespace tesmira::host
