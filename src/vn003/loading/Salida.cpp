// The handheld dispatch: the lines picked for the order replace the grid's.
#include "base/Text.h"
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/LoteCapturado.h"
#include "host/services/Lotes.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"
#include "vn003/shell/AvanceCarga.h"
#include "vn003/loading/Catalogo.h"
#include "vn003/loading/ColumnasPartida.h"
#include "vn003/loading/ConsultasCarga.h"

#include <algorithm>
#include <optional>

namespace tesmira::vn003 {

void frmVN003::txtSalida_KeyUp(int keyCode, int /*shift*/)
{
    if (keyCode != vb::vbKeyF2)
        return;
    TextoSQL = consultas::salidasAlmacen(txt_Sc_Cve_Sucursal.text(), txt_Al_Cve_Almacen.text(),
                                         MostrarSalidaPropia ? std::optional(FolioSalidaRemision) : std::nullopt);
    const std::string elegida = Utilerias().ListaBusqueda(TextoSQL, 100);
    if (elegida.empty())
        return;
    txtSalida.setText(elegida);
    txtSalida_Enter();
}

namespace {

// Whether the typed dispatch may fill the grid: it exists, is finished (or is the note's own)
// and belongs to the order on screen. A refused one is erased, with a message where the
// user needs one.
bool aceptaSalida(frmVN003& f, const std::string& salida)
{
    f.TextoSQL = "SELECT * ";
    f.TextoSQL += "FROM PDA_Salida ";
    f.TextoSQL += "WHERE Sa_Folio = '" + db::quoted(salida) + "' AND ";
    f.TextoSQL += "   Es_Cve_Estado <> 'CA'";
    db::Recordset encabezado = Sistema().Conexion().Execute(f.TextoSQL);
    if (encabezado.Eof()) {
        Sistema().Mensaje("El folio de salida no es válido", vb::vbInformation, "Tesmira", &f, "VN003", "ERR-ID:7500046");
        f.txtSalida.setText("");
        if (f.txtSalida.enabled())
            f.txtSalida.setFocus();
        return false;
    }
    if (encabezado.Fields("Es_Cve_Estado").toString() != "FN" &&
        !(f.MostrarSalidaPropia && encabezado.Fields("Sa_Folio").toString() == f.FolioSalidaRemision)) {
        f.txtSalida.setText("");
        return false;
    }
    const std::string pedidoSalida = encabezado.Fields("Pd_Folio").toString();
    encabezado.Close();
    if (pedidoSalida != f.txt_Pd_Folio.text()) {
        Sistema().Aviso("La salida no corresponde al pedido seleccionado\r\nFolio salida: " + salida +
                            "\r\nPedido salida: " + pedidoSalida + "\r\nPedido actual: " + f.txt_Pd_Folio.text(),
                        vb::vbExclamation, "Folio incorrecto");
        f.txtSalida.setText("");
        return false;
    }
    return true;
}

// The picked row's columns, found once per dispatch.
struct CamposSalida {
    explicit CamposSalida(const db::Recordset& rs)
        : producto(rs.column("Pr_Cve_Producto"))
        , talla(rs.column("Tl_Cve_Talla"))
        , color(rs.column("Cl_Cve_Color"))
        , id(rs.column("Pd_ID"))
        , sucursal(rs.column("Sc_Cve_Sucursal"))
        , almacen(rs.column("Al_Cve_Almacen"))
        , ubicacion(rs.column("Ua_Cve_Ubicacion_Almacen"))
        , lote(rs.column("Sa_Lote"))
        , cantidad(rs.column("Sa_Cantidad_1"))
    {
    }
    size_t producto, talla, color, id, sucursal, almacen, ubicacion, lote, cantidad;
};

// The order's pending lines for a dispatch, read for all lines at once and found by the picked
// row's product, size, colour and line ID as the database compares them (case and trailing
// blanks aside). A picked row the read does not answer is asked on its own, as it always was.
class PendientesSalida {
public:
    PendientesSalida(const std::string& folio, const std::string& nota, const std::string& sucursal)
        : m_todas(Sistema().Conexion().Execute(consultas::pendientesSalida(folio, nota, sucursal)))
        , m_lector(m_todas)
        , m_unaLinea(consultas::pendienteLineaSalida(folio, nota, sucursal))
    {
        for (; !m_todas.Eof(); m_todas.MoveNext()) {
            const LineaPedido l = m_lector.lee(m_todas);
            std::string k = clave({l.producto, l.talla, l.color, l.id});
            if (!m_lineas.agrega(k, l))
                m_repetidas.push_back(std::move(k));
        }
        for (const std::string& r : m_repetidas)
            m_lineas.quita(r);
    }

