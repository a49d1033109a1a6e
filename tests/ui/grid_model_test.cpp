// The grid adapter: a large grid read on demand, change signals only for real changes, and
// every edit going through the grid's user events.
#include "forms/Form.h"
#include "forms/Grid.h"
#include "ui/GridModel.h"
#include "ui/GridView.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace tesmira;
using forms::CellStyle;
using forms::ColumnType;

std::vector<forms::ColumnDef> columns()
{
    return {
        {"Pr_Cve_Producto", "Clave", ColumnType::Text, true, true},
        {"Cantidad_1", "Cantidad-1", ColumnType::Number, true, false, CellStyle::Text, "#,##0.000######", 20},
        {"Descuento_Factor", "% Descuento", ColumnType::Number, true, true, CellStyle::Text, "#,##0.00#######%"},
        {"Precio_Lista", "Precio", ColumnType::Number, true, true, CellStyle::Text, "$#,##0.0000#####"},
        {"Documento_Id", "Documento_Id", ColumnType::Text, false, false},
        {"Cubicado", "Cubicado", ColumnType::Boolean, true, false, CellStyle::CheckBox},
        {"Lt_Cve_Lote", "Lote", ColumnType::Text, true, true, CellStyle::Button},
    };
}

enum Col { Clave, Cantidad, Descuento, Precio, DocumentoId, Cubicado, Lote };

class GridModelTest : public ::testing::Test {
protected:
    forms::Form form{"frm"};
    forms::Grid& grid = form.add<forms::Grid>("ssDetalle", columns());

    void fill(int rows)
    {
        for (int r = 0; r < rows; ++r) {
            grid.addRow();
            grid.col("Pr_Cve_Producto").setValue("P" + std::to_string(r));
            grid.col("Cantidad_1").setValue(1234.5);
            grid.col("Descuento_Factor").setValue(0.15);
            grid.col("Precio_Lista").setValue(12.5);
            grid.col("Documento_Id").setValue(std::to_string(r + 1));
        }
        grid.moveFirst();
    }
};

// Guards against a model that copies, drops or misformats rows of a large grid.
TEST_F(GridModelTest, FiveThousandRowsReadAsTheGridShowsThem)
{
    fill(5000);
    ui::GridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 5000);
    ASSERT_EQ(model.columnCount(), 7);
    const QModelIndex last = model.index(4999, Cantidad);
    EXPECT_EQ(model.data(last).toString(), "1,234.500") << "number format of the column";
    EXPECT_EQ(model.data(model.index(4999, Descuento)).toString(), "15.00%");
    EXPECT_EQ(model.data(model.index(4999, Precio)).toString(), "$12.5000");
    EXPECT_EQ(model.data(last, Qt::EditRole).toString(), "1234.5") << "numbers are edited unformatted";
    EXPECT_EQ(model.data(model.index(4999, Clave)).toString(), "P4999");
    EXPECT_FALSE(model.data(model.index(5000, Clave)).isValid()) << "out of range answers nothing";
    EXPECT_EQ(model.headerData(Cantidad, Qt::Horizontal).toString(), "Cantidad-1");
}

// Guards against hidden columns showing, and against a column shown later staying hidden.
TEST_F(GridModelTest, HiddenColumnsFollowTheGrid)
{
    fill(3);
    ui::GridModel model(grid);
    ui::GridView view(model, nullptr);
    EXPECT_TRUE(view.isColumnHidden(DocumentoId));
    EXPECT_FALSE(view.isColumnHidden(Cantidad));
    grid.col("Documento_Id").setVisible(true);
    grid.col("Precio_Lista").setVisible(false);
    EXPECT_FALSE(view.isColumnHidden(DocumentoId));
    EXPECT_TRUE(view.isColumnHidden(Precio));
}

// Guards against repaint storms (a signal for every write) and against missed repaints.
TEST_F(GridModelTest, SignalsOnlyRealChangesAndBracketsStructure)
{
    fill(10);
    ui::GridModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    grid.setRow(3);
    grid.col("Cantidad_1").setValue(1234.5);
    EXPECT_EQ(changed.count(), 0) << "same value written again";
    grid.col("Cantidad_1").setValue(2.0);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex(), model.index(3, Cantidad));
    EXPECT_EQ(model.data(model.index(3, Cantidad)).toString(), "2.000");

    grid.addRow();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 10);
    grid.removeRow(0);
    EXPECT_EQ(model.rowCount(), 10);
    grid.removeAll();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 0);
}

