#include "base/Error.h"
#include "forms/Grid.h"

#include <gtest/gtest.h>

using namespace tesmira;
using namespace tesmira::forms;

namespace {

std::vector<ColumnDef> detailColumns()
{
    using T = ColumnType;
    return {
        {"Pr_Cve_Producto", "Clave", T::Text, true, false, CellStyle::Text, "", 10},
        {"Pr_Descripcion", "Descripción", T::Text, true, true, CellStyle::Button, "", 100},
        {"Cantidad_1", "Cantidad-1", T::Number, true, false, CellStyle::Text, "#,##0.000######", 20},
        {"Precio_Lista", "Precio", T::Number, true, true, CellStyle::Text, "$#,##0.0000#####", 0},
        {"Descuento_Factor", "% Descuento", T::Number, true, true, CellStyle::Text, "#,##0.00#######%", 0},
        {"Lt_Fecha_Caducidad", "Caducidad", T::Date, false, false, CellStyle::Text, "", 10},
        {"Cubicado", "Cubicado", T::Boolean, false, false, CellStyle::CheckBox, "", 0},
        {"Factor_M3", "Factor_M3", T::Number, false, false, CellStyle::Text, "", 0},
    };
}

struct Recorder : GridObserver {
    std::vector<std::string> log;
    void add(const char* what, int a, int b, char sep)
    {
        std::string entry = what;
        entry += std::to_string(a);
        entry += sep;
        entry += std::to_string(b);
        log.push_back(entry);
    }
    void rowsAboutToBeInserted(int f, int l) override { add("+? ", f, l, '-'); }
    void rowsInserted(int f, int l) override { add("+ ", f, l, '-'); }
    void rowsAboutToBeRemoved(int f, int l) override { add("-? ", f, l, '-'); }
    void rowsRemoved(int f, int l) override { add("- ", f, l, '-'); }
    void aboutToReset() override { log.push_back("reset?"); }
    void reset() override { log.push_back("reset"); }
    void cellChanged(int r, int c) override { add("cell ", r, c, ','); }
    void columnChanged(int c) override { add("column ", c, c, ' '); }
};

TEST(Grid, ColumnsAreFoundInAnyCase)
{
    Grid g("ssDetalle", detailColumns());
    for (const char* name : {"Pr_Cve_Producto", "PR_CVE_PRODUCTO", "pr_cve_producto", "Pr_CVE_Producto"})
        EXPECT_EQ(g.columnIndex(name), 0) << name;
    EXPECT_EQ(g.col("CANTIDAD_1").name(), "Cantidad_1") << "the column keeps its own spelling";
    EXPECT_THROW(g.col("Cantidad1"), Error);
    EXPECT_THROW(g.col(""), Error);
    EXPECT_EQ(g.findColumn("nada"), -1);
    EXPECT_THROW(g.setColumns({{"A", "a"}, {"a", "b"}}), Error) << "names differing only in case clash";
    EXPECT_EQ(g.columnCount(), 8) << "a refused column set leaves the old one";
}

TEST(Grid, CellsShowThroughTheColumnFormat)
{
    Grid g("ssDetalle", detailColumns());
    g.addRow();
    const struct {
        const char* column;
        Value value;
        const char* text;
    } cases[] = {
        {"Descuento_Factor", Value(0.15), "15.00%"},
        {"Cantidad_1", Value(), ""},
        {"Factor_M3", Value(0.25), "0.25"},
        {"Lt_Fecha_Caducidad", Value(Date{2025, 12, 1}), "01-12-2025"},
        {"Cubicado", Value(true), "-1"},
        {"Cubicado", Value(0), "0"},
        {"Pr_Cve_Producto", Value("P-01"), "P-01"},
        // Cells are stored compactly: what goes in comes back, at every size and kind.
        {"Pr_Cve_Producto", Value("ABCDEFGHIJKLMNO"), "ABCDEFGHIJKLMNO"},
        {"Pr_Descripcion", Value("ABCDEFGHIJKLMNOP"), "ABCDEFGHIJKLMNOP"},
        {"Pr_Descripcion", Value("Tornillo cabeza hexagonal ½\" acero inoxidable, caja con 100 piezas"), nullptr},
        {"Pr_Descripcion", Value(""), ""},
        {"Pr_Descripcion", Value(int64_t{-9007199254740993}), "-9007199254740993"},
        {"Lt_Fecha_Caducidad", Value(Date{2026, 3, 4, 23, 59, 58}), nullptr},
        {"Lt_Fecha_Caducidad", Value(Date{40000, 300, 1}), nullptr},
        {"Factor_M3", Value(-0.1), nullptr},
    };
    for (const auto& c : cases) {
        g.col(c.column).setValue(c.value);
        EXPECT_EQ(g.col(c.column).value(), c.value) << c.column << " " << c.value.toString();
        if (c.text) {
            EXPECT_EQ(g.col(c.column).text(), c.text) << c.column;
        }
    }
}

TEST(Grid, TextIsStoredTyped)
{
    Grid g("ssDetalle", detailColumns());
    g.addRow();
    g.col("Cantidad_1").setText("1,234.5");
    EXPECT_TRUE(g.col("Cantidad_1").value().isDouble());
    EXPECT_DOUBLE_EQ(g.col("Cantidad_1").value().toDouble(), 1234.5);
    g.col("Descuento_Factor").setText("15.00%");
    EXPECT_DOUBLE_EQ(g.col("Descuento_Factor").value().toDouble(), 0.15) << "shown text reads back";
    g.col("Lt_Fecha_Caducidad").setText("31-01-2026");
    EXPECT_EQ(g.col("Lt_Fecha_Caducidad").value().toDate(), (Date{2026, 1, 31}));
    g.col("Cantidad_1").setValue(Value("7.5"));
    EXPECT_TRUE(g.col("Cantidad_1").value().isDouble()) << "numeric text by code is stored as a number";

    EXPECT_THROW(g.col("Cantidad_1").setText("dos"), Error);
    EXPECT_THROW(g.col("Lt_Fecha_Caducidad").setText("31-02-2026"), Error);
    EXPECT_DOUBLE_EQ(g.col("Cantidad_1").value().toDouble(), 7.5) << "bad text leaves the cell";
    g.col("Cantidad_1").setText("");
    EXPECT_TRUE(g.col("Cantidad_1").value().isNull());
}

TEST(Grid, AccessGoesThroughTheCurrentRow)
{
    Grid g("ssDetalle", detailColumns());
    EXPECT_EQ(g.col("Pr_Cve_Producto").text(), "") << "no rows reads empty";
    EXPECT_THROW(g.col("Pr_Cve_Producto").setText("X"), Error) << "no rows cannot be written";
    for (const char* key : {"A", "B", "C"}) {
        g.addRow();
        g.col("Pr_Cve_Producto").setText(key);
    }
    std::string walked;
    g.moveFirst();
    for (int i = 0; i < g.rowCount(); ++i, g.moveNext())
        walked += g.col("Pr_Cve_Producto").text();
    EXPECT_EQ(walked, "ABC");
    EXPECT_EQ(g.row(), 2) << "moving past the end stays on the last row";
    g.setRow(1);
    EXPECT_EQ(g.col("pr_cve_producto").text(), "B");
    EXPECT_THROW(g.setRow(3), Error);
    g.removeAll();
    EXPECT_EQ(g.rowCount(), 0);
    EXPECT_EQ(g.row(), -1);
}

// A loader writing Pr_Cve_Producto must not empty its own row: code writes never change-fire.
TEST(Grid, OnlyTheUserFiresChange)
{
    Grid g("ssDetalle", detailColumns());
    int changes = 0;
    g.onChange = [&] { ++changes; };
    g.addRow();
    g.col("Pr_Cve_Producto").setText("P1");
    g.col("Cantidad_1").setValue(Value(3.0));
    EXPECT_EQ(changes, 0);
    g.setCurrentColumn(0);
    g.userTypeCell("P2");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(g.col("Pr_Cve_Producto").text(), "P2");
}

TEST(Grid, UserTypingIsChecked)
{
    Grid g("ssDetalle", detailColumns());
    int changes = 0;
    g.onChange = [&] { ++changes; };
    EXPECT_THROW(g.userTypeCell("x"), Error) << "no current cell";
    g.addRow();
    g.setCurrentColumn(g.columnIndex("Pr_Descripcion"));
    EXPECT_THROW(g.userTypeCell("x"), Error) << "locked column";
    g.setCurrentColumn(g.columnIndex("Cantidad_1"));
    EXPECT_THROW(g.userTypeCell("abc"), Error) << "not a number";
    EXPECT_EQ(changes, 0) << "refused typing raises nothing";
    g.setCurrentColumn(0);
    g.userTypeCell("ABCDEFGHIJKLMN");
    EXPECT_EQ(g.col("Pr_Cve_Producto").text(), "ABCDEFGHIJ") << "cut to the column's max length";
}

// Typing key by key: the key-press handler may swallow characters; when it swallows them
// all the cell is untouched and no change is raised.
TEST(Grid, KeysTheHandlerClearsNeverReachTheCell)
{
    Grid g("ssDetalle", detailColumns());
    int changes = 0;
    g.onChange = [&] { ++changes; };
    g.onKeyPress = [](int& key) {
        if (key == '9')
            key = 0;
    };
    g.addRow();
    g.setCurrentColumn(g.columnIndex("Cantidad_1"));
    g.col("Cantidad_1").setValue(Value(5.0));
    EXPECT_TRUE(g.userTypeKeys("192"));
    EXPECT_EQ(g.col("Cantidad_1").value().toDouble(), 12.0);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(g.userTypeKeys("99"));
    EXPECT_EQ(g.col("Cantidad_1").value().toDouble(), 12.0) << "every key cleared: cell untouched";
    EXPECT_EQ(changes, 1);
}

TEST(Grid, NewRowsOnlyWhenAllowed)
{
    Grid g("ssDetalle", detailColumns());
    EXPECT_THROW(g.userAddRow(), Error);
    g.allowAddNew = true;
    g.setCurrentColumn(0);
    g.userTypeCell("P9");
    EXPECT_EQ(g.rowCount(), 1) << "typing on the new-row line adds the row";
    EXPECT_EQ(g.col("Pr_Cve_Producto").text(), "P9");
}

TEST(Grid, BeforeColChangeCancelKeepsTheCell)
{
    Grid g("ssDetalle", detailColumns());
    g.addRow();
    g.addRow();
    g.setCurrentColumn(0);
    int cancelNext = 1, calls = 0;
    g.onBeforeColChange = [&](int& cancel) {
        ++calls;
        cancel = cancelNext;
    };
    EXPECT_FALSE(g.userSetColumn("Cantidad_1"));
    EXPECT_EQ(g.currentColumn(), 0);
    EXPECT_FALSE(g.userSetRow(0));
    EXPECT_EQ(g.row(), 1) << "leaving the cell by row is cancelled too";
    cancelNext = 0;
    EXPECT_TRUE(g.userSetColumn("Cantidad_1"));
    EXPECT_EQ(g.currentColumn(), 2);
    EXPECT_TRUE(g.userSetColumn(2));
    EXPECT_EQ(calls, 3) << "staying on the same cell is no move";
    g.setCurrentColumn(0);
    EXPECT_EQ(calls, 3) << "code moves raise nothing";
}

// The cell buttons are the grid adapter's test: it clicks them through the same user event.
TEST(Grid, DeleteAsksBeforeDeleteWithTheDisplayFlag)
{
    Grid g("ssDetalle", detailColumns());
    g.addRow();
    g.addRow();
    int flagSeen = -1;
    g.onBeforeDelete = [&](int& displayFlag) {
        flagSeen = displayFlag;
        displayFlag = 0;
    };
    g.userDeleteRow();
    EXPECT_EQ(flagSeen, 1);
    EXPECT_EQ(g.rowCount(), 1);
    EXPECT_EQ(g.row(), 0);
}

TEST(Grid, ModelObserverSeesStructureAndRealChanges)
{
    Grid g("ssDetalle", detailColumns());
    Recorder r;
    g.addModelObserver(&r);
    g.addRow();
    g.col("Cantidad_1").setValue(Value(2.0));
    g.col("Cantidad_1").setValue(Value(2.0));
    g.col("Cantidad_1").setLocked(true);
    g.removeRow(0);
    g.removeAll();
    g.removeModelObserver(&r);
    g.addRow();
    EXPECT_EQ(r.log, (std::vector<std::string>{"+? 0-0", "+ 0-0", "cell 0,2", "column 2 2", "-? 0-0", "- 0-0", "reset?", "reset"}));
}

TEST(Grid, TabWalksVisibleCellsThenRows)
{
    Grid g("ssDetalle", detailColumns());
    g.addRow();
    g.addRow();
    g.setRow(0);
    g.setCurrentColumn(g.columnIndex("Descuento_Factor"));
    ASSERT_TRUE(g.tabWithin());
    EXPECT_EQ(g.row(), 1) << "hidden columns after Descuento_Factor are skipped";
    EXPECT_EQ(g.currentColumn(), 0);
    g.setCurrentColumn(g.columnIndex("Descuento_Factor"));
    EXPECT_FALSE(g.tabWithin()) << "last visible cell of the last row: focus leaves the grid";
}

} // namespace
