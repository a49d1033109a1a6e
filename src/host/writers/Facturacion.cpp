#include "host/writers/Facturacion.h"

#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"

#include <algorithm>
#include <cstdio>

namespace tesmira::host {

using sql::numero;
using sql::texto;

namespace {

bool activo(const std::string& estado)
{
    return !sameKey(estado, "BA") && !sameKey(estado, "CA");
}

} // namespace

Facturacion::Facturacion(Entorno& entorno) : m_e(entorno) {}

Facturacion::~Facturacion() = default;

bool Facturacion::falla(std::string reason)
{
    m_ultimoError = std::move(reason);
    return false;
}

bool Facturacion::ValidaCondicion(const std::string& condition, double total, const std::string&)
{
    if (condition.empty())
        return falla("No se indicó la condición de venta");
    auto rs = m_e.conexion.Execute("SELECT Es_Cve_Estado FROM Condicion_Venta WHERE Cv_Cve_Condicion_Venta = " +
                                   texto(condition));
    if (rs.Eof())
        return falla("No existe la condición de venta: " + condition);
    if (!activo(rs.Fields("Es_Cve_Estado").toString()))
        return falla("La condición de venta " + condition + " no está activa");
    if (total < 0)
        return falla("El total del documento no puede ser negativo");
    return true;
}

bool Facturacion::tomaFolio(const std::string& seriesCode, const std::string& sucursal, std::string& folio,
                            int64_t& numeroFactura)
{
    auto& c = m_e.conexion;
    if (seriesCode.empty())
        return falla("No se indicó la serie de facturación");
    auto serie = c.Execute("SELECT Sc_Cve_Sucursal, Es_Cve_Estado FROM Serie_Factura WHERE Sf_Cve_Serie = " +
                           texto(seriesCode));
    if (serie.Eof())
        return falla("No existe la serie de facturación: " + seriesCode);
    if (!activo(serie.Fields("Es_Cve_Estado").toString()))
        return falla("La serie de facturación " + seriesCode + " no está activa");
    if (!sameKey(serie.Fields("Sc_Cve_Sucursal").toString(), sucursal))
        return falla("La serie de facturación " + seriesCode + " no pertenece a la sucursal " + sucursal);

    // The counter advances before it is read (see siguienteFolio): two invoices never share a number.
    c.Execute("UPDATE Serie_Factura SET Sf_Siguiente = Sf_Siguiente + 1 WHERE Sf_Cve_Serie = " + texto(seriesCode));
    const int64_t tomado = c.Execute("SELECT Sf_Siguiente - 1 AS Sf_Tomado FROM Serie_Factura WHERE Sf_Cve_Serie = " +
                                     texto(seriesCode)).Fields("Sf_Tomado").toInt();
    numeroFactura = tomado;
    for (;; ++numeroFactura) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04lld", static_cast<long long>(numeroFactura));
        folio = seriesCode + buf;
        if (c.Execute("SELECT 1 FROM Factura WHERE Fc_Factura = " + texto(folio)).Eof())
            break;
    }
    if (numeroFactura != tomado)
        c.Execute("UPDATE Serie_Factura SET Sf_Siguiente = " + std::to_string(numeroFactura + 1) +
                  " WHERE Sf_Cve_Serie = " + texto(seriesCode));

    return true;
}

bool Facturacion::ReservaFactura(const std::string& saleFolio, const std::string& seriesCode)
{
    m_reserva.reset();
    auto venta = m_e.conexion.Execute("SELECT Sc_Cve_Sucursal FROM Venta_Encabezado WHERE Vn_Folio = " +
                                      texto(saleFolio));
    if (venta.Eof())
        return falla("No existe la venta: " + saleFolio);
    Reserva r{saleFolio, seriesCode, "", 0};
    if (!tomaFolio(seriesCode, venta.Fields("Sc_Cve_Sucursal").toString(), r.folio, r.numero))
        return false;
    m_reserva = std::move(r);
    return true;
}