    // The pending line of a picked row, valid until the next call; null when nothing is pending for it.
    const LineaPedido* busca(frmVN003& f, const db::Recordset& detalle, const CamposSalida& c)
    {
        const std::vector<Value> valores{detalle.Fields(c.producto), detalle.Fields(c.talla),
                                         detalle.Fields(c.color), detalle.Fields(c.id)};
        // Only texts compare as the key does; anything else is the database's to compare.
        if (std::all_of(valores.begin(), valores.end(), [](const Value& v) { return v.isText(); })) {
            if (m_lineas.busca(clave({valores[0].toString(), valores[1].toString(), valores[2].toString(),
                                      valores[3].toString()}),
                               m_preguntada))
                return &m_preguntada;
        }
        f.TextoSQL = m_unaLinea;
        db::Recordset pend = Sistema().Conexion().Execute(f.TextoSQL, valores);
        if (pend.Eof())
            return nullptr;
        m_preguntada = LectorLineas(pend).lee(pend);
        return &m_preguntada;
    }

private:
    static std::string clave(std::initializer_list<std::string> partes)
    {
        std::string k;
        for (const std::string& p : partes)
            k += lowerAscii(withoutTrailingBlanks(p)) + '\x1f';
        return k;
    }

    db::Recordset m_todas;
    LectorLineas m_lector;
    std::string m_unaLinea;
    LineasPorClave m_lineas;
    std::vector<std::string> m_repetidas;
    LineaPedido m_preguntada; // the last line found
};

// A picked quantity as the grid gets it: the order line's units, prices and concept, the
// product's handling, amounts for what was picked.
frmVN003::PartidaPedido partida(const db::Recordset& detalle, const CamposSalida& c, const LineaPedido& l, double q,
                                CatalogoCarga& catalogo)
{
    const host::Utilerias& u = Utilerias();
    const double q1 = u.FactorConversion(l.producto, l.unidad1, l.unidadControl1) * q;
    const double q2 = u.FactorConversion(l.producto, l.unidadControl1, l.unidadControl2) * q1;
    frmVN003::PartidaPedido p;
    copiaLinea(p, l, q, q2);
    p.sucursalInventario = detalle.Fields(c.sucursal).toString();
    p.almacenInventario = detalle.Fields(c.almacen).toString();
    catalogo.asignaProducto(p, l.concepto);
    p.cantidad1 = q;
    p.control1 = q1;
    p.control2 = q2;
    importesPara(p, l, q);
    p.u1Desde = p.unidad1;
    p.u1Hasta = p.unidadControl1;
    p.u2Desde = p.unidadControl1;
    p.u2Hasta = p.unidadControl2;
    if (catalogo.unidadCubicada(p.unidadControl2) && q != 0) {
        p.conFactorM3 = true;
        p.factorM3 = q2 / q;
    }
    p.descamp = catalogo.descripcionAmpliada("PEDIDO", p.documentoId);
    return p;
}

// The picked location, and for a lot product the picked lot (or, when the terminal recorded
// none, the one the order line reserved).
void asignaUbicacionLote(frmVN003& f, const db::Recordset& detalle, const CamposSalida& c,
                         const ColumnasPartida& columnas, const frmVN003::PartidaPedido& p, const std::string& fecha)
{
    f.ssDetalle.col(columnas.ubicacion).setValue(detalle.Fields(c.ubicacion).toString());
    f.ssDetalle.col(columnas.desampr).setValue(p.descamp);
    if (p.tipoProducto != "02")
        return;
    host::Lotes lotes(Sistema().entorno());
    const std::string lote = detalle.Fields(c.lote).toString();
    f.ssDetalle.col(columnas.lote)
        .setValue(lote.empty() ? lotes.LoteDocumento("PEDIDO", f.txt_Pd_Folio.text(), detalle.Fields(c.id).toString())
                               : host::LoteCapturado{lote, p.control1, p.control2, fecha, fecha}.texto());
}

} // namespace

void frmVN003::txtSalida_Enter()
{
    if (txt_Pd_Folio.text().empty() || !Controles.ModoNuevo())
        return;
    try {
        if (txtSalida.text().empty()) {
            if (ssDetalle.rowCount() == 0) {
                dpFecha.setEnabled(true);
                txtReferencia.setEnabled(true);
            }
            return;
        }
        const host::Utilerias& u = Utilerias();
        txtSalida.setText(u.FormatoFolio(txtSalida.text()));
        txtSalida.refresh();
        const std::string salida = txtSalida.text();
        if (!aceptaSalida(*this, salida))
            return;

        ssDetalle.removeAll();
        ssDetalle.allowAddNew = false;
        ssDetalle.col("PR_CVE_PRODUCTO").setLocked(true);
        if (Parametros.CapturaCiega) {
            ssDetalle.allowAddNew = true;
            ssDetalle.col("PR_CVE_PRODUCTO").setLocked(false);
            return;
        }

        const std::string folio = txt_Pd_Folio.text();
        const std::string fecha = u.FormatoFecha(dpFecha.value());
        // Catalogue look-ups repeated row after row are answered once for the whole load.
        db::Connection::MemoScope memo(Sistema().Conexion());
        PendientesSalida pendientes(folio, txtFolio.text(), Sistema().SucursalUsuario());
        CatalogoCarga catalogo = CatalogoCarga::dePedido(folio);
        TextoSQL = consultas::detalleSalida(salida);
        db::Recordset detalle = Sistema().Conexion().Execute(TextoSQL);
        const ColumnasPartida columnas(ssDetalle);
        const CamposSalida campos(detalle);
        for (AvanceCarga avance(detalle, ssDetalle); !detalle.Eof() && avance(); detalle.MoveNext()) {
            const double q = detalle.Fields(campos.cantidad).toDouble();
            const LineaPedido* pend = pendientes.busca(*this, detalle, campos);
            // Picked beyond what is pending, or for no pending line: left out without a word.
            if (!pend || !(q <= pend->cantidad1))
                continue;
            const PartidaPedido p = partida(detalle, campos, *pend, q, catalogo);
            AgregaPartidaPedido(p, catalogo, columnas);
            asignaUbicacionLote(*this, detalle, campos, columnas, p, fecha);
        }
        ssDetalle.col("Ubicacion").setLocked(true);
        detalle.Close();
        ssDetalle.moveFirst();
    } catch (const std::exception& e) {
        ReportaError("txt_Pd_Folio_Enter()", "ERR-ID:7500047", e.what(), "txt_Pd_Folio_Enter()");
    }
}

void frmVN003::txtSalida_Change()
{
    if (!Controles.ModoNuevo() || !txtSalida.text().empty())
        return;
    // Erasing the dispatch keeps its lines but gives their locations back to the user.
    if (ssDetalle.rowCount() > 0) {
        ssDetalle.moveFirst();
        for (int i = 0; i < ssDetalle.rowCount(); ++i) {
            ssDetalle.col("Ubicacion").setValue("");
            ssDetalle.moveNext();
        }
        ssDetalle.moveFirst();
    } else {
        dpFecha.setEnabled(true);
        txtReferencia.setEnabled(true);
    }
    ssDetalle.col("Ubicacion").setLocked(false);
}

} // namespace tesmira::vn003
