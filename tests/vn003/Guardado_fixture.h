#pragma once
// Helpers of the save and cancel tests: an order loaded into a new note, the whole database
// as text (to prove a refusal left no trace), failures injected into one table.
#include "Pantalla_fixture.h"

#include <functional>
#include <vector>

namespace tesmira::vn003::testing {

class GuardadoTest : public PantallaTest {
public:
    // Public: the table-driven cases call them from their lambdas.
    // A new note for the order, as the user starts it.
    frmVN003& nuevaConPedido(const std::string& pedido)
    {
        frmVN003& f = frm();
        f.Controles.press(forms::Command::Nuevo);
        f.txt_Pd_Folio.userType(pedido);
        f.txt_Pd_Folio.userEnter();
        return f;
    }

    // Keeps only the rows of the product (the others need lots, serials or stock the test is not about).
    void soloProducto(const std::string& producto)
    {
        auto& g = frm().ssDetalle;
        for (int r = g.rowCount() - 1; r >= 0; --r) {
            g.setRow(r);
            if (g.col("Pr_Cve_Producto").value().toString() != producto)
                g.removeRow(r);
        }
        ASSERT_GT(g.rowCount(), 0) << "the order has no line of " << producto;
        g.moveFirst();
    }

    // Writes a cell of the row of a product (first such row).
    void celda(const std::string& producto, const std::string& columna, const Value& valor)
    {
        auto& g = frm().ssDetalle;
        for (int r = 0; r < g.rowCount(); ++r) {
            g.setRow(r);
            if (g.col("Pr_Cve_Producto").value().toString() == producto) {
                g.col(columna).setValue(valor);
                return;
            }
        }
        FAIL() << "no row of " << producto;
    }

    // Invoicing with series A of branch 01, checked as the host's series control would.
    void conFactura(const std::string& serie = "A")
    {
        frmVN003& f = frm();
        f.txt_Fc_Factura.validationHook = [](forms::SeriesField&, std::string&) { return true; };
        f.chkFacturar.setValue(forms::CheckBox::Checked);
        f.txt_Fc_Factura.setSeriesCode(serie);
        f.txt_Fc_Factura.setFolio(serie);
    }

    void acepta() { frm().Controles.press(forms::Command::Aceptar); }

    // Every table's rows, in storage order.
    std::string volcado()
    {
        std::string out;
        db::Recordset tablas =
            conexion().Execute("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
        for (; !tablas.Eof(); tablas.MoveNext()) {
            const std::string t = tablas.Fields(size_t{0}).toString();
            out += "## " + t + "\n" + db::formatTsv(conexion().Execute("SELECT * FROM " + t));
        }
        return out;
    }

    // Any insert into (or update of) the table fails from now on.
    void fallaEn(const std::string& tabla, const std::string& evento = "INSERT")
    {
        conexion().executeScript("CREATE TRIGGER falla_inyectada BEFORE " + evento + " ON " + tabla +
                                 " BEGIN SELECT RAISE(ABORT, 'falla inyectada'); END;");
    }

    bool impreso(const std::string& archivo)
    {
        return std::filesystem::exists(std::filesystem::path(entorno().carpetaSalida) / (archivo + ".txt"));
    }

    const host::MensajeMostrado* ultimo()
    {
        const auto& m = dialogos().mensajes();
        return m.empty() ? nullptr : &m.back();
    }
};

} // namespace tesmira::vn003::testing
