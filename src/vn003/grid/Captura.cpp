// Data of a line that cannot be typed: lots and serial numbers from the host's pickers,
// storage locations from a list or typed and verified, extended descriptions in the
// host's editor, and the branch and warehouse chosen in the availability look-up.
#include "base/Error.h"
#include "base/Text.h"
#include "base/Vb.h"
#include "base/VbConstants.h"
#include "db/Connection.h"
#include "host/services/Lotes.h"
#include "host/services/Permisos.h"
#include "host/services/Series.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tesmira::vn003 {

namespace {

const std::string CrLf = "\r\n";

// Plain decimal text ("12", " 0102 ", "-3.5"): what Format treats as a number.
bool esNumero(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    if (!s.empty() && (s.front() == '-' || s.front() == '+'))
        s.remove_prefix(1);
    bool digito = false, punto = false;
    for (char c : s) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digito = true;
        else if (c == '.' && !punto)
            punto = true;
        else
            return false;
    }
    return digito;
}

// Format's text patterns: '@' a character or a blank, '&' a character or nothing, filled
// from the right ('!' fills from the left); '<' and '>' force the case; characters
// beyond the placeholders are kept.
std::string formatoTexto(const std::string& valor, const std::string& formato)
{
    std::string texto = valor;
    if (formato.find('>') != std::string::npos)
        texto = upperAscii(texto);
    else if (formato.find('<') != std::string::npos)
        texto = lowerAscii(texto);
    const bool izquierda = formato.find('!') != std::string::npos;
    std::string patron;
    std::copy_if(formato.begin(), formato.end(), std::back_inserter(patron),
                 [](char c) { return c != '<' && c != '>' && c != '!'; });
    if (std::none_of(patron.begin(), patron.end(), [](char c) { return c == '@' || c == '&'; }))
        return texto + patron;

    // A placeholder takes one character, however many bytes it is written in.
    const auto letras = utf8Characters(texto);
    auto junta = [&](size_t desde, size_t hasta) {
        std::string out;
        for (size_t i = desde; i < hasta; ++i)
            out += letras[i];
        return out;
    };
    std::string salida;
    if (izquierda) {
        size_t i = 0;
        for (char c : patron) {
            if (c == '@' || c == '&') {
                if (i < letras.size())
                    salida += letras[i++];
                else if (c == '@')
                    salida += ' ';
            } else {
                salida += c;
            }
        }
        return salida + junta(i, letras.size());
    }
    size_t quedan = letras.size();
    for (auto c = patron.rbegin(); c != patron.rend(); ++c) {
        if (*c == '@' || *c == '&') {
            if (quedan > 0)
                salida.insert(0, letras[--quedan]);
            else if (*c == '@')
                salida.insert(salida.begin(), ' ');
        } else {
            salida.insert(salida.begin(), *c);
        }
    }
    return junta(0, quedan) + salida;
}

} // namespace

std::string frmVN003::FormatoUbicacion(const std::string& valor, const std::string& formato)
{
    if (formato.empty())
        return valor;
    if (formato.find_first_of("@&<>!") != std::string::npos)
        return formatoTexto(valor, formato);
    if (!esNumero(valor))
        return valor;
    return vb::formatNumber(vb::val(valor), formato);
}

