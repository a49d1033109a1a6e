#include "base/Error.h"
#include "forms/Controls.h"
#include "forms/SeriesField.h"
#include "forms/TextField.h"

#include <gtest/gtest.h>

using namespace tesmira;
using namespace tesmira::forms;

namespace {

// The loaders rely on change firing for code writes, and a repeated write must not
// re-run the customer or currency handlers.
TEST(TextField, ChangeFiresOnlyOnARealChange)
{
    TextField f("txtCliente");
    int changes = 0;
    f.onChange = [&] { ++changes; };
    f.setText("C001");
    f.setText("C001");
    f.userType("C001");
    EXPECT_EQ(changes, 1) << "same text again is no change";
    f.userType("C002");
    f.setText("");
    EXPECT_EQ(changes, 3);
}

// A loader's write must not confirm the field and start another load.
TEST(TextField, EnterAndLeaveOnlyFromTheUser)
{
    TextField f("txt_Pd_Folio");
    int enters = 0, leaves = 0;
    f.onEnter = [&] { ++enters; };
    f.onLeave = [&] { ++leaves; };
    f.setText("P1");
    EXPECT_EQ(enters + leaves, 0) << "code writes raise neither";
    f.userEnter();
    f.userLeave();
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 1);
}

// Typing is cut to the length in characters (not bytes), then masked (the mask's own cases
// are the code-mask table's).
TEST(TextField, UserTypingAppliesMaskAndLength)
{
    const struct {
        const char* name;
        const char* mask;
        int maxLength;
        const char* typed;
        const char* expected;
    } cases[] = {
        {"length cuts", "", 3, "ABCDE", "ABC"},
        {"length counts characters", "", 2, "ñáé", "ñá"},
        {"cut then padded", "0000", 3, "12345", "0123"},
    };
    for (const auto& c : cases) {
        TextField f("txt");
        f.setCodeFormat(c.mask);
        f.setMaxLength(c.maxLength);
        f.userType(c.typed);
        EXPECT_EQ(f.text(), c.expected) << c.name;
    }
}

// Code writes stay as written; the confirm handler sees the masked code.
TEST(TextField, CodeWritesAreNotMaskedButConfirmIs)
{
    TextField f("txtCliente");
    f.setCodeFormat("0000");
    f.setText("7");
    EXPECT_EQ(f.text(), "7");
    std::string seenOnEnter;
    f.onEnter = [&] { seenOnEnter = f.text(); };
    f.userEnter();
    EXPECT_EQ(seenOnEnter, "0007") << "the handler sees the formatted code";
}

// A locked or disabled field refuses typing and keeps its text.
TEST(TextField, UserCannotTypeIntoUnavailableField)
{
    TextField f("txt_Sc_Cve_Sucursal");
    f.setText("01");
    f.setLocked(true);
    EXPECT_THROW(f.userType("02"), Error);
    f.setLocked(false);
    f.setEnabled(false);
    EXPECT_THROW(f.userType("02"), Error);
    EXPECT_EQ(f.text(), "01") << "a refused typing changes nothing";
}

// Numbers read back from their formatted text; an impossible date throws when read.
TEST(TextField, TypedValues)
{
    TextField rate("txt_Rm_Tipo_Cambio");
    rate.setKind(TextField::Kind::Number);
    rate.setNumberFormat("#,##0.0000");
    rate.setValue(Value(17.5));
    EXPECT_EQ(rate.text(), "17.5000");
    EXPECT_DOUBLE_EQ(rate.value().toDouble(), 17.5);
    rate.setText("1,234.5");
    EXPECT_DOUBLE_EQ(rate.value().toDouble(), 1234.5) << "formatted text reads back";
    rate.setText("");
    EXPECT_TRUE(rate.value().isNull());

    TextField date("txtFecha");
    date.setKind(TextField::Kind::Date);
    date.setValue(Value(Date{2024, 1, 31}));
    EXPECT_EQ(date.text(), "31-01-2024");
    EXPECT_EQ(date.value().toDate(), (Date{2024, 1, 31}));
    date.setText("31-02-2024");
    EXPECT_THROW(date.value(), Error);
}

