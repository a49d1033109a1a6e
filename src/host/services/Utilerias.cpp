#include "host/services/Utilerias.h"

#include "base/Error.h"
#include "base/Text.h"
#include "base/Vb.h"
#include "db/Connection.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Grid.h"
#include "forms/SeriesField.h"
#include "forms/TextField.h"
#include "host/services/Dialogos.h"
#include "host/services/Importes.h"
#include "host/services/ServiciosSql.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tesmira::host {

namespace {

// A pick list's "?" marks are its own filters (LIKE ?): the list opens unfiltered, so each
// one outside a quoted literal becomes '%'.
std::string abreFiltros(const std::string& statement)
{
    std::string out;
    out.reserve(statement.size() + 8);
    bool inLiteral = false;
    for (char c : statement) {
        if (c == '\'')
            inLiteral = !inLiteral;
        if (c == '?' && !inLiteral)
            out += sql::texto("%");
        else
            out += c;
    }
    return out;
}

std::string textoCelda(const Value& v)
{
    if (v.isDate()) {
        const Date d = v.toDate();
        return d == d.dateOnly() ? vb::formatDate(d) : vb::formatDateTime(d);
    }
    return v.toString();
}

} // namespace

std::string Utilerias::TextoTransaccion(const std::string& text, const std::string& app) const
{
    const std::string t(trimmed(text));
    return t.empty() ? app : app + " - " + t;
}

Date Utilerias::FechaServidor() const { return m_e.ahora(); }

std::string Utilerias::FormatoFechaHora(const Date& d) const { return vb::formatDateTime(d); }

std::string Utilerias::FormatoFecha(const Date& d) const { return vb::formatDate(d); }

// A module keeps periods month by month; a month with no row was never opened or closed
// for it (a company that does not keep periods has no rows at all), so it counts as open.
// Only a month recorded with another state than 'AC' is closed.
bool Utilerias::PeriodoAbierto(const Date& d, const std::string& modulo, int) const
{
    const Value estado = sql::valor(m_e.conexion, "SELECT Es_Cve_Estado FROM Periodo_Operativo WHERE Po_Modulo = "
                                                      + sql::texto(modulo) + " AND Po_Anio = " + std::to_string(d.year)
                                                      + " AND Po_Mes = " + std::to_string(d.month));
    if (!estado.isNull() && sameKey(estado.toString(), "AC"))
        return true;
    // A month nobody opened is as closed as one that was closed.
    m_ultimoError = "El período " + std::to_string(d.month) + "-" + std::to_string(d.year) + " del módulo " + modulo
        + (estado.isNull() ? " no existe" : " está cerrado");
    return false;
}

std::string Utilerias::BuscaDato(const std::string& table, const std::string& keyColumn, const std::string& key,
                                 const std::string& resultColumn, bool, const std::string& extraColumn,
                                 const std::string& extraValue, const std::string& excludedState) const
{
    std::string condition;
    if (!trimmed(extraColumn).empty())
        condition = extraColumn + " = " + sql::texto(extraValue);
    if (!excludedState.empty())
        condition += (condition.empty() ? "" : " AND ") + std::string("Es_Cve_Estado <> ") + sql::texto(excludedState);
    return BuscaDatoCondicion(table, keyColumn, key, resultColumn, false, condition);
}

std::string Utilerias::BuscaDatoCondicion(const std::string& table, const std::string& keyColumn,
                                          const std::string& key, const std::string& resultColumn, bool,
                                          const std::string& condition) const
{
    if (trimmed(table).empty() || trimmed(keyColumn).empty() || trimmed(resultColumn).empty())
        throw Error("BuscaDato: faltan la tabla, la columna clave o la columna resultado");
    // The result may be a literal ('EXISTE') or an expression: it is read by position.
    std::string statement = "SELECT " + resultColumn + " FROM " + table + " WHERE " + keyColumn + " = ?";
    if (!trimmed(condition).empty())
        statement += " AND " + condition;
    // A function in the result (a clock, say) must run every time; a column may be remembered.
    if (resultColumn.find('(') != std::string::npos) {
        db::Recordset rs = m_e.conexion.Execute(statement, {key});
        return rs.Eof() ? "" : rs.Fields(size_t{0}).toString();
    }
    return sql::consulta(m_e.conexion, statement, {key}).toString();
}