namespace {

// The lot picker's choice into the row; cancelled (lot and quantities as given) changes nothing.
void EligeLote(frmVN003& f, const std::string& producto)
{
    auto cell = [&f](const char* columna) { return f.ssDetalle.col(columna); };
    f.Manejo.ManejaLote = f.Permisos->ManejaLote(f.SucursalActual, f.AlmacenActual);
    if (cell("TIPO_PRODUCTO").text() != "LOTE" || !f.Manejo.ManejaLote || f.Parametros.LoteAutomatico)
        return;
    f.LoteActual = cell("Lt_Cve_Lote").text();
    const std::string loteAnterior = f.LoteActual;
    host::Lotes lotes(Sistema().entorno());
    lotes.Producto = producto;
    lotes.Talla = cell("Tl_Cve_Talla").text();
    lotes.Color = cell("Cl_Cve_Color").text();
    // The picker hands back what it was given when cancelled: the row's own figures
    // then come back and nothing changes.
    lotes.Cantidad1 = cell("Cantidad_Control_1").value().toDouble();
    lotes.Cantidad2 = cell("Cantidad_Control_2").value().toDouble();
    const double anterior1 = lotes.Cantidad1, anterior2 = lotes.Cantidad2;
    f.LoteActual = lotes.SeleccionaLote({.sucursal = cell("Rm_Sucursal_Inventario").text(),
                                         .almacen = cell("Rm_Almacen_Inventario").text()},
                                        f.LoteActual);
    if (f.LoteActual == loteAnterior && lotes.Cantidad1 == anterior1 && lotes.Cantidad2 == anterior2) {
        f.LoteActual = "";
        return;
    }
    const double factor =
        Utilerias().FactorConversion(producto, cell("Unidad_Control_1").text(), cell("Unidad_1").text());
    const double cantidad1 = lotes.Cantidad1 * factor;
    if (!std::isfinite(cantidad1)) {
        f.LoteActual = "";
        throw Error("Overflow");
    }
    cell("Cantidad_1").setValue(cantidad1);
    cell("Cantidad_Control_1").setValue(lotes.Cantidad1);
    cell("Cantidad_Control_2").setValue(lotes.Cantidad2);
    cell("Lt_Cve_Lote").setValue(f.LoteActual);
    f.LoteActual = "";
    f.CalculaImportesPartida();
}

// The serial picker's choice into the row, over the serials of the line's warehouse (by location
// where it keeps them); cancelled changes nothing.
void EligeSerie(frmVN003& f, const std::string& producto)
{
    auto cell = [&f](const char* columna) { return f.ssDetalle.col(columna); };
    if (cell("TIPO_PRODUCTO").text() != "Serializado")
        return;
    f.Manejo.ManejaSerie = f.Permisos->ManejaSerie(f.SucursalActual, f.AlmacenActual);
    if (!f.Manejo.ManejaSerie)
        return;
    f.Manejo.ManejaUbicacion = f.Permisos->ManejaUbicacion(f.SucursalActual, f.AlmacenActual);
    const std::string prefijo = f.Manejo.ManejaUbicacion ? "Existencia_Ubicacion_Serie." : "Existencia_Serie.";
    f.FiltroSeries = "";
    f.FiltroSeries += prefijo + "Sc_Cve_Sucursal='" + db::quoted(cell("Rm_Sucursal_Inventario").text()) + "'" + CrLf;
    f.FiltroSeries += prefijo + "Al_Cve_Almacen ='" + db::quoted(cell("Rm_Almacen_Inventario").text()) + "'" + CrLf;
    f.FiltroSeries += prefijo + "Pr_Cve_Producto ='" + db::quoted(producto) + "'";
    const std::string tabla = f.Manejo.ManejaUbicacion ? "EXISTENCIA_UBICACION_SERIE" : "";
    f.SerieActual = cell("Sr_Cve_Serie").text();
    const std::string serieAnterior = f.SerieActual;
    host::Series series(Sistema().entorno());
    series.Producto = producto;
    series.Cantidad = std::lround(cell("Cantidad_1").value().toDouble());
    const long cantidadAnterior = series.Cantidad;
    f.SerieActual = series.SeleccionaSerie(1, f.SerieActual, tabla, f.FiltroSeries);
    if (f.SerieActual == serieAnterior && series.Cantidad == cantidadAnterior) {
        f.SerieActual = "";
        return;
    }
    cell("Cantidad_1").setValue(static_cast<double>(series.Cantidad));
    cell("Cantidad_Control_2").setValue(static_cast<double>(series.Cantidad));
    cell("Sr_Cve_Serie").setValue(f.SerieActual);
    f.SerieActual = "";
    f.CalculaImportesPartida();
}

// The product's extended description, from the catalogue the first time, in the host's editor.
void EditaDescripcionAmpliada(frmVN003& f, const std::string& producto)
{
    auto cell = [&f](const char* columna) { return f.ssDetalle.col(columna); };
    f.DescripcionProducto = cell("Pr_Descripcion").text();
    f.TextoAmpliado = cell("DESCAMP").text();
    if (f.TextoAmpliado.empty()) {
        f.TextoSQL = std::string("SELECT Pd_Descripcion ") + "FROM Producto_Descripcion " +
                     "WHERE Pr_Cve_Producto = '" + db::quoted(producto) + "' " + "ORDER BY Pd_ID";
        db::Recordset rs = Sistema().Conexion().Execute(f.TextoSQL);
        f.TextoAmpliado = "";
        for (; !rs.Eof(); rs.MoveNext())
            f.TextoAmpliado += rs.Fields("Pd_Descripcion").toString() + CrLf;
        rs.Close();
        if (!f.TextoAmpliado.empty())
            f.TextoAmpliado.resize(f.TextoAmpliado.size() - 2);
    }
    f.TextoAmpliado =
        Utilerias().EditaTexto(f.DescripcionProducto, f.TextoAmpliado, 50, !f.Derechos.DerechoCHDEAM);
    cell("DESCAMP").setValue(f.TextoAmpliado);
}

// The availability look-up: another branch and warehouse chosen there become the line's, and
// the keys the new warehouse handles differently are reset.
void CambiaAlmacenPartida(frmVN003& f, const std::string& producto)
{
    auto cell = [&f](const char* columna) { return f.ssDetalle.col(columna); };
    if (cell("Pr_Tipo_Producto").text() == "99" || !f.Derechos.DerechoVNDISP)
        return;
    f.Permisos->ConsultaDisponibilidad(f.SucursalActual, f.AlmacenActual, producto, cell("Tl_Cve_Talla").text(),
                                       cell("Cl_Cve_Color").text());
    // Cancelled, or the line's own warehouse chosen again: the line stays as it is.
    if (f.SucursalActual == cell("Rm_Sucursal_Inventario").text() &&
        f.AlmacenActual == cell("Rm_Almacen_Inventario").text())
        return;
    ManejoAlmacen& m = f.Manejo;
    m.ManejaTalla = f.Permisos->ManejaTalla(f.SucursalActual, f.AlmacenActual);
    m.ManejaColor = f.Permisos->ManejaColor(f.SucursalActual, f.AlmacenActual);
    m.ManejaLote = f.Permisos->ManejaLote(f.SucursalActual, f.AlmacenActual);
    m.ManejaSerie = f.Permisos->ManejaSerie(f.SucursalActual, f.AlmacenActual);
    if (cell("Tl_Cve_Talla").text() != "00" && m.ManejaTalla)
        cell("Tl_Cve_Talla").setValue("00");
    if (cell("Cl_Cve_Color").text() != "00" && m.ManejaColor)
        cell("Cl_Cve_Color").setValue("00");
    if (m.ManejaLote)
        cell("Lt_Cve_Lote").setValue("");
    if (m.ManejaSerie)
        cell("Sr_Cve_Serie").setValue("");
    cell("Rm_Sucursal_Inventario").setValue(f.SucursalActual);
    cell("Rm_Almacen_Inventario").setValue(f.AlmacenActual);
}

} // namespace

