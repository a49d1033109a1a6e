#pragma once
// The sale writer: Venta_Encabezado and one Venta row per line, inside the caller's
// transaction. A sale made from a delivery note moves no stock (the note did); header and lines
// carry the caller's Vn_Inventario_Pendiente.
//
// Road: Nuevo, Inicia, AsignaEncabezado (assigns the folio from Folio_Documento 'Venta' and
// writes the header), then per line AsignaDatosPartida + AsignaPartida + AgregaPartida. The
// header totals are summed once, from the stored lines, by the invoice (Facturacion::GeneraFactura)
// and the sale's document control (ControlDocumento::ProcesaDocumento): summing after every line
// made a sale's cost grow with the square of its lines.
#include "base/Value.h"
#include "host/writers/DatosPartidaVenta.h"
#include "host/writers/Partida.h"
#include "host/services/Entorno.h"
#include "host/services/Importes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tesmira::host {

// Sale header record; Encabezado() answers it with Vn_Folio filled.
struct EncabezadoVenta {
    std::string Vn_Folio; // "" on input: the writer assigns it
    Date Vn_Fecha;
    std::string Vn_Comentario;
    std::string Vn_Referencia;
    std::string Vn_Tabla;     // source table, "Remision"
    std::string Vn_Documento; // source folio; its order becomes Vn_Pedido
    // Advance applied to the sale; the screen sends 0 and this writer keeps no advances.
    double Vn_Anticipo = 0;
    std::string Mn_Cve_Moneda;
    double Vn_Tipo_Cambio = 0;
    std::string Vn_Sin_Cargo = "NO";
    std::string Vn_Factura; // invoice folio text as the series control shows it
    std::string Vn_Serie;   // series code
    int32_t Vn_Numero = 0;  // series number
    double Vn_Descuento_Global_Factor = 0;
    std::string Sc_Cve_Sucursal;
    std::string Al_Cve_Almacen;
    std::string Cl_Cve_Cliente;
    std::string Vn_Cve_Vendedor;
    // "NO" when the stock has already moved (a sale of a delivery note).
    std::string Vn_Inventario_Pendiente = "SI";
};

class DocumentoVenta {
public:
    explicit DocumentoVenta(Entorno& entorno);
    ~DocumentoVenta();
    DocumentoVenta(const DocumentoVenta&) = delete;
    DocumentoVenta& operator=(const DocumentoVenta&) = delete;

    void Nuevo();
    // False when no transaction is open (the sale must go with its caller's work).
    bool Inicia();
    // Assigns the folio when Vn_Folio is "" and writes the header row; the sale condition
    // and the order come from the source note. Throws Error when the counter is missing.
    void AsignaEncabezado(const EncabezadoVenta& encabezado);
    // The invoice folio the lines stored from now on carry (see Facturacion::ReservaFactura).
    void AsignaFactura(const std::string& folio);
    void AsignaDatosPartida(const DatosPartidaVenta& datos);
    void AsignaPartida(const PartidaVenta& partida);
    // Stores the line last assigned (Vn_ID "0001".. in call order) with its amounts and
    // serial numbers. False when no header was written,
    // the quantity is not positive or the product is unknown.
    bool AgregaPartida();
    const EncabezadoVenta& Encabezado() const { return m_encabezado; }
    std::string UltimoError() const { return m_ultimoError; }

private:
    bool falla(std::string reason);

    Entorno& m_e;
    EncabezadoVenta m_encabezado;
    PartidaVenta m_partida;
    DatosPartidaVenta m_datos;
    bool m_escrito = false;
    int m_lineas = 0;
    // The lines stored so far, summed as they go (a large sale is not re-read per line).
    TotalesDocumento m_totales{0};
    // The values of the sale-line INSERT: the header's first, the line's next, the stamp last.
    static constexpr size_t kValoresCabecera = 19, kValoresVenta = 46;
    std::vector<Value> m_fila;
    std::string m_ultimoError;
};

} // namespace tesmira::host