// A loaded chkFacturar must switch its frame on: setting the value by code clicks.
TEST(CheckBox, SettingTheValueClicksOnChange)
{
    CheckBox chk("chkFacturar");
    int clicks = 0;
    chk.onClick = [&] { ++clicks; };
    chk.setValue(CheckBox::Checked);
    chk.setValue(CheckBox::Checked);
    EXPECT_EQ(clicks, 1);
    chk.userClick();
    EXPECT_EQ(chk.value(), CheckBox::Unchecked);
    EXPECT_EQ(clicks, 2);
    EXPECT_THROW(chk.setValue(5), Error);
    EXPECT_EQ(chk.value(), CheckBox::Unchecked);
    chk.setEnabled(false);
    EXPECT_THROW(chk.userClick(), Error);
}

// The rate refresh hangs on this change: it fires once per new date; a bad text changes nothing.
TEST(DatePicker, ChangeFiresOnlyOnANewDate)
{
    DatePicker dp("dpFecha");
    int changes = 0;
    dp.onChange = [&] { ++changes; };
    dp.setValue(Date{2024, 5, 1});
    dp.setValue(Date{2024, 5, 1});
    dp.userSetText("02-05-2024");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(dp.shownText(), "02-05-2024");
    EXPECT_THROW(dp.userSetText("30-02-2024"), Error);
    EXPECT_EQ(dp.value(), (Date{2024, 5, 2}));
}

// A click reports the tab left (that code raises none is the binder's case).
TEST(TabStrip, OnlyTheUserClicks)
{
    TabStrip tabs("ssTabKiv");
    tabs.setTabs({"Encabezado", "Detalle", "Totales"});
    std::vector<int> previous;
    tabs.onClick = [&](int p) { previous.push_back(p); };
    tabs.setTab(2);
    tabs.userClick(1);
    tabs.userClick(1);
    EXPECT_EQ(previous, std::vector<int>{2}) << "one click, reporting the tab left";
    EXPECT_THROW(tabs.setTab(3), Error);
    EXPECT_THROW(tabs.userClick(-1), Error);
    EXPECT_EQ(tabs.tab(), 1);
}

// Without the host's check a series is never valid; a passing check clears the old error.
TEST(SeriesField, ValidaAsksTheHost)
{
    SeriesField s("txt_Fc_Factura");
    EXPECT_FALSE(s.Valida()) << "without a hook the series cannot be trusted";
    EXPECT_FALSE(s.lastError().empty());
    s.validationHook = [](SeriesField& f, std::string& error) {
        if (f.seriesCode() == "A")
            return true;
        error = "Serie sin folios";
        return false;
    };
    s.setSeriesCode("B");
    EXPECT_FALSE(s.Valida());
    EXPECT_EQ(s.lastError(), "Serie sin folios");
    s.setSeriesCode("A");
    EXPECT_TRUE(s.Valida());
    EXPECT_EQ(s.lastError(), "") << "a passing check clears the old error";
}

// The views repaint on real changes only, and not after they detach.
TEST(Control, ObserversSeeEveryRealChangeUntilRemoved)
{
    TextField f("txt");
    int repaints = 0;
    int id = f.addObserver([&] { ++repaints; });
    f.setText("a");
    f.setEnabled(false);
    f.setEnabled(false);
    f.setTag("0");
    EXPECT_EQ(repaints, 3);
    f.removeObserver(id);
    f.setText("b");
    EXPECT_EQ(repaints, 3);
}

// Delete in Cantidad_1 relies on key down clearing the key: no press follows, key up does.
TEST(Control, KeyDownCanEatTheKeyButKeyUpStillComes)
{
    TextField f("txt");
    std::vector<std::string> seen;
    f.onKeyDown = [&](int& key, int) {
        seen.push_back("down " + std::to_string(key));
        if (key == 46)
            key = 0;
    };
    f.onKeyPress = [&](int& key) { seen.push_back("press " + std::to_string(key)); };
    f.onKeyUp = [&](int key, int shift) { seen.push_back("up " + std::to_string(key) + "/" + std::to_string(shift)); };
    f.userKey(13, 0);
    f.userKey(46, 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 13", "press 13", "up 13/0", "down 46", "up 46/1"}));
}

} // namespace
