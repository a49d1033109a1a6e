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

void frmVN003::ssDetalle_BtnClick()
{
    if (ssDetalle.currentColumn() < 0 || ssDetalle.col("Pr_Cve_Producto").text().empty())
        return;
    auto cell = [this](const char* columna) { return ssDetalle.col(columna); };
    SucursalActual = cell("Rm_Sucursal_Inventario").text();
    AlmacenActual = cell("Rm_Almacen_Inventario").text();
    const std::string columna = upperAscii(ssDetalle.col(ssDetalle.currentColumn()).name());
    const std::string producto = cell("Pr_Cve_Producto").text();

    if (columna == "LT_CVE_LOTE") {
        Manejo.ManejaLote = Permisos->ManejaLote(SucursalActual, AlmacenActual);
        if (cell("TIPO_PRODUCTO").text() != "LOTE" || !Manejo.ManejaLote || Parametros.LoteAutomatico)
            return;
        LoteActual = cell("Lt_Cve_Lote").text();
        const std::string loteAnterior = LoteActual;
        host::Lotes lotes(Sistema().entorno());
        lotes.Producto = producto;
        lotes.Talla = cell("Tl_Cve_Talla").text();
        lotes.Color = cell("Cl_Cve_Color").text();
        // The picker hands back what it was given when cancelled: the row's own figures
        // then come back and nothing changes.
        lotes.Cantidad1 = cell("Cantidad_Control_1").value().toDouble();
        lotes.Cantidad2 = cell("Cantidad_Control_2").value().toDouble();
        const double anterior1 = lotes.Cantidad1, anterior2 = lotes.Cantidad2;
        LoteActual = lotes.SeleccionaLote({.sucursal = cell("Rm_Sucursal_Inventario").text(),
                                           .almacen = cell("Rm_Almacen_Inventario").text()},
                                          LoteActual);
        if (LoteActual == loteAnterior && lotes.Cantidad1 == anterior1 && lotes.Cantidad2 == anterior2) {
            LoteActual = "";
            return;
        }
        const double factor = Utilerias().FactorConversion(producto, cell("Unidad_Control_1").text(),
                                                           cell("Unidad_1").text());
        const double cantidad1 = lotes.Cantidad1 * factor;
        if (!std::isfinite(cantidad1)) {
            LoteActual = "";
            throw Error("Overflow");
        }
        cell("Cantidad_1").setValue(cantidad1);
        cell("Cantidad_Control_1").setValue(lotes.Cantidad1);
        cell("Cantidad_Control_2").setValue(lotes.Cantidad2);
        cell("Lt_Cve_Lote").setValue(LoteActual);
        LoteActual = "";
        CalculaImportesPartida();
        return;
    }

    if (columna == "SR_CVE_SERIE") {
        if (cell("TIPO_PRODUCTO").text() != "Serializado")
            return;
        Manejo.ManejaSerie = Permisos->ManejaSerie(SucursalActual, AlmacenActual);
        if (!Manejo.ManejaSerie)
            return;
        Manejo.ManejaUbicacion = Permisos->ManejaUbicacion(SucursalActual, AlmacenActual);
        const std::string prefijo = Manejo.ManejaUbicacion ? "Existencia_Ubicacion_Serie." : "Existencia_Serie.";
        FiltroSeries = "";
        FiltroSeries += prefijo + "Sc_Cve_Sucursal='" + db::quoted(cell("Rm_Sucursal_Inventario").text()) + "'" + CrLf;
        FiltroSeries += prefijo + "Al_Cve_Almacen ='" + db::quoted(cell("Rm_Almacen_Inventario").text()) + "'" + CrLf;
        FiltroSeries += prefijo + "Pr_Cve_Producto ='" + db::quoted(producto) + "'";
        const std::string tabla = Manejo.ManejaUbicacion ? "EXISTENCIA_UBICACION_SERIE" : "";
        SerieActual = cell("Sr_Cve_Serie").text();
        const std::string serieAnterior = SerieActual;
        host::Series series(Sistema().entorno());
        series.Producto = producto;
        series.Cantidad = std::lround(cell("Cantidad_1").value().toDouble());
        const long cantidadAnterior = series.Cantidad;
        SerieActual = series.SeleccionaSerie(1, SerieActual, tabla, FiltroSeries);
        if (SerieActual == serieAnterior && series.Cantidad == cantidadAnterior) {
            SerieActual = "";
            return;
        }
        cell("Cantidad_1").setValue(static_cast<double>(series.Cantidad));
        cell("Cantidad_Control_2").setValue(static_cast<double>(series.Cantidad));
        cell("Sr_Cve_Serie").setValue(SerieActual);
        SerieActual = "";
        CalculaImportesPartida();
        return;
    }

    if (columna == "PR_DESCRIPCION") {
        DescripcionProducto = cell("Pr_Descripcion").text();
        TextoAmpliado = cell("DESCAMP").text();
        if (TextoAmpliado.empty()) {
            TextoSQL = std::string("SELECT Pd_Descripcion ") + "FROM Producto_Descripcion " +
                       "WHERE Pr_Cve_Producto = '" + db::quoted(producto) + "' " + "ORDER BY Pd_ID";
            db::Recordset rs = Sistema().Conexion().Execute(TextoSQL);
            TextoAmpliado = "";
            for (; !rs.Eof(); rs.MoveNext())
                TextoAmpliado += rs.Fields("Pd_Descripcion").toString() + CrLf;
            rs.Close();
            if (!TextoAmpliado.empty())
                TextoAmpliado.resize(TextoAmpliado.size() - 2);
        }
        TextoAmpliado = Utilerias().EditaTexto(DescripcionProducto, TextoAmpliado, 50, !Derechos.DerechoCHDEAM);
        cell("DESCAMP").setValue(TextoAmpliado);
        return;
    }

    if (columna == "VALIDA_DISPONIBILIDAD") {
        if (cell("Pr_Tipo_Producto").text() == "99" || !Derechos.DerechoVNDISP)
            return;
        Permisos->ConsultaDisponibilidad(SucursalActual, AlmacenActual, producto, cell("Tl_Cve_Talla").text(),
                                         cell("Cl_Cve_Color").text());
        // Cancelled, or the line's own warehouse chosen again: the line stays as it is.
        if (SucursalActual == cell("Rm_Sucursal_Inventario").text() &&
            AlmacenActual == cell("Rm_Almacen_Inventario").text())
            return;
        Manejo.ManejaTalla = Permisos->ManejaTalla(SucursalActual, AlmacenActual);
        Manejo.ManejaColor = Permisos->ManejaColor(SucursalActual, AlmacenActual);
        Manejo.ManejaLote = Permisos->ManejaLote(SucursalActual, AlmacenActual);
        Manejo.ManejaSerie = Permisos->ManejaSerie(SucursalActual, AlmacenActual);
        if (cell("Tl_Cve_Talla").text() != "00" && Manejo.ManejaTalla)
            cell("Tl_Cve_Talla").setValue("00");
        if (cell("Cl_Cve_Color").text() != "00" && Manejo.ManejaColor)
            cell("Cl_Cve_Color").setValue("00");
        if (Manejo.ManejaLote)
            cell("Lt_Cve_Lote").setValue("");
        if (Manejo.ManejaSerie)
            cell("Sr_Cve_Serie").setValue("");
        cell("Rm_Sucursal_Inventario").setValue(SucursalActual);
        cell("Rm_Almacen_Inventario").setValue(AlmacenActual);
    }
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