// A clerk types folios as they read them: blanks around and lower case do not make
// another folio ("  r0001 " is R0001). Quotes and inner blanks are kept: they are data.
std::string Utilerias::FormatoFolio(const std::string& folio) const { return upperAscii(trimmed(folio)); }

// Product keys are stored upper-cased without blanks around; a mask of zeros then pads an
// all-digit key ("12" under "000000" is "000012"), any other mask leaves it as it is.
std::string Utilerias::FormatoProducto(const std::string& product, const std::string& mask) const
{
    return vb::formatCode(upperAscii(trimmed(product)), mask);
}

double Utilerias::TipoCambio(const std::string& currency, const Date& d) const
{
    if (trimmed(currency).empty())
        return 0;
    const Value local =
        sql::valor(m_e.conexion, "SELECT Pm_Valor FROM Parametro WHERE Pm_Clave = 'FIN_MONEDA_LOCAL'");
    if (!local.isNull() && sameKey(local.toString(), currency))
        return 1;
    return sql::valor(m_e.conexion, "SELECT TOP 1 Tc_Tipo_Cambio FROM Tipo_Cambio WHERE Mn_Cve_Moneda = "
                                        + sql::texto(currency) + " AND Tc_Fecha <= "
                                        + sql::texto(d.dateOnly().iso()) + " ORDER BY Tc_Fecha DESC")
        .toDouble();
}

// Mode 1 empties the document: every text field (descriptions included) but those tagged "0", every check box
// unchecked, the invoice series cleared and the grid without rows; dates are left alone.
// Mode 2 readies the figures for a new capture: every number field shows 0.
// The fields' change and click events fire, as they do when the user empties them.
void Utilerias::LimpiaControles(forms::Form& form, int mode) const
{
    if (mode != 1 && mode != 2)
        throw Error("LimpiaControles: modo " + std::to_string(mode) + " desconocido");
    for (const auto& c : form.controls()) {
        // Tag "0" marks a field clearing must leave alone: one the host bound to the user
        // (branch, warehouse, local currency) or the document's key being typed.
        if (c->tag() == "0")
            continue;
        if (auto* field = dynamic_cast<forms::TextField*>(c.get())) {
            if (mode == 1)
                field->setText("");
            else if (field->kind() == forms::TextField::Kind::Number)
                field->setValue(Value(0));
            continue;
        }
        if (mode != 1)
            continue;
        if (auto* box = dynamic_cast<forms::CheckBox*>(c.get()))
            box->setValue(forms::CheckBox::Unchecked);
        else if (auto* grid = dynamic_cast<forms::Grid*>(c.get()))
            grid->removeAll();
        else if (auto* series = dynamic_cast<forms::SeriesField*>(c.get())) {
            series->setFolio("");
            series->setSeriesCode("");
            series->setSeriesNumber(0);
        }
    }
}

// Mode 1 enables every entry control (text, check box, date, series, grid) for capture;
// mode 0 disables them all (a document shown read-only). Frames, labels, buttons and the
// toolbar keep their state: the screen drives them. Locked fields stay locked.
void Utilerias::HabilitaControles(forms::Form& form, int mode) const
{
    if (mode != 0 && mode != 1)
        throw Error("HabilitaControles: modo " + std::to_string(mode) + " desconocido");
    for (const auto& c : form.controls()) {
        forms::Control* control = c.get();
        if (dynamic_cast<forms::TextField*>(control) || dynamic_cast<forms::CheckBox*>(control)
            || dynamic_cast<forms::DatePicker*>(control) || dynamic_cast<forms::SeriesField*>(control)
            || dynamic_cast<forms::Grid*>(control))
            control->setEnabled(mode == 1);
    }
}

// Only the Tab key is ever sent ("\t", or "{TAB}" as SendKeys writes it); in the grid it moves
// to the next visible cell. Without an active form there is no window to receive it.
void Utilerias::EnviaTecla(const std::string& keys, int) const
{
    if (keys != "\t" && keys != "{TAB}")
        throw Error("EnviaTecla: tecla no soportada '" + keys + "'");
    if (m_forma)
        m_forma->sendTab();
}