// The toolbar's text value and the number the caller saw are not used: the number is the
// series counter's at the moment the invoice is written or reserved (inside the caller's
// transaction, so two invoices can never share it).
bool Facturacion::GeneraFactura(const std::string& saleFolio, bool fromDocument, const std::string&,
                                const std::string& seriesCode, int32_t, const std::string&)
{
    auto& c = m_e.conexion;
    m_folio.clear();
    m_recibos.clear();
    m_pagares.clear();
    auto venta = c.Execute("SELECT * FROM Venta_Encabezado WHERE Vn_Folio = " + texto(saleFolio));
    if (venta.Eof())
        return falla("No existe la venta: " + saleFolio);
    if (sameKey(venta.Fields("Es_Cve_Estado").toString(), "CA"))
        return falla("La venta " + saleFolio + " está cancelada");
    if (fromDocument && venta.Fields("Vn_Documento").toString().empty())
        return falla("La venta " + saleFolio + " no proviene de un documento");
    auto previa = c.Execute("SELECT TOP 1 Fc_Factura FROM Factura WHERE Fc_Tabla = 'VENTA' AND Fc_Documento = " +
                            texto(saleFolio) + " AND Es_Cve_Estado <> 'CA'");
    if (!previa.Eof())
        return falla("La venta " + saleFolio + " ya está facturada en " + previa.Fields("Fc_Factura").toString());
    // The sale writer leaves the totals to this moment: they are summed once, over every line.
    escritura::actualizaTotalesVenta(m_e, saleFolio);
    venta = c.Execute("SELECT * FROM Venta_Encabezado WHERE Vn_Folio = " + texto(saleFolio));

    const std::string sucursal = venta.Fields("Sc_Cve_Sucursal").toString();
    std::string folio;
    int64_t numeroFactura = 0;
    // Lines written after a reservation already carry the folio and the stamp.
    const bool reservada = m_reserva && m_reserva->venta == saleFolio && m_reserva->serie == seriesCode;
    if (reservada) {
        folio = m_reserva->folio;
        numeroFactura = m_reserva->numero;
    } else if (!tomaFolio(seriesCode, sucursal, folio, numeroFactura)) {
        return false;
    }
    m_reserva.reset();

    // Cash sales get one payment receipt; credit sales one promissory note per 30 days of
    // credit (the condition's days, else the customer's), at least one.
    const std::string condicion = venta.Fields("Vn_Condicion_Venta").toString();
    auto cv = c.Execute("SELECT Cv_Tipo_Condicion, Cv_Dias_Credito FROM Condicion_Venta WHERE "
                        "Cv_Cve_Condicion_Venta = " + texto(condicion));
    const std::string tipo = cv.Eof() ? "" : cv.Fields("Cv_Tipo_Condicion").toString();
    std::string recibos, pagares;
    if (tipo == "01") {
        recibos = folio + "-R1";
    } else if (tipo == "02") {
        int64_t dias = cv.Fields("Cv_Dias_Credito").toInt();
        if (dias <= 0) {
            auto cliente = c.Execute("SELECT Cl_Dias_Credito FROM Cliente WHERE Cl_Cve_Cliente = " +
                                     texto(venta.Fields("Cl_Cve_Cliente").toString()));
            dias = cliente.Eof() ? 0 : cliente.Fields("Cl_Dias_Credito").toInt();
        }
        const int64_t n = std::max<int64_t>(1, (dias + 29) / 30);
        for (int64_t i = 1; i <= n; ++i)
            pagares += (i > 1 ? "|" : "") + folio + "-P" + std::to_string(i);
    }

    const std::string fecha = escritura::sello(m_e);
    c.Execute("INSERT INTO Factura (Fc_Factura, Fc_Serie, Fc_Numero, Fc_Fecha, Fc_Tabla, Fc_Documento, "
              "Sc_Cve_Sucursal, Cl_Cve_Cliente, Mn_Cve_Moneda, Fc_Tipo_Cambio, Fc_Condicion_Venta, Fc_Subtotal, "
              "Fc_Impuesto, Fc_Total, Fc_Recibo_Pago, Fc_Pagares, Es_Cve_Estado, Oper_Ult_Modif, Fecha_Ult_Modif) "
              "VALUES (" +
              texto(folio) + ", " + texto(seriesCode) + ", " + std::to_string(numeroFactura) + ", " + texto(fecha) +
              ", 'VENTA', " + texto(saleFolio) + ", " + texto(sucursal) + ", " +
              texto(venta.Fields("Cl_Cve_Cliente").toString()) + ", " +
              texto(venta.Fields("Mn_Cve_Moneda").toString()) + ", " +
              numero(venta.Fields("Vn_Tipo_Cambio").toDouble()) + ", " + texto(condicion) + ", " +
              numero(venta.Fields("Vn_Subtotal").toDouble()) + ", " + numero(venta.Fields("Vn_Impuesto").toDouble()) +
              ", " + numero(venta.Fields("Vn_Total").toDouble()) + ", " + texto(recibos) + ", " + texto(pagares) +
              ", 'AC', " + texto(m_e.usuario) + ", " + texto(fecha) + ")");
    const std::string estampa =
        ", Oper_Ult_Modif = " + texto(m_e.usuario) + ", Fecha_Ult_Modif = " + texto(fecha) + " WHERE Vn_Folio = " +
        texto(saleFolio);
    c.Execute("UPDATE Venta_Encabezado SET Vn_Factura = " + texto(folio) + ", Vn_Serie = " + texto(seriesCode) +
              ", Vn_Numero = " + std::to_string(numeroFactura) + estampa);
    if (reservada)
        c.Execute("UPDATE Venta SET Vn_Factura = ?, Oper_Ult_Modif = ?, Fecha_Ult_Modif = ? WHERE Vn_Folio = ? AND "
                  "(Fecha_Ult_Modif IS NULL OR Vn_Factura <> ? OR Oper_Ult_Modif <> ? OR Fecha_Ult_Modif <> ?)",
                  {folio, m_e.usuario, fecha, saleFolio, folio, m_e.usuario, fecha});
    else
        c.Execute("UPDATE Venta SET Vn_Factura = " + texto(folio) + estampa);
    m_folio = folio;
    m_recibos = recibos;
    m_pagares = pagares;
    return true;
}

} // namespace tesmira::host
