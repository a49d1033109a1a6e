// A clerk at the desktop: the window over the real screen and the demo company.
#include "../vn003/Pantalla_fixture.h"

#include "ui/FormBinder.h"
#include "ui/GridView.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogos.h"
#include "ui/WorkProgress.h"
#include "generate.h"
#include "forms/Grid.h"
#include "forms/Toolbar.h"
#include "host/services/CamposAdicionales.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QScrollBar>
#include <QTableView>
#include <QStatusBar>
#include <QAbstractButton>
#include <QDialog>
#include <QProgressDialog>
#include <QPushButton>

#include <deque>
#include <map>

namespace {

using namespace tesmira;
using ui::GridView;

// Answers the window's own modal questions (queued buttons, "No" when none), fills the
// additional-fields dialog, and closes any other dialog (the print preview).
struct Modales {
    std::deque<QMessageBox::StandardButton> respuestas;
    std::map<QString, QString> campos;
    std::vector<QString> textos;
    QTimer timer;

    Modales()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] { responde(); });
        timer.start();
    }

    void responde()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            textos.push_back(box->text());
            const auto answer = respuestas.empty() ? QMessageBox::No : respuestas.front();
            if (!respuestas.empty())
                respuestas.pop_front();
            if (QAbstractButton* b = box->button(answer))
                b->click();
            else
                box->reject();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || qobject_cast<QProgressDialog*>(dialog))
            return;
        if (dialog->windowTitle() == "Campos adicionales") {
            for (const auto& [name, text] : campos)
                if (auto* e = dialog->findChild<QLineEdit*>(name))
                    e->setText(text);
            dialog->accept();
            return;
        }
        dialog->reject();
    }
};

class WalkTest : public vn003::testing::PantallaTest {
protected:
    std::unique_ptr<ui::MainWindow> ventana()
    {
        auto window = std::make_unique<ui::MainWindow>(frm(), entorno());
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->binder().syncFocus();
        return window;
    }
    // A closed or hidden modal leaves the offscreen platform's focus off the window until it asks back.
    void activa(QWidget& w)
    {
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; }));
    }
    QLineEdit* campo(QWidget& w, const char* name) { return w.findChild<QLineEdit*>(name); }
    // A header field typed into and confirmed with Enter, as the clerk does.
    QLineEdit* teclea(QWidget& w, const char* name, const QString& text)
    {
        QLineEdit* e = campo(w, name);
        e->setFocus();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        return e;
    }
    void comando(QWidget& w, const char* name)
    {
        auto* action = w.findChild<QAction*>(name);
        ASSERT_TRUE(action) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }
};

// Guards against one key losing work, a load that leaves the focus in Pedido, Enter that does
// not move on, and additional fields the save forgets: a keyboard-only road to a saved note.
TEST_F(WalkTest, KeyboardRoadAsksBeforeLosingWorkAndSavesTheFields)
{
    abre();
    auto window = ventana();
    Modales modales;
    EXPECT_FALSE(window->findChild<QAction*>("cmdAceptar")->isEnabled()) << "nothing to accept when empty";
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    QLineEdit* pedido = campo(*window, "txt_Pd_Folio");
    ASSERT_EQ(QApplication::focusWidget(), pedido) << "the new note starts at the order folio";
    QTest::keyClicks(pedido, "P0010");
    EXPECT_TRUE(frm().txt_Pd_Folio.text().empty()) << "typing is handed over when confirmed";
    QTest::keyClick(pedido, Qt::Key_Return);
    ASSERT_EQ(window->gridView().model()->rowCount(), 1);
    EXPECT_EQ(QApplication::focusWidget(), &window->gridView()) << "after a load the clerk is in the grid";
    EXPECT_EQ(frm().ssTabKiv.tab(), 1);
    const QModelIndex at = window->gridView().currentIndex();
    EXPECT_EQ(at.row(), 0);
    EXPECT_TRUE(window->gridView().model()->flags(at) & Qt::ItemIsEditable) << "the first cell one may type into";

    // Esc and closing the window ask; "No" keeps the note.
    modales.respuestas = {QMessageBox::No, QMessageBox::No};
    QTest::keyClick(window.get(), Qt::Key_Escape);
    window->close();
    EXPECT_EQ(frm().ssDetalle.rowCount(), 1);
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(modales.textos.size(), 2u);
    EXPECT_TRUE(modales.textos[0].contains("no se ha guardado")) << modales.textos[0].toStdString();

    // F8: the additional fields; F12 saves them with the note and says so.
    modales.campos = {{"TRANSPORTISTA", "Fletes del Mayab"}};
    activa(*window);
    QTest::keyClick(window.get(), Qt::Key_F8);
    activa(*window);
    QTest::keyClick(window.get(), Qt::Key_F12);
    EXPECT_EQ(sql("SELECT Ca_Valor FROM Campo_Adicional WHERE Ca_Documento = 'R0006'"), "Fletes del Mayab");
    EXPECT_EQ(frm().Controles.state(), forms::ToolbarState::Empty);
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("R0006"))
        << window->statusBar()->currentMessage().toStdString() << transcript();
}