namespace {

// The list's title names what is looked for, from the statement's first table.
std::string tituloBusqueda(const std::string& statement)
{
    static const std::pair<const char*, const char*> titulos[] = {
        {"Remision_Encabezado", "Buscar remisión"}, {"Pedido_Encabezado", "Buscar pedido"},
        {"Cliente", "Buscar cliente"},              {"Sucursal", "Buscar sucursal"},
        {"Almacen", "Buscar almacén"},              {"Vendedor", "Buscar vendedor"},
        {"Condicion_Venta", "Buscar condición de venta"}, {"Moneda", "Buscar moneda"},
        {"Producto", "Buscar producto"},            {"PDA_Salida", "Buscar salida"},
        {"Proyecto", "Buscar proyecto"},            {"Centro_Costo", "Buscar centro de costo"},
        {"Unidad_Estrategica_Negocio", "Buscar unidad de negocio"}, {"Activo_Fijo", "Buscar activo fijo"},
    };
    const std::string upper = upperAscii(statement);
    const size_t from = upper.find(" FROM ");
    if (from == std::string::npos)
        return "Búsqueda";
    size_t start = statement.find_first_not_of(' ', from + 6);
    const size_t end = statement.find_first_of(" \t\r\n,()", start);
    const std::string table = start == std::string::npos ? "" : statement.substr(start, end - start);
    for (const auto& [name, titulo] : titulos)
        if (sameKey(table, name))
            return titulo;
    return "Búsqueda";
}

} // namespace

// The width is the desktop list's; the rows are offered whole. Amounts (columns TOTAL and
// IMPORTE) read as money.
std::string Utilerias::ListaBusqueda(const std::string& statement, int) const
{
    if (trimmed(statement).empty())
        throw Error("ListaBusqueda: no hay consulta");
    db::Recordset rs = m_e.conexion.Execute(abreFiltros(statement));
    Lista lista;
    lista.titulo = tituloBusqueda(statement);
    lista.columnas = rs.columns();
    std::vector<bool> dinero;
    for (const auto& c : lista.columnas)
        dinero.push_back(sameKey(c, "TOTAL") || sameKey(c, "IMPORTE"));
    for (const auto& row : rs.rows()) {
        std::vector<std::string> fila;
        fila.reserve(row.size());
        for (size_t i = 0; i < row.size(); ++i)
            fila.push_back(dinero[i] && !row[i].isNull() ? vb::formatNumber(row[i].toDouble(), "$#,##0.00")
                                                         : textoCelda(row[i]));
        lista.filas.push_back(std::move(fila));
    }
    const int chosen = m_e.dialogos.lista(lista);
    if (chosen < 0 || chosen >= static_cast<int>(lista.filas.size()) || lista.filas[chosen].empty())
        return "";
    return lista.filas[static_cast<size_t>(chosen)][0];
}

// 1 in fromUnit = factor in toUnit. The same unit is 1; a unit not given (the screen's
// costing unit is never set) does not convert: 1. Otherwise the product's stored pair, or
// the inverse of the opposite pair; no pair: 0, which callers treat as "no conversion".
double Utilerias::FactorConversion(const std::string& product, const std::string& fromUnit,
                                   const std::string& toUnit) const
{
    if (trimmed(fromUnit).empty() || trimmed(toUnit).empty() || sameKey(fromUnit, toUnit))
        return 1;
    auto factor = [&](const std::string& from, const std::string& to) {
        return sql::consulta(m_e.conexion,
                             "SELECT Cu_Factor FROM Conversion_Unidad WHERE Pr_Cve_Producto = ? AND "
                             "Cu_Unidad_Origen = ? AND Cu_Unidad_Destino = ?",
                             {product, from, to})
            .toDouble();
    };
    if (const double direct = factor(fromUnit, toUnit); direct != 0)
        return direct;
    if (const double inverse = factor(toUnit, fromUnit); inverse != 0)
        return 1 / inverse;
    m_ultimoError = "No existe conversión de " + fromUnit + " a " + toUnit + " para el producto " + product;
    return 0;
}