// Guards against edits that bypass the screen's events or ignore their answers.
TEST_F(GridModelTest, EditsGoThroughTheGridsUserEvents)
{
    fill(3);
    ui::GridModel model(grid);
    int changes = 0;
    int beforeChanges = 0;
    bool cancel = false;
    grid.onChange = [&] { ++changes; };
    grid.onBeforeColChange = [&](int& c) {
        ++beforeChanges;
        c = cancel ? 1 : 0;
    };

    struct Case {
        const char* name;
        int row, column, role;
        QVariant value;
        bool cancel, accepted;
        const char* cellAfter;
    };
    const Case cases[] = {
        {"typed quantity", 2, Cantidad, Qt::EditRole, "7", false, true, "7.000"},
        {"text that is no number", 1, Cantidad, Qt::EditRole, "abc", false, false, "1,234.500"},
        {"handler keeps the cell", 0, Cantidad, Qt::EditRole, "9", true, false, "1,234.500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cancel = c.cancel;
        const int changesBefore = changes;
        grid.setCurrentColumn(DocumentoId);
        grid.setRow(1);
        EXPECT_EQ(model.setData(model.index(c.row, c.column), c.value, c.role), c.accepted);
        EXPECT_EQ(model.data(model.index(c.row, c.column)).toString().toStdString(), c.cellAfter);
        EXPECT_EQ(changes - changesBefore, c.accepted ? 1 : 0) << "change event";
        if (c.cancel) {
            EXPECT_EQ(grid.currentColumn(), DocumentoId) << "a cancelled move leaves the cell current";
        }
    }
    EXPECT_FALSE(model.flags(model.index(0, Precio)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, Cubicado)) & Qt::ItemIsUserCheckable);

    cancel = false;
    EXPECT_TRUE(model.setData(model.index(1, Cubicado), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(grid.cell(1, Cubicado).toBool());
    EXPECT_EQ(model.data(model.index(1, Cubicado), Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);

    // Moving to another row and column leaves one cell: one before-column-change.
    grid.setRow(0);
    grid.setCurrentColumn(Clave);
    beforeChanges = 0;
    EXPECT_TRUE(model.userMoveTo(2, Cantidad));
    EXPECT_EQ(beforeChanges, 1);
    EXPECT_EQ(grid.row(), 2);
}

// Guards against a cell button raising the event for another row.
TEST_F(GridModelTest, CellButtonRaisesItsEventOnItsRow)
{
    fill(4);
    ui::GridModel model(grid);
    int clickedRow = -1;
    grid.onButtonClick = [&] { clickedRow = grid.row(); };
    EXPECT_TRUE(model.userButton(3, Lote));
    EXPECT_EQ(clickedRow, 3);
    EXPECT_FALSE(model.userButton(1, Cantidad)) << "a column without a button refuses";
}

// Guards against keys typed into the grid skipping the screen's key events (which may eat them).
TEST_F(GridModelTest, TypedKeysReachTheGridAndMayBeEaten)
{
    fill(2);
    ui::GridModel model(grid);
    ui::GridView view(model, nullptr);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    std::vector<int> downs, presses;
    bool eatDigits = false;
    grid.onKeyDown = [&](int& key, int) { downs.push_back(key); };
    grid.onKeyPress = [&](int& key) {
        presses.push_back(key);
        if (eatDigits && key >= '0' && key <= '9')
            key = 0;
    };

    grid.setRow(0);
    grid.setCurrentColumn(Cantidad);
    QCoreApplication::processEvents();
    view.setFocus();
    // The first key opens the cell's editor; the rest go where the focus is, as a keyboard's do.
    for (char c : std::string("7.5"))
        QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(grid.cellText(0, Cantidad), "7.500") << "typed, confirmed with Enter";
    EXPECT_EQ(presses, (std::vector<int>{'7', '.', '5', 13}));
    EXPECT_EQ(downs, (std::vector<int>{'7', 190, '5', 13})) << "key down gets VB key codes";

    eatDigits = true;
    grid.setRow(1);
    grid.setCurrentColumn(Cantidad);
    QCoreApplication::processEvents();
    view.setFocus();
    QTest::keyClicks(&view, "9");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(grid.cellText(1, Cantidad), "1,234.500") << "a key the handler ate types nothing";
}

} // namespace
