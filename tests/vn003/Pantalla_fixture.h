#pragma once
// Fixtures of the screen's tests: the host's demo company (DemoHost.h) and the screen opened
// the way the host opens it. Parameters and rights written before abre() are what Form_Load
// reads. GridTest arranges header and rows directly; GuardadoTest adds what the save and
// cancel tests need.
#include "../host/DemoHost.h"
#include "db/Recordset.h"
#include "host/services/PadreShell.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <initializer_list>
#include <utility>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tesmira::vn003::testing {

class PantallaTest : public host::prueba::DemoHost {
protected:
    void TearDown() override
    {
        DescargaComponente();
        m_padre.reset();
    }

    // Before abre(): the signed-in user ("ADMIN" unless changed).
    void usuario(const std::string& codigo) { DemoHost::entorno->usuario = codigo; }

    // Before abre(): grants or denies a right of the screen to the current user.
    void right(const std::string& codigo, bool on)
    {
        const std::string usuario = db::quoted(DemoHost::entorno->usuario);
        const std::string derecho = db::quoted(codigo);
        conexion().Execute("DELETE FROM Derecho_Usuario WHERE Us_Cve_Usuario = '" + usuario +
                           "' AND Dr_Pantalla = 'VN003' AND Dr_Cve_Derecho = '" + derecho + "'");
        conexion().Execute("INSERT INTO Derecho_Usuario (Us_Cve_Usuario, Dr_Pantalla, Dr_Cve_Derecho, Dr_Permitido) "
                           "VALUES ('" + usuario + "', 'VN003', '" + derecho + "', '" + (on ? "SI" : "NO") + "')");
    }

    // Starts the component and opens the screen as the host does (load, then activate).
    frmVN003& abre(std::optional<std::string> iParametros = std::nullopt)
    {
        IniciaComponente(entorno());
        m_frm = m_pantalla.GetPantalla();
        if (!m_frm)
            throw Error("La pantalla no se pudo crear");
        m_padre = std::make_unique<host::PadreShell>(entorno());
        if (iParametros)
            m_padre->setIParametros(*iParametros);
        m_frm->setPadre(m_padre.get());
        m_frm->Form_Load();
        m_frm->Form_Activate();
        return *m_frm;
    }

    // The screen open on a new note, as after the new command.
    frmVN003& nuevo()
    {
        frmVN003& f = abre();
        f.Controles.press(forms::Command::Nuevo);
        return f;
    }
    // The order folio typed and confirmed.
    void pedido(const std::string& folio)
    {
        frm().txt_Pd_Folio.userType(folio);
        frm().txt_Pd_Folio.userEnter();
    }
    // The note folio typed into the empty screen and confirmed.
    void carga(const std::string& folio)
    {
        frm().txtFolio.userType(folio);
        frm().txtFolio.userEnter();
    }
    Value celda(int row, const char* col) { return frm().ssDetalle.cell(row, frm().ssDetalle.columnIndex(col)); }
    std::string texto(int row, const char* col) { return celda(row, col).toString(); }
    // The last message box; nullptr when none was shown.
    const host::MensajeMostrado* ultimo() const
    {
        const auto& m = DemoHost::dialogos.mensajes();
        return m.empty() ? nullptr : &m.back();
    }

    frmVN003& frm() { return *m_frm; }
    host::DialogosGuion& dialogos() { return DemoHost::dialogos; }
    host::Entorno& entorno() { return *DemoHost::entorno; }
    host::PadreShell& padre() { return *m_padre; }
    db::Connection& conexion() { return *DemoHost::conexion; }
    Pantalla& pantalla() { return m_pantalla; }
    // Everything the dialogs wrote so far (MSG lines, offered lists).
    std::string transcript() const { return DemoHost::transcript.str(); }
    // Id of the last message box; "" when none was shown.
    std::string ultimoMensaje() const { return ultimo() ? ultimo()->id : std::string(); }

    // First column of the first row as text; "" when there is no row.
    std::string sql(const std::string& tsql)
    {
        db::Recordset rs = conexion().Execute(tsql);
        return rs.Eof() ? std::string() : rs.Fields(size_t{0}).toString();
    }

private:
    std::unique_ptr<host::PadreShell> m_padre;
    Pantalla m_pantalla;
    frmVN003* m_frm = nullptr;
};

using Celdas = std::initializer_list<std::pair<const char*, Value>>;

class GridTest : public PantallaTest {
protected:
    // Opens the screen in the new-note state.
    frmVN003& abreNuevo()
    {
        frmVN003& f = abre();
        f.Controles.InicioNuevo(false);
        return f;
    }

    // The header fields the grid routines read, written with their change handlers off.
    void encabezado(const std::string& pedido, const std::string& sucursal, const std::string& almacen,
                    const std::string& cliente = "C0002")
    {
        frmVN003& f = frm();
        for (forms::TextField* t : {&f.txt_Pd_Folio, &f.txt_Sc_Cve_Sucursal, &f.txt_Al_Cve_Almacen, &f.txtCliente,
                                    &f.txt_Mn_Cve_Moneda, &f.txtCondicionVenta, &f.txtSalida})
            t->onChange = nullptr;
        f.dpFecha.onChange = nullptr;
        f.txt_Pd_Folio.setText(pedido);
        f.txt_Sc_Cve_Sucursal.setText(sucursal);
        f.txt_Al_Cve_Almacen.setText(almacen);
        f.txtCliente.setText(cliente);
        f.txt_Mn_Cve_Moneda.setText("MXN");
        f.txtCondicionVenta.setText("01");
        f.dpFecha.setValue(Date{2026, 12, 5});
    }

    // Appends a row holding the given cells and leaves the grid on it.
    void fila(Celdas celdas)
    {
        forms::Grid& g = frm().ssDetalle;
        g.addRow();
        for (const auto& [columna, valor] : celdas)
            g.col(columna).setValue(valor);
    }

    // Makes a column current by code (no event), as the user's last click left it.
    void en(const char* columna) { frm().ssDetalle.setCurrentColumn(frm().ssDetalle.columnIndex(columna)); }

    std::string celda(const char* columna) { return frm().ssDetalle.col(columna).value().toString(); }
    double numero(const char* columna) { return frm().ssDetalle.col(columna).value().toDouble(); }
};

class GuardadoTest : public PantallaTest {
public:
    // Public: the table-driven cases call them from their lambdas.
    // A new note for the order, as the user starts it.
    frmVN003& nuevaConPedido(const std::string& pedido)
    {
        frmVN003& f = frm();
        f.Controles.press(forms::Command::Nuevo);
        this->pedido(pedido);
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

    using PantallaTest::celda;
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

    std::string volcado() { return db::dump(conexion()); }

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

};

// A table case's `nombre` as a test name: letters and digits, the rest one '_'.
struct NombreCaso {
    template <class Caso>
    std::string operator()(const ::testing::TestParamInfo<Caso>& info) const
    {
        std::string n;
        for (const char* p = info.param.nombre; *p; ++p) {
            const auto ch = static_cast<unsigned char>(*p);
            if (std::isalnum(ch) && ch < 128)
                n += *p;
            else if (n.empty() || n.back() != '_')
                n += '_';
        }
        return n;
    }
};

} // namespace tesmira::vn003::testing