// A unit the catalogue does not know is taken as fractionable: its quantities are not rounded.
bool Utilerias::UnidadFraccionable(const std::string& unit) const
{
    const Value v =
        sql::consulta(m_e.conexion, "SELECT Un_Fraccionable FROM Unidad WHERE Un_Cve_Unidad = ?", {unit});
    return v.isNull() || sql::esSi(v);
}

bool Utilerias::UnidadCubicada(const std::string& unit) const
{
    return sql::esSi(
        sql::consulta(m_e.conexion, "SELECT Un_Cubicada FROM Unidad WHERE Un_Cve_Unidad = ?", {unit}));
}

bool Utilerias::GrabaCubicado(const std::string& product, const std::string& unit1, const std::string& unitControl2,
                              double factor) const
{
    if (trimmed(product).empty() || trimmed(unit1).empty() || trimmed(unitControl2).empty()) {
        m_ultimoError = "Faltan el producto o las unidades del cubicado";
        return false;
    }
    if (!std::isfinite(factor) || factor <= 0) {
        m_ultimoError = "El factor de cubicado del producto " + product + " debe ser mayor que cero";
        return false;
    }
    const std::string user = sql::texto(m_e.usuario);
    const std::string when = sql::texto(FormatoFechaHora(FechaServidor()));
    const std::string factorText = sql::numero(factor);
    const std::string key = "Pr_Cve_Producto = " + sql::texto(product) + " AND Cb_Unidad_1 = " + sql::texto(unit1)
        + " AND Cb_Unidad_Control_2 = " + sql::texto(unitControl2);
    sql::actualizaOInserta(m_e.conexion,
                           "UPDATE Cubicado SET Cb_Factor = " + factorText + ", Oper_Ult_Modif = " + user
                               + ", Fecha_Ult_Modif = " + when + " WHERE " + key,
                           "INSERT INTO Cubicado (Pr_Cve_Producto, Cb_Unidad_1, Cb_Unidad_Control_2, Cb_Factor, "
                           "Oper_Ult_Modif, Fecha_Ult_Modif) VALUES ("
                               + sql::texto(product) + ", " + sql::texto(unit1) + ", " + sql::texto(unitControl2)
                               + ", " + factorText + ", " + user + ", " + when + ")");
    return true;
}

bool Utilerias::ValidaCubicado(const std::string& product, const std::string& unit1,
                               const std::string& unitControl2) const
{
    const Value factor = sql::valor(m_e.conexion, "SELECT Cb_Factor FROM Cubicado WHERE Pr_Cve_Producto = "
                                                      + sql::texto(product) + " AND Cb_Unidad_1 = " + sql::texto(unit1)
                                                      + " AND Cb_Unidad_Control_2 = " + sql::texto(unitControl2));
    if (factor.toDouble() > 0)
        return true;
    m_ultimoError = "No hay factor de cubicado del producto " + product + " de " + unit1 + " a " + unitControl2;
    return false;
}

// Only what was recorded for the line. An order line without its own text answers "": the
// screen's editor then offers the catalogue description, and a saved note does not carry a
// copy of the catalogue on every line.
std::string Utilerias::DescripcionAmpliada(const std::string& table, const std::string& folio,
                                           const std::string& id) const
{
    return sql::consulta(m_e.conexion,
                         "SELECT Dam_Descripcion FROM Descripcion_Ampliada WHERE Dam_Tabla = ? AND "
                         "Dam_Documento = ? AND Dam_ID = ?",
                         {table, folio, id})
        .toString();
}

