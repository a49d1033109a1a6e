#include "base/Error.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Grid.h"
#include "forms/TextField.h"

#include <gtest/gtest.h>

using namespace tesmira;
using namespace tesmira::forms;

namespace {

TEST(Form, ControlsByNameInAnyCase)
{
    Form form("frmVN003");
    auto& folio = form.add<TextField>("txtFolio");
    form.add<CheckBox>("chkCerrar");
    EXPECT_EQ(&form.get<TextField>("TXTFOLIO"), &folio);
    EXPECT_EQ(form.find("nada"), nullptr);
    EXPECT_THROW(form.control("nada"), Error);
    EXPECT_THROW(form.get<TextField>("chkCerrar"), Error) << "wrong kind";
    EXPECT_THROW(form.add<Label>("TxtFolio"), Error) << "names clash without regard to case";
    EXPECT_EQ(form.controls().size(), 2u);
}

// Enter-as-Tab must land on the next control the user can reach, never on a disabled,
// hidden, label or disabled-frame control.
TEST(Form, TabSkipsWhatCannotTakeTheFocus)
{
    Form form("frmVN003");
    auto& frame = form.add<Frame>("fr1");
    auto& a = form.add<TextField>("txtA");
    form.add<Label>("lbB");
    auto& c = form.add<TextField>("txtC");
    auto& d = form.add<TextField>("txtD");
    auto& e = form.add<CheckBox>("chkE");
    auto& f = form.add<TextField>("txtF");
    c.setEnabled(false);
    d.setVisible(false);
    f.setContainer(&frame);
    frame.setEnabled(false);

    form.sendTab();
    EXPECT_EQ(form.focused(), &a) << "nothing focused: the first reachable control";
    form.sendTab();
    EXPECT_EQ(form.focused(), &e);
    form.sendTab();
    EXPECT_EQ(form.focused(), &a) << "f sits in a disabled frame; the walk wraps";
    frame.setEnabled(true);
    EXPECT_TRUE(f.setFocus());
    EXPECT_TRUE(f.hasFocus());
    EXPECT_FALSE(c.setFocus()) << "a disabled field refuses the focus";
    EXPECT_EQ(form.focused(), &f);
}

TEST(Form, TabWithNothingFocusableKeepsTheFocus)
{
    Form form;
    auto& only = form.add<TextField>("txtOnly");
    ASSERT_TRUE(only.setFocus());
    form.sendTab();
    EXPECT_EQ(form.focused(), &only);
    only.setEnabled(false);
    form.sendTab();
    EXPECT_EQ(form.focused(), &only);
}

TEST(Form, TabInsideTheGridBeforeLeavingIt)
{
    Form form;
    auto& grid = form.add<Grid>("ssDetalle", std::vector<ColumnDef>{{"A", "A"}, {"B", "B"}});
    auto& next = form.add<TextField>("txtNext");
    grid.addRow();
    grid.setCurrentColumn(0);
    grid.setFocus();
    form.sendTab();
    EXPECT_EQ(form.focused(), &grid);
    EXPECT_EQ(grid.currentColumn(), 1);
    form.sendTab();
    EXPECT_EQ(form.focused(), &next);
}

TEST(Form, KeyPreviewThenTheFocusedControl)
{
    Form form;
    auto& t = form.add<TextField>("txt");
    std::string order;
    form.onKeyDown = [&](int key, int shift) { order += "form" + std::to_string(key) + "/" + std::to_string(shift) + " "; };
    t.onKeyDown = [&](int&, int) { order += "down "; };
    t.onKeyPress = [&](int&) { order += "press "; };
    form.userKey(49, 4);
    t.setFocus();
    form.userKey(13, 0);
    EXPECT_EQ(order, "form49/4 form13/0 down press ");
}

} // namespace
