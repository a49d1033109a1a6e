#include "host/services/Importes.h"

#include "base/Error.h"
#include "base/Vb.h"

#include <cmath>
#include <string>

namespace tesmira::host {

namespace {

// VB raised an overflow where a double turns infinite or NaN.
double finito(double x)
{
    if (!std::isfinite(x))
        throw Error("Desbordamiento");
    return x;
}

} // namespace

// q = quantity, p = list price, d = discount factor, t = tax factor, c = fixed fee per unit:
//   list amount        = q * p
//   discount amount    = list amount * d
//   discounted price   = p * (1 - d)
//   fee amount         = c * q
//   discounted amount  = list amount - discount amount + fee amount
//   tax base           = discounted amount, less the fee amount under kinds 1 and 5
//   tax amount         = tax base * t
//   net price          = discounted price * (1 + t) + c, with c * (1 + t) under kinds 2 and 3
//   net amount         = discounted amount + tax amount
// With c = 0 kinds 1 and 2 agree.
ImportesPartida calculaImportes(double cantidad, double precioLista, double descuentoFactor, double impuestoFactor,
                                double cuota, int tipoCalculo)
{
    if (tipoCalculo != 1 && tipoCalculo != 2 && tipoCalculo != 3 && tipoCalculo != 5)
        throw Error("Tipo de cálculo de importes no soportado: " + std::to_string(tipoCalculo));
    const bool cuotaGravada = tipoCalculo == 2 || tipoCalculo == 3;
    const bool redondeado = tipoCalculo == 3 || tipoCalculo == 5;
    auto importe = [&](double v) { return redondeado ? vb::round2(v) : v; };
    auto precio = [&](double v) { return redondeado ? vb::round4(v) : v; };

    ImportesPartida i;
    i.importeLista = importe(cantidad * precioLista);
    i.descuentoImporte = importe(i.importeLista * descuentoFactor);
    i.precioDescontado = precio(precioLista * (1 - descuentoFactor));
    i.cuotaImporte = importe(cuota * cantidad);
    i.importeDescontado = importe(i.importeLista - i.descuentoImporte + i.cuotaImporte);
    i.baseImpuesto = cuotaGravada ? i.importeDescontado : importe(i.importeDescontado - i.cuotaImporte);
    i.impuestoImporte = importe(i.baseImpuesto * impuestoFactor);
    const double cuotaNeta = cuotaGravada ? cuota * (1 + impuestoFactor) : cuota;
    i.precioNeto = precio(i.precioDescontado * (1 + impuestoFactor) + cuotaNeta);
    i.importeNeto = importe(i.importeDescontado + i.impuestoImporte);
    return i;
}

ImportesPartida importesRenglon(double cantidad, double precioLista, double descuentoFactor, double impuestoFactor,
                                double cuota, int tipoCalculo)
{
    ImportesPartida i = calculaImportes(cantidad, precioLista, descuentoFactor, impuestoFactor, cuota, tipoCalculo);
    i.importeDescontado = vb::round2(i.importeDescontado);
    i.importeNeto = vb::round2(i.importeNeto);
    return i;
}

double TotalesDocumento::agrega(double importeDescontado, double cuotaImporte, double impuestoFactor)
{
    m_suma += importeDescontado;
    const double base = finito(importeDescontado - finito(cuotaImporte));
    const double descuento = vb::round4(finito(m_descuentoGlobal * base));
    m_descuentos += descuento;
    const double impuesto = vb::round4(finito(impuestoFactor * finito(base - descuento)));
    m_impuestos += impuesto;
    return impuesto;
}

double TotalesDocumento::subtotal() const { return vb::roundTo(m_suma - m_descuentos, 2); }

double TotalesDocumento::impuesto() const { return vb::round2(m_impuestos); }

} // namespace tesmira::host