// Guards against a shown note that takes typing and a cancel that needs no confirmation.
TEST_F(WalkTest, ShownNoteIsReadOnlyAndCancellingAsks)
{
    abre();
    auto window = ventana();
    Modales modales;
    teclea(*window, "txtFolio", "R0001");
    ASSERT_EQ(frm().Controles.state(), forms::ToolbarState::Viewing);
    QLineEdit* referencia = campo(*window, "txtReferencia");
    EXPECT_TRUE(referencia->isReadOnly());
    EXPECT_EQ(referencia->focusPolicy(), Qt::ClickFocus) << "read-only fields are no Tab stops";
    EXPECT_EQ(window->camposAdicionales().campos().front().valor, "Fletes Uxmal");

    modales.respuestas = {QMessageBox::No};
    QTest::keyClick(window.get(), Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(modales.textos.size(), 1u);
    EXPECT_EQ(modales.textos[0], "¿Cancelar la remisión R0001?");
    EXPECT_EQ(sql("SELECT Es_Cve_Estado FROM Remision_Encabezado WHERE Rm_Folio = 'R0001'"), "AC");

    modales.respuestas = {QMessageBox::Yes};
    activa(*window);
    QTest::keyClick(window.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(sql("SELECT Es_Cve_Estado FROM Remision_Encabezado WHERE Rm_Folio = 'R0001'"), "CA");
    EXPECT_TRUE(window->statusBar()->currentMessage().contains("R0001 cancelada"));
}

// Guards against cell buttons that need the mouse: F2 on a lot line's lot opens the picker,
// on a line without lots it does nothing.
TEST_F(WalkTest, CellButtonOpensByKeyOnlyWhereItApplies)
{
    abre();
    auto window = ventana();
    Modales modales;
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    teclea(*window, "txt_Pd_Folio", "P0001");
    forms::Grid& grid = frm().ssDetalle;
    const int lote = grid.columnIndex("Lt_Cve_Lote");
    int lotRow = -1, plainRow = -1;
    for (int r = 0; r < grid.rowCount(); ++r)
        (grid.cellText(r, grid.columnIndex("TIPO_PRODUCTO")) == "LOTE" ? lotRow : plainRow) = r;
    ASSERT_GE(lotRow, 0);
    ASSERT_GE(plainRow, 0);
    GridView& view = window->gridView();
    EXPECT_TRUE(view.model()->index(lotRow, lote).data(Qt::ToolTipRole).toString().contains("F2"));
    EXPECT_FALSE(GridView::buttonApplies(view.model()->index(plainRow, lote)));

    const size_t before = transcript().size();
    view.setCurrentIndex(view.model()->index(plainRow, lote));
    QTest::keyClick(&view, Qt::Key_F2);
    EXPECT_EQ(transcript().find("LOTS", before), std::string::npos) << "no lots on a plain line";
    view.setCurrentIndex(view.model()->index(lotRow, lote));
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_NE(transcript().find("LOTS", before), std::string::npos) << transcript().substr(before);

    // Scrolled right, the key and the description stay in sight.
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    auto* fixed = view.findChild<QTableView*>("columnasFijas");
    ASSERT_TRUE(fixed);
    EXPECT_TRUE(fixed->isVisible());
    EXPECT_FALSE(fixed->isColumnHidden(grid.columnIndex("Pr_Cve_Producto")));
    EXPECT_TRUE(fixed->isColumnHidden(lote));
}

// Guards against a failure escaping a handler into Qt's loop: it is shown and the window lives on.
TEST_F(WalkTest, FailureInAHandlerIsShownNotThrown)
{
    abre();
    auto window = ventana();
    comando(*window, "cmdNuevo");
    frm().txtReferencia.onEnter = [] { throw Error("pendiente: txtReferencia_Enter"); };
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    teclea(*window, "txtReferencia", "OC-1");
    EXPECT_EQ(shown, "pendiente: txtReferencia_Enter");
    EXPECT_EQ(frm().txtReferencia.text(), "OC-1") << "the typing was taken before the handler failed";
    EXPECT_TRUE(window->isVisible());
}

// Guards against long work that freezes the window or stops half-way: a load shows "n de N"
// rising under a busy cursor and its Cancel leaves nothing of the order or note on screen; a
// save shows no Cancel and stores every line.
TEST_F(WalkTest, LongWorkShowsProgressAndCancelStopsALoadWhole)
{
    if (std::getenv("TESMIRA_TEST_PG"))
        GTEST_SKIP() << "the generated company is written through SQLite";
    const int lineas = 150;
    bench::generateCompany(conexion(), lineas);
    abre();
    auto window = ventana();
    Modales modales;
    dynamic_cast<ui::WorkProgress&>(*entorno().progreso).setTiming(0, 0);
    // What the clerk sees at each repaint; Cancel is pressed once the count reaches stopAt.
    struct Visto {
        int valor;
        QString texto;
        bool cancelable;
        bool ocupado;
    };
    std::vector<Visto> visto;
    int stopAt = 40;
    QTimer mira;
    mira.setInterval(0);
    QObject::connect(&mira, &QTimer::timeout, [&] {
        auto* d = window->findChild<QProgressDialog*>("progreso");
        if (!d || !d->isVisible() || (!visto.empty() && visto.back().valor == d->value()))
            return;
        auto* cancel = d->findChild<QPushButton*>();
        const QCursor* cursor = QApplication::overrideCursor();
        visto.push_back({d->value(), d->labelText(), cancel && cancel->isVisible(),
                         cursor && cursor->shape() == Qt::WaitCursor});
        if (stopAt > 0 && d->value() >= stopAt && cancel)
            cancel->click();
    });
    mira.start();
    // The most rows the window ever showed: a stopped load must not have gone on to its end.
    int mostradas = 0;
    QObject::connect(window->gridView().model(), &QAbstractItemModel::rowsInserted,
                     [&] { mostradas = std::max(mostradas, window->gridView().model()->rowCount()); });
    const auto creciente = [&](const char* que) {
        ASSERT_GE(visto.size(), 3u) << que;
        for (size_t i = 1; i < visto.size(); ++i)
            EXPECT_GT(visto[i].valor, visto[i - 1].valor) << que << " repaint " << i;
        EXPECT_TRUE(std::all_of(visto.begin(), visto.end(), [](const Visto& v) { return v.ocupado; })) << que;
    };

    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    QLineEdit* pedido = teclea(*window, "txt_Pd_Folio", "BXP0001");
    creciente("stopped load");
    EXPECT_EQ(visto.back().texto, QStringLiteral("Cargando renglón %1 de %2").arg(visto.back().valor).arg(lineas));
    EXPECT_LT(mostradas, lineas / 2);
    EXPECT_TRUE(visto.back().cancelable);
    EXPECT_EQ(frm().ssDetalle.rowCount(), 0) << "nothing of the order stays";
    EXPECT_EQ(frm().txtCliente.text(), "") << "nor its header";
    EXPECT_EQ(frm().txt_Pd_Folio.text(), "BXP0001");
    EXPECT_EQ(window->focusWidget(), pedido) << "Enter in the folio loads it again";
    EXPECT_TRUE(window->statusBar()->currentMessage().startsWith("Carga cancelada"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    visto.clear();
    stopAt = 0;
    activa(*window);
    QTest::keyClick(pedido, Qt::Key_Return);
    EXPECT_EQ(window->focusWidget(), &window->gridView());
    EXPECT_EQ(visto.back().valor, lineas) << "the order, then its dispatch";
    // The clerk deletes the lines the terminal found nothing to pick for.
    forms::Grid& grid = frm().ssDetalle;
    for (int r = grid.rowCount() - 1; r >= 0; --r)
        if (grid.setRow(r), grid.col("Cantidad_1").value().toDouble() == 0)
            grid.removeRow(r);
    const int cargadas = grid.rowCount();
    ASSERT_GT(cargadas, lineas / 2) << transcript();

    // Cancel offered during a save would stop it inside its transaction.
    visto.clear();
    stopAt = 1;
    activa(*window);
    QTest::keyClick(window.get(), Qt::Key_F12);
    creciente("save");
    EXPECT_TRUE(visto.back().texto.startsWith("Guardando renglón"));
    EXPECT_TRUE(std::none_of(visto.begin(), visto.end(), [](const Visto& v) { return v.cancelable; }));
    const std::string folio = window->camposAdicionales().ultimoFolioGrabado();
    EXPECT_EQ(sql("SELECT COUNT(*) FROM Remision WHERE Rm_Folio = '" + folio + "'"), std::to_string(cargadas))
        << transcript();

    // A recall stopped half-way shows nothing: part of the note would pass for the saved one.
    visto.clear();
    stopAt = 40;
    activa(*window);
    teclea(*window, "txtFolio", QString::fromStdString(folio));
    creciente("stopped recall");
    EXPECT_EQ(frm().Controles.state(), forms::ToolbarState::Empty);
    EXPECT_EQ(frm().ssDetalle.rowCount(), 0);
    EXPECT_EQ(frm().txtCliente.text(), "");
    EXPECT_TRUE(window->statusBar()->currentMessage().startsWith("Consulta cancelada"));
}

// Guards against a refused order that keeps the clerk in Pedido, where every Enter asks the same
// again: the window comes back from the real message box and Enter moves on.
TEST_F(WalkTest, RefusedOrderMovesOnAfterItsMessage)
{
    ui::QtDialogos cuadros;
    host::Entorno conCuadros{conexion(), cuadros, "ADMIN", Date{2026, 12, 5}, entorno().carpetaSalida};
    vn003::IniciaComponente(conCuadros);
    vn003::frmVN003& f = *pantalla().GetPantalla();
    host::PadreShell padre(conCuadros);
    f.setPadre(&padre);
    f.Form_Load();
    f.Form_Activate();
    ui::MainWindow window(f, conCuadros);
    cuadros.setParent(&window);
    window.show();
    activa(window);
    QStringList vistos;
    QTimer responde;
    responde.setInterval(10);
    QObject::connect(&responde, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            vistos << box->text();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    responde.start();
    QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
    QLineEdit* pedido = teclea(window, "txt_Pd_Folio", "P0006");
    EXPECT_EQ(vistos, QStringList{"No es posible remisionar el pedido desde el estado: CE"});
    EXPECT_EQ(f.ssDetalle.rowCount(), 0);
    EXPECT_NE(window.focusWidget(), pedido) << "Enter moved on like Tab";
    cuadros.setParent(nullptr);
}

} // namespace
