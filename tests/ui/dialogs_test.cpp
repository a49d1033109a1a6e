// The Qt dialogs' pure parts: VB message flags, VB key codes, pick-list filtering, grid tools
// and printed documents.
#include "app/runner/ScriptRunner.h"
#include "forms/Form.h"
#include "forms/Grid.h"
#include "forms/TextField.h"
#include "ui/GridTools.h"
#include "ui/Keys.h"
#include "ui/PickListDialog.h"
#include "ui/PrintedPages.h"
#include "ui/QtDialogos.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace tesmira;
using B = QMessageBox;

// Guards against a message box with the wrong icon, buttons or default for the caller's flags.
TEST(MessageStyle, FollowsVbFlags)
{
    struct Case {
        const char* name;
        int flags;
        B::Icon icon;
        QList<B::StandardButton> buttons;
        B::StandardButton defaultButton;
    };
    const Case cases[] = {
        {"error", 16, B::Critical, {B::Ok}, B::Ok},
        {"warning, OK/Cancel", 48 + 1, B::Warning, {B::Ok, B::Cancel}, B::Ok},
        {"information", 64, B::Information, {B::Ok}, B::Ok},
        {"question Yes/No", 32 + 4, B::Question, {B::Yes, B::No}, B::Yes},
        {"Yes/No, second default", 32 + 4 + 256, B::Question, {B::Yes, B::No}, B::No},
        {"Yes/No/Cancel, third default", 48 + 3 + 512, B::Warning, {B::Yes, B::No, B::Cancel}, B::Cancel},
        {"Abort/Retry/Ignore", 16 + 2, B::Critical, {B::Abort, B::Retry, B::Ignore}, B::Abort},
        {"third default of two buttons", 4 + 512, B::NoIcon, {B::Yes, B::No}, B::Yes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ui::MessageStyle style = ui::messageStyle(c.flags);
        EXPECT_EQ(style.icon, c.icon);
        EXPECT_EQ(style.buttons, c.buttons);
        EXPECT_EQ(style.defaultButton, c.defaultButton);
    }
    EXPECT_EQ(ui::vbButton(B::Yes), host::vbYes);
    EXPECT_EQ(ui::vbButton(B::No), host::vbNo);
    EXPECT_EQ(ui::vbButton(B::NoButton), host::vbCancel) << "a closed box answers Cancel";
}

// Guards against key codes the screen's handlers would misread ('.' is not Delete).
TEST(Keys, KeyDownCodesPressCharactersAndEating)
{
    EXPECT_EQ(ui::vbKeyCode(Qt::Key_F2), 113);
    EXPECT_EQ(ui::vbKeyCode(Qt::Key_F10), 121);
    EXPECT_EQ(ui::vbKeyCode(Qt::Key_Delete), 46);
    EXPECT_EQ(ui::vbKeyCode(Qt::Key_Period), 190);
    EXPECT_EQ(ui::vbKeyCode(Qt::Key_A), 65);
    EXPECT_EQ(ui::vbShift(Qt::AltModifier), 4);
    EXPECT_EQ(ui::vbShift(Qt::ShiftModifier | Qt::ControlModifier), 3);

    forms::Form form("f");
    auto& field = form.add<forms::TextField>("txt");
    std::vector<std::string> seen;
    int eatDown = -1, eatPress = -1;
    form.onKeyDown = [&](int key, int shift) { seen.push_back("form " + std::to_string(key) + "/" + std::to_string(shift)); };
    field.onKeyDown = [&](int& key, int) {
        seen.push_back("down " + std::to_string(key));
        if (key == eatDown)
            key = 0;
    };
    field.onKeyPress = [&](int& key) {
        seen.push_back("press " + std::to_string(key));
        if (key == eatPress)
            key = 0;
    };
    field.onKeyUp = [&](int key, int) { seen.push_back("up " + std::to_string(key)); };

    struct Case {
        const char* name;
        int code, ascii, eatDown, eatPress;
        bool through;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"plain character", 65, 'a', -1, -1, true, {"form 65/0", "down 65", "press 97", "up 65"}},
        {"eaten in key down", 46, 0, 46, -1, false, {"form 46/0", "down 46", "up 46"}},
        {"eaten in key press", 190, '.', -1, '.', false, {"form 190/0", "down 190", "press 46", "up 190"}},
        {"function key raises no press", 113, 0, -1, -1, true, {"form 113/0", "down 113", "up 113"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seen.clear();
        eatDown = c.eatDown;
        eatPress = c.eatPress;
        EXPECT_EQ(ui::deliverKey(&form, field, c.code, c.ascii, 0), c.through);
        EXPECT_EQ(seen, c.events);
    }
}

host::Lista clientes()
{
    return {"Clientes",
            {"CLAVE", "DESCRIPCION"},
            {{"C0001", "Ferretería El Martillo"}, {"C0002", "Materiales del Sur"}, {"C0003", "Martínez Hermanos"}}};
}

// Guards against a filter that hides the wanted row or a pick that answers the filtered position.
TEST(PickList, TypingFiltersAndEnterPicksTheSourceRow)
{
    ui::PickListDialog dialog(clientes());
    EXPECT_EQ(dialog.visibleRows(), 3);
    QTest::keyClicks(dialog.table(), "sur");
    EXPECT_EQ(dialog.filterEdit()->text(), "sur") << "typing in the list goes to the filter";
    EXPECT_EQ(dialog.visibleRows(), 1);
    QTest::keyClick(dialog.filterEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenRow(), 1);

    ui::PickListDialog other(clientes());
    QTest::keyClicks(other.filterEdit(), "MART");
    EXPECT_EQ(other.visibleRows(), 2) << "any column, any case";
    EXPECT_TRUE(other.selectKey("C0003"));
    EXPECT_EQ(other.chosenRow(), 2);
    QTest::keyClicks(other.filterEdit(), "zzz");
    EXPECT_EQ(other.chosenRow(), -1);
    QTest::keyClick(other.filterEdit(), Qt::Key_Return);
    EXPECT_NE(other.result(), QDialog::Accepted) << "nothing to pick, nothing picked";
}

// Guards against a look-up that picks a row because another column holds what was typed
// ("0006" must reach R0006, not R0004 of order P0006), and against headers without accents.
TEST(PickList, KeyColumnMatchesFirst)
{
    host::Lista notas{"Buscar remisión", {"CLAVE", "DESCRIPCION"}, {{"R0004", "P0006"}, {"R0006", "P0010"}}};
    ui::PickListDialog dialog(notas);
    EXPECT_EQ(dialog.table()->model()->headerData(1, Qt::Horizontal).toString(), "Descripción");
    QTest::keyClicks(dialog.filterEdit(), "0006");
    EXPECT_EQ(dialog.chosenRow(), 1);
    dialog.filterEdit()->clear();
    QTest::keyClicks(dialog.filterEdit(), "r000");
    EXPECT_EQ(dialog.visibleRows(), 2) << "a key's beginning, any case";
    EXPECT_EQ(dialog.chosenRow(), 0);
}

// Guards against a lot picker that traps the keyboard: Tab reaches the quantity, which starts
// from what the line holds, and a zero quantity is refused with a reason instead of closing.
TEST(LotPicker, KeyboardReachesPrefilledQuantityAndRefusesZero)
{
    host::Lista lotes{"Lotes de PIN001",
                      {"LOTE", "CADUCIDAD", "CANTIDAD_1", "CANTIDAD_2"},
                      {{"L-2601", "31-12-2027", "10", "190"}},
                      4,
                      76};
    auto dialog = ui::lotPicker(lotes, nullptr);
    dialog->show();
    auto* cantidad = dialog->findChild<QDoubleSpinBox*>("cantidad1");
    ASSERT_TRUE(cantidad);
    EXPECT_EQ(dialog->table()->model()->headerData(2, Qt::Horizontal).toString(), "Cantidad");
    // Where Tab goes from the list: the next tab stop outside it (the focus chain, since the
    // offscreen dialog need not be the active window).
    QWidget* next = dialog->table()->nextInFocusChain();
    while (next != dialog->table() && (!(next->focusPolicy() & Qt::TabFocus) || dialog->table()->isAncestorOf(next)))
        next = next->nextInFocusChain();
    EXPECT_EQ(next, cantidad) << "Tab leaves the list for the quantity";
    EXPECT_EQ(cantidad->value(), 4) << "the quantity starts from the line's";
    cantidad->setValue(0);
    QTest::keyClick(dialog->filterEdit(), Qt::Key_Return);
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(dialog->findChild<QLabel*>("motivo")->text().contains("mayor que cero"));
    cantidad->setValue(3);
    QTest::keyClick(dialog->filterEdit(), Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->chosenRow(), 0);
}

// Guards against documents printed as text dumps: the note, invoice, receipt and promissory
// note a save prints are composed from the saved rows and laid out with their title and folio,
// their table's headings on every page, their totals and "Página n de m", and a PDF holds
// every page.
TEST(PrintedPages, EveryDocumentASavePrintsIsLaidOutAsADocument)
{
    std::ostringstream transcript;
    app::ScriptRunner runner(transcript);
    // A cash customer's order (a payment receipt) and a credit customer's (a promissory note).
    std::istringstream script("date 2026-12-05\nopen\n"
                              "cmd Nuevo\ntype txt_Pd_Folio P0004\nenter txt_Pd_Folio\nenter txt_Sc_Cve_Sucursal\n"
                              "click chkFacturar\ntype txt_Fc_Factura A\ncmd Aceptar\n"
                              "expect sql SELECT Fc_Total FROM Factura WHERE Fc_Factura = 'A0002' => 2436\n"
                              "cmd Nuevo\ntype txt_Pd_Folio P0008\nenter txt_Pd_Folio\nenter txt_Sc_Cve_Sucursal\n"
                              "click chkFacturar\ntype txt_Fc_Factura A\ncmd Aceptar\n"
                              "expect sql SELECT Fc_Pagares FROM Factura WHERE Fc_Factura = 'A0003' => A0003-P1\n");
    ASSERT_EQ(runner.run(script), 0) << transcript.str();
    const std::vector<host::DocumentoImpreso>& printed = runner.printed();
    struct Case {
        const char* title;
        const char* heading; // of the table's last column
        const char* total;   // the last line of the totals, label and value
        const char* value;
    };
    const Case cases[] = {
        {"Remisión R0006", "Importe", "Total", "$2,436.00 MXN"},
        {"Factura A0002", "Importe", "Total", "$2,436.00 MXN"},
        {"Recibo de pago A0002-R1", "Importe", "Total recibido", "$2,436.00 MXN"},
        {"Remisión R0007", "Importe", "Total", nullptr},
        {"Factura A0003", "Importe", "Total", nullptr},
        {"Pagaré A0003-P1", "Importe", "Importe", nullptr},
    };
    ASSERT_EQ(printed.size(), std::size(cases)) << ui::documentsTitle(printed).toStdString();
    for (size_t i = 0; i < printed.size(); ++i) {
        SCOPED_TRACE(cases[i].title);
        const auto pages = ui::layoutPages({printed[i]});
        ASSERT_EQ(pages.size(), 1u);
        const QStringList lines = pages[0].lines();
        for (const char* wanted : {cases[i].title, cases[i].heading, cases[i].total, "Página 1 de 1"})
            EXPECT_TRUE(lines.contains(QString::fromUtf8(wanted))) << wanted << "\n" << lines.join('|').toStdString();
        if (cases[i].value) {
            EXPECT_EQ(printed[i].totales.back().valor, cases[i].value);
        }
    }
    EXPECT_NE(printed[5].leyenda.find("Debo y pagaré incondicionalmente"), std::string::npos);

    // A long note: the headings repeat on every page, the totals close the last one.
    host::DocumentoImpreso largo = printed[0];
    for (int i = 0; i < 300; ++i)
        largo.renglones.push_back({{"9999", "PIN001", "Pintura", "", "1", "CUB", "1.00", "1.00"},
                                   {i % 10 ? std::vector<std::string>{} : std::vector<std::string>{"Lote L-2602: 1"}}});
    const auto pages = ui::layoutPages({largo});
    ASSERT_GE(pages.size(), 5u);
    EXPECT_LE(pages.size(), 8u) << "rows are not spread one a page";
    const QString count = QString::number(pages.size());
    for (size_t p = 0; p < pages.size(); ++p) {
        const QStringList lines = pages[p].lines();
        EXPECT_TRUE(lines.contains("Descripción")) << "page " << p + 1;
        EXPECT_TRUE(lines.contains(QStringLiteral("Página %1 de %2").arg(p + 1).arg(count))) << "page " << p + 1;
        EXPECT_EQ(lines.contains("Subtotal"), p + 1 == pages.size()) << "page " << p + 1;
    }
    EXPECT_FALSE(ui::pageImage({largo}, static_cast<int>(pages.size()) - 1, 30).isNull());
    EXPECT_TRUE(ui::pageImage({largo}, static_cast<int>(pages.size()), 30).isNull()) << "no such page";

    QTemporaryDir dir;
    std::vector<host::DocumentoImpreso> all = printed;
    all.push_back(largo);
    const QString pdf = dir.filePath("impresos.pdf");
    QString error;
    ASSERT_TRUE(ui::writeDocumentsPdf(all, pdf, &error)) << error.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page\n"), static_cast<qsizetype>(printed.size() + pages.size()));
    EXPECT_FALSE(ui::writeDocumentsPdf(all, dir.filePath("no/such/folder/x.pdf")));
}

// Guards against exports that leak hidden columns or break on commas and quotes.
TEST(GridTools, CsvOfVisibleColumnsAndColumnChooser)
{
    forms::Form form("f");
    auto& grid = form.add<forms::Grid>(
        "g", std::vector<forms::ColumnDef>{{"Pr_Cve_Producto", "Clave"},
                                           {"Pr_Descripcion", "Descripción"},
                                           {"Documento_Id", "Documento_Id", forms::ColumnType::Text, false},
                                           {"Cantidad_1", "Cantidad, 1", forms::ColumnType::Number, true, false,
                                            forms::CellStyle::Text, "#,##0.000"}});
    grid.addRow();
    grid.col("Pr_Cve_Producto").setValue("TAL001");
    grid.col("Pr_Descripcion").setValue("Taladro 1/2\" 750 W");
    grid.col("Documento_Id").setValue("0004");
    grid.col("Cantidad_1").setValue(1500.0);
    EXPECT_EQ(ui::gridCsv(grid), "Clave,Descripción,\"Cantidad, 1\"\r\n"
                                 "TAL001,\"Taladro 1/2\"\" 750 W\",\"1,500.000\"\r\n");

    ui::ColumnChooser chooser(grid);
    ASSERT_EQ(chooser.list()->count(), 4);
    EXPECT_EQ(chooser.list()->item(2)->checkState(), Qt::Unchecked);
    chooser.list()->item(2)->setCheckState(Qt::Checked);
    chooser.list()->item(1)->setCheckState(Qt::Unchecked);
    chooser.apply();
    EXPECT_TRUE(grid.columnDef(2).visible);
    EXPECT_FALSE(grid.columnDef(1).visible);
}

} // namespace
