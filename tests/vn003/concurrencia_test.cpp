// Two clerks on one company database. The other clerk works on a second connection and speaks
// plain T-SQL through db::Connection, so these cases hold on every engine.
#include "Pantalla_fixture.h"

#include <chrono>
#include <future>
#include <thread>

namespace tesmira::vn003::testing {
namespace {

using namespace std::chrono_literals;

// The other clerk holds the order's lock (as every save takes it) while the screen saves.
class OtroClerk {
public:
    explicit OtroClerk(const std::string& base) : m_c(base, db::OpenMode::WithSchema) {}

    // Takes the order and, when `entrega` > 0, delivers that much of line 0001; then waits for
    // `suelta` and commits (or rolls back). Answers once the lock is held.
    void toma(const std::string& pedido, int entrega, std::shared_future<void> suelta, bool confirma)
    {
        std::promise<void> tomado;
        auto listo = tomado.get_future();
        m_hilo = std::async(std::launch::async, [=, this, tomado = std::move(tomado)]() mutable {
            m_c.BeginTrans();
            m_c.Execute("UPDATE Pedido_Encabezado SET Oper_Ult_Modif = 'OTRO' WHERE Pd_Folio = '" + pedido + "'");
            if (entrega > 0)
                m_c.Execute("INSERT INTO Remision (Rm_Folio, Rm_ID, Rm_Tabla, Rm_Documento, Rm_Documento_ID, "
                            "Pr_Cve_Producto, Tl_Cve_Talla, Cl_Cve_Color, Rm_Concepto, Rm_Unidad_1, Rm_Unidad_Control_1, "
                            "Rm_Unidad_Control_2, Rm_Unidad_Costo, Rm_Cantidad_1, Rm_Cantidad_Control_1, "
                            "Rm_Cantidad_Control_2, Rm_Cantidad_Costo, Es_Cve_Estado) "
                            "SELECT 'X0001', '0001', 'PEDIDO', Pd_Folio, Pd_ID, Pr_Cve_Producto, Tl_Cve_Talla, "
                            "Cl_Cve_Color, Pd_Concepto, Pd_Unidad_1, Pd_Unidad_Control_1, Pd_Unidad_Control_2, "
                            "Pd_Unidad_Costo, " + std::to_string(entrega) + ", " + std::to_string(entrega) + ", " +
                            std::to_string(entrega) + ", " + std::to_string(entrega) +
                            ", 'AC' FROM Pedido WHERE Pd_Folio = '" + pedido + "' AND Pd_ID = '0001'");
            m_volcado = db::dump(m_c); // what the screen's save must leave when it is refused
            tomado.set_value();
            suelta.wait();
            if (confirma)
                m_c.CommitTrans();
            else
                m_c.RollbackTrans();
        });
        listo.wait();
    }
    void termina() { m_hilo.get(); }
    const std::string& volcado() const { return m_volcado; }
    db::Connection& conexion() { return m_c; }

private:
    db::Connection m_c;
    std::future<void> m_hilo;
    std::string m_volcado;
};

// The other clerk delivers part of the line while this one's save waits for the order: the save
// then sees it, is refused with the row's over-delivery message and leaves no trace.
TEST_F(GuardadoTest, SaveWaitingForAnotherClerkNeverDeliversMoreThanOrdered)
{
    abre();
    frmVN003& f = nuevaConPedido("P0008"); // 10 pieces of CAM001 pending on line 0001, all on screen
    OtroClerk otro(conexion().path());
    std::promise<void> suelta;
    otro.toma("P0008", 3, suelta.get_future().share(), true);
    auto soltar = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(300ms);
        suelta.set_value();
    });
    acepta();
    otro.termina();

    const auto& m = dialogos().mensajes();
    ASSERT_FALSE(m.empty()) << transcript();
    EXPECT_EQ(m.back().id, "ERR-ID:7500040") << transcript();
    EXPECT_EQ(m.back().flags, 16);
    EXPECT_EQ(m.back().title, "ERROR");
    EXPECT_EQ(volcado(), otro.volcado()) << "the refused save must leave what the other clerk committed";
    EXPECT_EQ(sql("SELECT sum(Rm_Cantidad_1) FROM Remision WHERE Rm_Documento = 'P0008' AND Rm_Documento_ID = '0001'"),
              "3");
    EXPECT_EQ(f.Controles.state(), forms::ToolbarState::New) << "the clerk keeps the note to correct it";
}

// A lock that does not come free in time refuses the save with a message to try again.
TEST_F(GuardadoTest, OrderHeldTooLongRefusesTheSaveAndChangesNothing)
{
    abre();
    frmVN003& f = nuevaConPedido("P0008");
    const int filas = f.ssDetalle.rowCount();
    const std::string antes = volcado();
    OtroClerk otro(conexion().path());
    std::promise<void> suelta;
    otro.toma("P0008", 0, suelta.get_future().share(), false);
    conexion().setBusyTimeout(100);
    acepta();
    suelta.set_value();
    otro.termina();

    const auto& m = dialogos().mensajes();
    ASSERT_FALSE(m.empty()) << transcript();
    EXPECT_EQ(m.back().id, "ERR-ID:7500058");
    EXPECT_EQ(m.back().flags, 48);
    EXPECT_EQ(m.back().prompt, "El pedido está siendo remisionado por otro usuario, intente de nuevo");
    EXPECT_EQ(volcado(), antes);
    EXPECT_EQ(f.ssDetalle.rowCount(), filas);
    EXPECT_FALSE(conexion().inTransaction());
}

struct CasoNotaCambiada {
    const char* nombre;
    bool reemplaza; // the save of the modified note, else the cancel command
    const char* id;
};
const CasoNotaCambiada casosNotaCambiada[] = {
    {"cancelar", false, "ERR-ID:7500027"},
    {"reemplazar", true, "ERR-ID:7500005"},
};
class NotaCambiadaMientras : public GuardadoTest, public ::testing::WithParamInterface<CasoNotaCambiada> {};

// A note another clerk changed after it was called up is neither cancelled nor replaced.
TEST_P(NotaCambiadaMientras, Caso)
{
    const CasoNotaCambiada& c = GetParam();
    frmVN003& f = abre();
    f.txtFolio.userType("R0001");
    f.txtFolio.userEnter();
    ASSERT_GT(f.ssDetalle.rowCount(), 0) << transcript();
    {
        db::Connection otro(conexion().path(), db::OpenMode::WithSchema);
        otro.Execute("UPDATE Remision_Encabezado SET Rm_Comentario = 'corregida', Oper_Ult_Modif = 'OTRO', "
                     "Fecha_Ult_Modif = '2026-12-05 11:00:00' WHERE Rm_Folio = 'R0001'");
    }
    const std::string antes = volcado();
    if (c.reemplaza) {
        f.Controles.press(forms::Command::Modificar);
        f.Controles.press(forms::Command::Aceptar, 0);
    } else {
        f.Controles_Eliminar();
    }
    ASSERT_FALSE(dialogos().mensajes().empty());
    EXPECT_EQ(dialogos().mensajes().back().id, c.id) << transcript();
    EXPECT_NE(dialogos().mensajes().back().prompt.find("fue modificada por otro usuario"), std::string::npos);
    EXPECT_EQ(volcado(), antes);
}
INSTANTIATE_TEST_SUITE_P(Concurrencia, NotaCambiadaMientras, ::testing::ValuesIn(casosNotaCambiada), NombreCaso());

} // namespace
} // namespace tesmira::vn003::testing