void frmVN003::ssDetalle_BtnClick()
{
    if (ssDetalle.currentColumn() < 0 || ssDetalle.col("Pr_Cve_Producto").text().empty())
        return;
    SucursalActual = ssDetalle.col("Rm_Sucursal_Inventario").text();
    AlmacenActual = ssDetalle.col("Rm_Almacen_Inventario").text();
    const std::string columna = upperAscii(ssDetalle.col(ssDetalle.currentColumn()).name());
    const std::string producto = ssDetalle.col("Pr_Cve_Producto").text();
    if (columna == "LT_CVE_LOTE")
        EligeLote(*this, producto);
    else if (columna == "SR_CVE_SERIE")
        EligeSerie(*this, producto);
    else if (columna == "PR_DESCRIPCION")
        EditaDescripcionAmpliada(*this, producto);
    else if (columna == "VALIDA_DISPONIBILIDAD")
        CambiaAlmacenPartida(*this, producto);
}

void frmVN003::EditaDescripcionRemision()
{
    TextoAmpliadoRemision = ssDetalle.col("DESAMPR").text();
    TextoAmpliadoRemision = Utilerias().EditaTexto("", TextoAmpliadoRemision, 50, !Derechos.DerechoCHDEAM);
    ssDetalle.col("DESAMPR").setValue(TextoAmpliadoRemision);
}

void frmVN003::BuscaUbicacion()
{
    if (!Manejo.ManejaUbicacion || ssDetalle.col("Ubicacion").locked())
        return;
    std::string sql = std::string("SELECT Ua_Cve_Ubicacion_Almacen as CLAVE, ") + "   Ua_Descripcion as DESCRIPCION, " +
                      "   Ua_Producto as PRODUCTO, " + "   Es_Cve_Estado as ESTADO " + "FROM Ubicacion_Almacen " +
                      "WHERE Ubicacion_Almacen.Sc_Cve_Sucursal = '" + db::quoted(txt_Sc_Cve_Sucursal.text()) +
                      "' AND " + "   Ubicacion_Almacen.Al_Cve_Almacen = '" + db::quoted(txt_Al_Cve_Almacen.text()) +
                      "' AND ";
    if (!txtSalida.text().empty())
        sql += std::string("   Ubicacion_Almacen.Ua_Cve_Ubicacion_Almacen IN ( ") +
               "       SELECT Ua_Cve_Ubicacion_Almacen FROM PDA_Salida_Detalle " +
               "       WHERE PDA_Salida_Detalle.Sa_Folio = '" + db::quoted(txtSalida.text()) + "') AND ";
    sql += "   Ubicacion_Almacen.Es_Cve_Estado <> 'BA' ";

    std::string clave = Utilerias().ListaBusqueda(sql, 100);
    if (clave.empty())
        return;
    AsignaUbicacion(clave, "ERR-ID:7500032");
}

void frmVN003::ValidaUbicacionCapturada()
{
    if (ssDetalle.col("Ubicacion").locked())
        return;
    std::string clave = FormatoUbicacion(ssDetalle.col("Ubicacion").value().toString(), Parametros.FormatoUbicacion);
    if (clave.empty())
        return;
    AsignaUbicacion(clave, "ERR-ID:7500031");
}

void frmVN003::AsignaUbicacion(const std::string& clave, const char* idMensaje)
{
    std::string sucursal = txt_Sc_Cve_Sucursal.text();
    std::string almacen = txt_Al_Cve_Almacen.text();
    std::string ubicacion = clave;
    std::string producto = ssDetalle.col("Pr_Cve_Producto").text();
    std::string talla = ssDetalle.col("Tl_Cve_Talla").text();
    std::string color = ssDetalle.col("Cl_Cve_Color").text();
    bool ok = false;
    Valida_Ubicacion(sucursal, almacen, ubicacion, producto, talla, color, ok);
    if (!ok)
        Sistema().Mensaje(MensajeValidacion, vb::vbExclamation, "Advertencia", this, "VN003", idMensaje);
    ssDetalle.col("Ubicacion").setValue(ok ? clave : std::string());
}

} // namespace tesmira::vn003