// An empty text removes the line's description (nothing to keep).
bool Utilerias::GrabaDescripcionAmpliada(const std::string& table, const std::string& folio, const std::string& id,
                                         const std::string& text) const
{
    if (trimmed(table).empty() || trimmed(folio).empty() || trimmed(id).empty()) {
        m_ultimoError = "Faltan la tabla, el folio o la partida de la descripción ampliada";
        return false;
    }
    auto& c = m_e.conexion;
    if (text.empty()) {
        c.Execute("DELETE FROM Descripcion_Ampliada WHERE Dam_Tabla = ? AND Dam_Documento = ? AND Dam_ID = ?",
                  {table, folio, id});
        return true;
    }
    c.Execute("UPDATE Descripcion_Ampliada SET Dam_Descripcion = ? WHERE Dam_Tabla = ? AND Dam_Documento = ? AND "
              "Dam_ID = ?",
              {text, table, folio, id});
    if (c.rowsAffected() == 0)
        c.Execute("INSERT INTO Descripcion_Ampliada (Dam_Tabla, Dam_Documento, Dam_ID, Dam_Descripcion) "
                  "VALUES (?, ?, ?, ?)",
                  {table, folio, id, text});
    return true;
}

// The chain itself lives in Importes.cpp; 8 answers the fee amount and 9 the tax base.
void Utilerias::CalculaImportes(double& cantidad, double& precioLista, double& importeLista, double& descuentoFactor,
                                double& descuentoImporte, double& precioDescontado, double& importeDescontado,
                                double& extra1, double& extra2, double& impuestoFactor, double& impuestoImporte,
                                double& precioNeto, double& importeNeto, int tipoCalculo, double cuota) const
{
    const ImportesPartida i =
        calculaImportes(cantidad, precioLista, descuentoFactor, impuestoFactor, cuota, tipoCalculo);
    importeLista = i.importeLista;
    descuentoImporte = i.descuentoImporte;
    precioDescontado = i.precioDescontado;
    extra1 = i.cuotaImporte;
    importeDescontado = i.importeDescontado;
    extra2 = i.baseImpuesto;
    impuestoImporte = i.impuestoImporte;
    precioNeto = i.precioNeto;
    importeNeto = i.importeNeto;
}

double Utilerias::Redondea(double value, int decimals) const { return vb::roundTo(value, decimals); }

double Utilerias::PesoProducto(const std::string& product) const
{
    return sql::consulta(m_e.conexion, "SELECT Pr_Peso FROM Producto WHERE Pr_Cve_Producto = ?", {product})
        .toDouble();
}

double Utilerias::VolumenProducto(const std::string& product) const
{
    return sql::consulta(m_e.conexion, "SELECT Pr_Volumen FROM Producto WHERE Pr_Cve_Producto = ?", {product})
        .toDouble();
}

// The width is the desktop editor's. Cancelled or read-only: the text as it was given.
std::string Utilerias::EditaTexto(const std::string& title, const std::string& text, int, bool readOnly) const
{
    std::string edited = text;
    if (!m_e.dialogos.editaTexto(title, edited, readOnly) || readOnly)
        return text;
    return edited;
}

void Utilerias::HerramientaGrid(forms::Grid& grid) const { m_e.dialogos.herramientaGrid(grid, false); }

void Utilerias::HerramientaGrid2(forms::Grid& grid) const { m_e.dialogos.herramientaGrid(grid, true); }

// A customer with a print format of its own keeps it; otherwise the branch's; otherwise the
// company's electronic invoice "FACTURA".
std::string Utilerias::FormatoFactura(const std::string& customer, const std::string& branch) const
{
    const std::string own(trimmed(
        sql::valor(m_e.conexion,
                   "SELECT Cl_Formato_Factura FROM Cliente WHERE Cl_Cve_Cliente = " + sql::texto(customer))
            .toString()));
    if (!own.empty())
        return own;
    const std::string branchFormat(trimmed(
        sql::valor(m_e.conexion,
                   "SELECT Sc_Formato_Factura FROM Sucursal WHERE Sc_Cve_Sucursal = " + sql::texto(branch))
            .toString()));
    return branchFormat.empty() ? "FACTURA" : branchFormat;
}

bool Utilerias::RequiereFirma(const std::string& seriesCode, int) const
{
    return sql::esSi(sql::valor(m_e.conexion, "SELECT Sf_Requiere_Firma FROM Serie_Factura WHERE Sf_Cve_Serie = "
                                                  + sql::texto(seriesCode)));
}

} // namespace tesmira::host
