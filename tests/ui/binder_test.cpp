// Widgets bound to a small headless form: what the user does reaches the model's user actions,
// and what the model changes is painted.
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/TextField.h"
#include "forms/Toolbar.h"
#include "ui/FormBinder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using namespace tesmira;

class BinderTest : public ::testing::Test {
protected:
    forms::Form form{"frm"};
    forms::Toolbar& toolbar = form.add<forms::Toolbar>("Controles");
    forms::TextField& folio = form.add<forms::TextField>("txtFolio");
    forms::TextField& cliente = form.add<forms::TextField>("txtCliente");
    forms::CheckBox& cerrar = form.add<forms::CheckBox>("chkCerrar");
    forms::TabStrip& tabs = form.add<forms::TabStrip>("ssTabKiv");

    QWidget window;
    ui::FormBinder binder{form, &window};
    QLineEdit* folioEdit = new QLineEdit(&window);
    QLabel* clienteCaption = new QLabel("Cliente", &window);
    QLineEdit* clienteEdit = new QLineEdit(&window);
    QCheckBox* cerrarBox = new QCheckBox(&window);
    QTabWidget* tabWidget = new QTabWidget(&window);
    QToolBar* bar = new QToolBar(&window);
    std::vector<std::string> events;

    void SetUp() override
    {
        tabs.setTabs({"Encabezado", "Detalle", "Totales"});
        for (int i = 0; i < 3; ++i)
            tabWidget->addTab(new QWidget, QString());
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{bar, folioEdit, clienteCaption, clienteEdit, cerrarBox, tabWidget})
            layout->addWidget(w);
        folio.setCodeFormat("0000");
        folio.onChange = [this] { events.push_back("change " + folio.text()); };
        folio.onEnter = [this] { events.push_back("enter " + folio.text()); };
        folio.onLeave = [this] { events.push_back("leave " + folio.text()); };
        cerrar.onClick = [this] { events.push_back("click " + std::to_string(cerrar.value())); };
        tabs.onClick = [this](int previous) { events.push_back("tab from " + std::to_string(previous)); };
        toolbar.onNuevo = [this] {
            events.push_back("nuevo");
            cliente.setFocus();
        };
        binder.bindText(folioEdit, folio);
        binder.bindText(clienteEdit, cliente, clienteCaption);
        binder.bindCheckBox(cerrarBox, cerrar);
        binder.bindTabs(tabWidget, tabs);
        binder.bindToolbar(bar, toolbar);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QAction* action(const char* name) { return window.findChild<QAction*>(name); }
};

// Guards against change events at every keystroke and against a lost code format on confirm.
TEST_F(BinderTest, TypingIsConfirmedWithEnterOrLeave)
{
    folioEdit->setFocus();
    QTest::keyClicks(folioEdit, "12");
    EXPECT_TRUE(events.empty()) << "nothing reaches the model while typing";
    QTest::keyClick(folioEdit, Qt::Key_Return);
    EXPECT_EQ(events, (std::vector<std::string>{"change 0012", "enter 0012", "leave 0012"}))
        << "Enter confirms, then moves on like Tab";
    EXPECT_EQ(folioEdit->text(), "0012") << "the model's text is painted back";
    EXPECT_EQ(QApplication::focusWidget(), clienteEdit);

    events.clear();
    folioEdit->setFocus();
    QTest::keyClicks(folioEdit, "5");
    clienteEdit->setFocus();
    EXPECT_EQ(events, (std::vector<std::string>{"change 00125", "leave 00125"}));
    EXPECT_EQ(form.focused(), &cliente);
}

// Guards against widgets that ignore the model's state changes.
TEST_F(BinderTest, ModelStateIsPainted)
{
    cliente.setText("C0001");
    EXPECT_EQ(clienteEdit->text(), "C0001");
    cliente.setLocked(true);
    EXPECT_TRUE(clienteEdit->isReadOnly());
    cliente.setVisible(false);
    EXPECT_FALSE(clienteEdit->isVisible());
    EXPECT_FALSE(clienteCaption->isVisible()) << "the caption goes with its field";
    cerrar.setEnabled(false);
    EXPECT_FALSE(cerrarBox->isEnabled());
    tabs.setTab(2);
    EXPECT_EQ(tabWidget->currentIndex(), 2);
    EXPECT_TRUE(events.empty()) << "code raises no click";
}

// Guards against clicks that change the widget but not the model, or run the handler twice.
TEST_F(BinderTest, ClicksAndTabsGoThroughTheModel)
{
    // On the box itself: a check box takes clicks on its indicator and caption only.
    QTest::mouseClick(cerrarBox, Qt::LeftButton, {}, QPoint(6, cerrarBox->height() / 2));
    EXPECT_EQ(cerrar.value(), forms::CheckBox::Checked);
    EXPECT_TRUE(cerrarBox->isChecked());
    tabWidget->setCurrentIndex(1);
    EXPECT_EQ(tabs.tab(), 1);
    // The click took the focus from the folio first: it hears it was left.
    EXPECT_EQ(events, (std::vector<std::string>{"leave ", "click 1", "tab from 0"}));
}

// Guards against toolbar buttons out of step with the toolbar's state, and a focus the handler set being lost.
TEST_F(BinderTest, ToolbarFollowsItsStateAndTheFocusFollowsTheModel)
{
    ASSERT_TRUE(action("cmdNuevo"));
    EXPECT_TRUE(action("cmdNuevo")->isEnabled());
    EXPECT_FALSE(action("cmdAceptar")->isEnabled());
    folioEdit->setFocus();
    QTest::keyClicks(folioEdit, "7");
    action("cmdNuevo")->trigger();
    // The handler moved the focus: the field left hears of it once the command is done.
    EXPECT_EQ(events, (std::vector<std::string>{"change 0007", "nuevo", "leave 0007"}))
        << "unconfirmed typing is handed over before a command";
    EXPECT_FALSE(action("cmdNuevo")->isEnabled());
    EXPECT_TRUE(action("cmdAceptar")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), clienteEdit) << "the handler's focus is mirrored";
}

// Guards against F2 ignoring a field's look-up or typing the chosen key without confirming it.
TEST_F(BinderTest, F2ShowsTheLookUpAndConfirmsTheChosenKey)
{
    folio.lookupQuery = "SELECT Rm_Folio AS CLAVE FROM Remision_Encabezado";
    std::string asked;
    folio.lookupHook = [&](forms::TextField& field) {
        asked = field.lookupQuery;
        return std::string("42");
    };
    folioEdit->setFocus();
    QTest::keyClick(folioEdit, Qt::Key_F2);
    EXPECT_EQ(asked, folio.lookupQuery);
    EXPECT_EQ(events, (std::vector<std::string>{"change 0042", "enter 0042"}));
}

// Guards against the edit still showing a key the field refused.
TEST_F(BinderTest, RefusedKeyShowsTheFieldsOwnText)
{
    folio.keyCatalog = "el folio";
    folio.keyCheckHook = [](forms::TextField&, const std::string& key) { return key == "0042"; };
    folioEdit->setFocus();
    QTest::keyClicks(folioEdit, "9");
    QTest::keyClick(folioEdit, Qt::Key_Return);
    EXPECT_EQ(folioEdit->text(), QString()) << "refused";
    QTest::keyClicks(folioEdit, "42");
    QTest::keyClick(folioEdit, Qt::Key_Return);
    EXPECT_EQ(folioEdit->text(), QStringLiteral("0042"));
}

} // namespace
