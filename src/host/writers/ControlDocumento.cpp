#include "host/writers/ControlDocumento.h"

#include "base/Error.h"
#include "base/Text.h"
#include "db/Connection.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"

#include <array>
#include <cmath>

namespace tesmira::host {

using sql::texto;

namespace {

struct TablaDocumento {
    const char* tabla;
    const char* encabezado;
    const char* clave;
};

// Document tables whose cancellation can be recorded, with their header table and key.
constexpr std::array<TablaDocumento, 4> kTablas{{
    {"Remision", "Remision_Encabezado", "Rm_Folio"},
    {"Venta", "Venta_Encabezado", "Vn_Folio"},
    {"Factura", "Factura", "Fc_Factura"},
    {"Pedido", "Pedido_Encabezado", "Pd_Folio"},
}};

const TablaDocumento* buscaTabla(const std::string& tabla)
{
    for (const auto& t : kTablas)
        if (sameKey(tabla, t.tabla))
            return &t;
    return nullptr;
}

std::string estampa(const Entorno& e)
{
    return "Oper_Ult_Modif = " + texto(e.usuario) + ", Fecha_Ult_Modif = " + texto(escritura::sello(e));
}

void bitacora(const Entorno& e, const std::string& tabla, const std::string& documento, const std::string& accion)
{
    e.conexion.Execute("INSERT INTO Bitacora_Documento (Bd_Tabla, Bd_Documento, Bd_Accion, Oper_Ult_Modif, "
                       "Fecha_Ult_Modif) VALUES (" + texto(tabla) + ", " + texto(documento) + ", " + texto(accion) +
                       ", " + texto(e.usuario) + ", " + texto(escritura::sello(e)) + ")");
}

// True when every order line that is to be delivered (not back-ordered nor cancelled) has
// received, in control unit 1, at least its ordered quantity from live notes.
bool pedidoSurtido(db::Connection& c, const std::string& pedido)
{
    auto rs = c.Execute("SELECT Pedido.Pd_ID, Pedido.Pd_Cantidad_Control_1, "
                        "isnull((SELECT SUM(Rm_Cantidad_Control_1) FROM Remision WHERE Rm_Tabla = 'PEDIDO' AND "
                        "Rm_Documento = Pedido.Pd_Folio AND Rm_Documento_ID = Pedido.Pd_ID AND "
                        "Es_Cve_Estado <> 'CA'), 0) AS Surtido FROM Pedido WHERE Pd_Folio = " + texto(pedido) +
                        " AND Es_Cve_Estado NOT IN ('BO', 'CA')");
    if (rs.Eof())
        return false;
    for (; !rs.Eof(); rs.MoveNext())
        if (rs.Fields("Surtido").toDouble() + 1e-9 < rs.Fields("Pd_Cantidad_Control_1").toDouble())
            return false;
    return true;
}

} // namespace

ControlDocumento::ControlDocumento(Entorno& entorno) : m_e(entorno) {}

ControlDocumento::~ControlDocumento() = default;

bool ControlDocumento::falla(std::string reason)
{
    m_ultimoError = std::move(reason);
    return false;
}

bool ControlDocumento::requiereSesion(const std::string& folio)
{
    if (!m_sesion)
        return falla("El control de documentos no fue iniciado");
    if (folio.empty())
        return falla("No se indicó el documento");
    return true;
}

bool ControlDocumento::Inicia()
{
    // The control's writes belong to the document's own transaction: without one they
    // could outlive a document that is rolled back.
    if (!m_e.conexion.inTransaction())
        return falla("El control de documentos requiere una transacción abierta");
    if (m_sesion)
        return falla("El control de documentos ya fue iniciado");
    m_sesion = true;
    return true;
}

bool ControlDocumento::Termina()
{
    if (!m_sesion)
        return falla("El control de documentos no fue iniciado");
    m_sesion = false;
    m_validado.clear();
    return true;
}

// Order rule after a note is cancelled:
//  1. An order closed while the note was live ('CE' with the state it had before closing
//     in Pd_Estado_Proceso) reopens in that state: the cancelled delivery is pending again.
//  2. An open order ('AC'/'RM') is 'RM' while another live note delivers it, else 'AC'.
//  3. Orders in any other state (invoiced 'FA'/'FR', cancelled) are left alone.
// The order's lines follow: closed or open lines take the order's new state; back-ordered
// lines keep theirs.
bool ControlDocumento::ProcesaBaja(const std::string& table, const std::string& folio)
{
    if (!requiereSesion(folio))
        return false;
    if (!sameKey(table, "Remision"))
        return falla("No se procesan bajas de la tabla: " + table);
    auto& c = m_e.conexion;
    auto nota = c.Execute("SELECT Rm_Tabla, Rm_Documento, Rm_PDA_Salida, Es_Cve_Estado FROM Remision_Encabezado "
                          "WHERE Rm_Folio = " + texto(folio));
    if (nota.Eof())
        return falla("No existe la remisión: " + folio);
    if (!sameKey(nota.Fields("Es_Cve_Estado").toString(), "CA"))
        return falla("La remisión " + folio + " no está cancelada");

    const std::string pedido = nota.Fields("Rm_Documento").toString();
    if (sameKey(nota.Fields("Rm_Tabla").toString(), "PEDIDO")) {
        auto orden = c.Execute("SELECT Es_Cve_Estado, Pd_Estado_Proceso FROM Pedido_Encabezado WHERE Pd_Folio = " +
                               texto(pedido));
        if (!orden.Eof()) {
            std::string estado = orden.Fields("Es_Cve_Estado").toString();
            const std::string previo = orden.Fields("Pd_Estado_Proceso").toString();
            if (sameKey(estado, "CE") && !previo.empty())
                estado = previo;
            if (sameKey(estado, "AC") || sameKey(estado, "RM")) {
                const bool otrasNotas = !c.Execute("SELECT TOP 1 Rm_Folio FROM Remision_Encabezado WHERE "
                                                   "Rm_Tabla = 'PEDIDO' AND Rm_Documento = " + texto(pedido) +
                                                   " AND Es_Cve_Estado <> 'CA'")
                                             .Eof();
                const std::string nuevo = otrasNotas ? "RM" : "AC";
                c.Execute("UPDATE Pedido_Encabezado SET Es_Cve_Estado = " + texto(nuevo) + ", Pd_Estado_Proceso = '', " +
                          estampa(m_e) + " WHERE Pd_Folio = " + texto(pedido));
                c.Execute("UPDATE Pedido SET Es_Cve_Estado = " + texto(nuevo) + ", " + estampa(m_e) +
                          " WHERE Pd_Folio = " + texto(pedido) + " AND Es_Cve_Estado IN ('AC', 'RM', 'CE')");
            }
        }
    }
    const std::string salida = nota.Fields("Rm_PDA_Salida").toString();
    if (!salida.empty())
        c.Execute("UPDATE PDA_Salida SET Es_Cve_Estado = 'FN', " + estampa(m_e) + " WHERE Sa_Folio = " +
                  texto(salida) + " AND Es_Cve_Estado = 'CE'");
    return true;
}

bool ControlDocumento::RegistraBaja(const std::string& table, const std::string& folio)
{
    if (folio.empty())
        return falla("No se indicó el documento");
    const auto* t = buscaTabla(table);
    if (!t)
        return falla("No se registran bajas de la tabla: " + table);
    auto rs = m_e.conexion.Execute(std::string("SELECT Es_Cve_Estado FROM ") + t->encabezado + " WHERE " + t->clave +
                                   " = " + texto(folio));
    if (rs.Eof())
        return falla("No existe el documento " + folio + " de la tabla " + table);
    // Only a cancellation that really happened is recorded.
    if (!sameKey(rs.Fields("Es_Cve_Estado").toString(), "CA"))
        return falla("El documento " + folio + " no está cancelado");
    bitacora(m_e, t->tabla, folio, "BAJA");
    return true;
}

bool ControlDocumento::ActualizaPedido(const std::string& folio)
{
    if (folio.empty())
        return falla("No se indicó el pedido");
    auto& c = m_e.conexion;
    auto rs = c.Execute("SELECT Es_Cve_Estado FROM Pedido_Encabezado WHERE Pd_Folio = " + texto(folio));
    if (rs.Eof())
        return falla("No existe el pedido: " + folio);
    if (sameKey(rs.Fields("Es_Cve_Estado").toString(), "CA"))
        return falla("El pedido " + folio + " está cancelado");
    // Open lines that a live note has started to deliver are delivered ('RM'). Each open line
    // looks for its own note lines: no list of every delivered line is built when none is open.
    c.Execute("UPDATE Pedido SET Es_Cve_Estado = 'RM', " + estampa(m_e) + " WHERE Pd_Folio = " + texto(folio) +
              " AND Es_Cve_Estado = 'AC' AND EXISTS (SELECT 1 FROM Remision WHERE Rm_Documento = " + texto(folio) +
              " AND Rm_Tabla = 'PEDIDO' AND Rm_Documento_ID = Pedido.Pd_ID AND Es_Cve_Estado <> 'CA')");
    return true;
}

bool ControlDocumento::Automatiza(const std::string& folio)
{
    if (!requiereSesion(folio))
        return false;
    if (m_tabla.empty())
        return falla("No se asignó la tabla del documento a automatizar");
    if (!sameKey(folio, m_documento))
        return falla("El documento " + folio + " no es el asignado: " + m_documento);
    if (!sameKey(m_tabla, "Remision"))
        return falla("No hay automatización para la tabla: " + m_tabla);
    auto& c = m_e.conexion;
    auto nota = c.Execute("SELECT Rm_Tabla, Rm_Documento FROM Remision_Encabezado WHERE Rm_Folio = " + texto(folio));
    if (nota.Eof())
        return falla("No existe la remisión: " + folio);
    m_generado.clear();
    auto parametro = c.Execute("SELECT Pm_Valor FROM Parametro WHERE Pm_Clave = 'VEN_CERRAR_PEDIDO_SURTIDO'");
    const bool cerrar = !parametro.Eof() && parametro.Fields("Pm_Valor").toBool();
    const std::string pedido = nota.Fields("Rm_Documento").toString();
    if (cerrar && sameKey(nota.Fields("Rm_Tabla").toString(), "PEDIDO") && pedidoSurtido(c, pedido)) {
        auto orden = c.Execute("SELECT Es_Cve_Estado FROM Pedido_Encabezado WHERE Pd_Folio = " + texto(pedido));
        const std::string estado = orden.Eof() ? "" : orden.Fields("Es_Cve_Estado").toString();
        if (sameKey(estado, "AC") || sameKey(estado, "RM")) {
            c.Execute("UPDATE Pedido_Encabezado SET Pd_Estado_Proceso = Es_Cve_Estado, Es_Cve_Estado = 'CE', " +
                      estampa(m_e) + " WHERE Pd_Folio = " + texto(pedido));
            c.Execute("UPDATE Pedido SET Es_Cve_Estado = 'CE', " + estampa(m_e) + " WHERE Pd_Folio = " +
                      texto(pedido) + " AND Es_Cve_Estado IN ('AC', 'RM')");
            m_generado = "Pedido|" + pedido;
        }
    }
    bitacora(m_e, "Remision", folio, m_generado.empty() ? "AUTOMATIZA" : "AUTOMATIZA " + m_generado);
    return true;
}

bool ControlDocumento::ProcesaDocumento(const std::string& folio)
{
    if (!requiereSesion(folio))
        return false;
    if (!sameKey(m_tabla, "Venta"))
        return falla("No se procesan documentos de la tabla: " + m_tabla);
    if (!sameKey(folio, m_documento))
        return falla("El documento " + folio + " no es el asignado: " + m_documento);
    auto& c = m_e.conexion;
    auto venta = c.Execute("SELECT Cl_Cve_Cliente, Es_Cve_Estado FROM Venta_Encabezado WHERE Vn_Folio = " + texto(folio));
    if (venta.Eof())
        return falla("No existe la venta: " + folio);
    if (sameKey(venta.Fields("Es_Cve_Estado").toString(), "CA"))
        return falla("La venta " + folio + " está cancelada");
    if (venta.Fields("Cl_Cve_Cliente").toString().empty())
        return falla("La venta " + folio + " no tiene cliente");
    // The header totals are recomputed from the stored lines, whatever wrote them.
    escritura::actualizaTotalesVenta(m_e, folio);
    return true;
}

bool ControlDocumento::ValidaDocumento(const std::string& folio)
{
    if (!requiereSesion(folio))
        return false;
    if (!sameKey(m_tabla, "Factura"))
        return falla("No se validan documentos de la tabla: " + m_tabla);
    if (!sameKey(folio, m_documento))
        return falla("El documento " + folio + " no es el asignado: " + m_documento);
    auto& c = m_e.conexion;
    auto factura = c.Execute("SELECT Fc_Tabla, Fc_Documento, Fc_Total, Es_Cve_Estado FROM Factura WHERE Fc_Factura = " +
                             texto(folio));
    if (factura.Eof())
        return falla("No existe la factura: " + folio);
    if (sameKey(factura.Fields("Es_Cve_Estado").toString(), "CA"))
        return falla("La factura " + folio + " está cancelada");
    if (!sameKey(factura.Fields("Fc_Tabla").toString(), "VENTA"))
        return falla("La factura " + folio + " no proviene de una venta");
    const std::string ventaFolio = factura.Fields("Fc_Documento").toString();
    auto venta = c.Execute("SELECT Vn_Total, Es_Cve_Estado FROM Venta_Encabezado WHERE Vn_Folio = " +
                           texto(ventaFolio));
    if (venta.Eof() || sameKey(venta.Fields("Es_Cve_Estado").toString(), "CA"))
        return falla("La venta " + ventaFolio + " de la factura " + folio + " no existe o está cancelada");
    if (std::fabs(venta.Fields("Vn_Total").toDouble() - factura.Fields("Fc_Total").toDouble()) >= 0.005)
        return falla("El total de la factura " + folio + " no coincide con el de la venta " + ventaFolio);
    m_validado = folio;
    return true;
}

bool ControlDocumento::ConfirmaDocumento(const std::string& folio)
{
    if (!requiereSesion(folio))
        return false;
    if (!sameKey(folio, m_validado))
        return falla("La factura " + folio + " no ha sido validada");
    bitacora(m_e, "Factura", folio, "CONFIRMA");
    return true;
}

} // namespace tesmira::host
