// Line amounts and document totals. The price chain is the host's; the screen feeds it and
// keeps what it answers, then spreads the global discount and the tax line by line.
//
// txtDescuento_Global shows the global discount as a percentage ("5.00%") and its value reads
// back as the factor (0.05): the loaders write factor x 100 and everything else reads a factor
// (see the field's number format in frmVN003.cpp).
#include "base/Error.h"
#include "base/Vb.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <cmath>

namespace tesmira::vn003 {

namespace {

// VB raised an overflow where a double turns infinite or NaN; the caller reports it.
double finito(double x)
{
    if (!std::isfinite(x))
        throw Error("Desbordamiento");
    return x;
}

} // namespace

void frmVN003::CalculaImportesPartida()
{
    double cantidad = ssDetalle.col("Cantidad_1").value().toDouble();
    double precioLista = ssDetalle.col("Precio_Lista").value().toDouble();
    double descuentoFactor = ssDetalle.col("Descuento_Factor").value().toDouble();
    double impuestoFactor = ssDetalle.col("Impuesto_Factor").value().toDouble();
    const double cuota = ssDetalle.col("Cuota").value().toDouble();
    double importeLista = 0, descuentoImporte = 0, precioDescontado = 0, importeDescontado = 0;
    double extra1 = 0, extra2 = 0, impuestoImporte = 0, precioNeto = 0, importeNeto = 0;

    Utilerias().CalculaImportes(cantidad, precioLista, importeLista, descuentoFactor, descuentoImporte,
                                precioDescontado, importeDescontado, extra1, extra2, impuestoFactor, impuestoImporte,
                                precioNeto, importeNeto, Parametros.TipoCalculoImportes, cuota);

    ssDetalle.col("Impuesto_Importe").setValue(impuestoImporte);
    ssDetalle.col("Precio_Descontado_Importe").setValue(vb::round2(importeDescontado));
    ssDetalle.col("Precio_Neto_Importe").setValue(vb::round2(importeNeto));
}

void frmVN003::CalculaTotales()
{
    double t1 = 0, t2 = 0, suma = 0, descuentos = 0, impuestos = 0, peso = 0, volumen = 0;
    const double descuentoGlobal = txtDescuento_Global.value().toDouble();

    const int renglones = ssDetalle.rowCount();
    if (renglones > 0)
        ssDetalle.moveFirst();
    for (int i = 0; i < renglones; ++i) {
        const double cantidad = ssDetalle.col("Cantidad_1").value().toDouble();
        t1 += cantidad;
        t2 += ssDetalle.col("Cantidad_Control_2").value().toDouble();
        // The quota is neither discounted nor taxed.
        const double cuota = finito(ssDetalle.col("Cuota").value().toDouble() * cantidad);
        const double importe = ssDetalle.col("Precio_Descontado_Importe").value().toDouble();
        suma += importe;
        const double descuento = vb::round4(finito(descuentoGlobal * finito(importe - cuota)));
        descuentos += descuento;
        const double impuesto =
            vb::round4(finito(ssDetalle.col("Impuesto_Factor").value().toDouble() * finito((importe - cuota) - descuento)));
        ssDetalle.col("Impuesto_Importe").setValue(impuesto);
        impuestos += ssDetalle.col("Impuesto_Importe").value().toDouble();
        const std::string producto = ssDetalle.col("Pr_Cve_Producto").value().toString();
        peso += cantidad * Utilerias().PesoProducto(producto);
        volumen += cantidad * Utilerias().VolumenProducto(producto);
        ssDetalle.moveNext();
    }

    txtTCantidad1.setValue(t1);
    txtTCantidad2.setValue(t2);
    txtTPeso.setValue(peso);
    txtTVolumen.setValue(volumen);
    txtSuma.setValue(suma);
    txtSubTotal.setValue(Utilerias().Redondea(suma - descuentos, 2));
    txtImpuestos.setValue(vb::round2(impuestos));
    txtTotal.setValue(txtSubTotal.value().toDouble() + txtImpuestos.value().toDouble());
    txtTotalLocal.setValue(txt_Rm_Tipo_Cambio.value().toDouble() * txtTotal.value().toDouble());
}

} // namespace tesmira::vn003
