// The controls tables as the front ends read them to make their windows.
#include <gtest/gtest.h>

#include <set>

#include "forms/layout.h"

using namespace tessmar;
using forms::Kind;

namespace {

TEST(Layout, EveryTableCanBeBuiltInOrder) {
    for (forms::WindowKind kind : forms::kAllWindows) {
        const forms::WindowLayout& layout = forms::layoutOf(kind);
        SCOPED_TRACE(std::string(layout.name));
        std::set<std::string_view> made;
        std::set<int> tabStops;
        for (const forms::Control& control : layout.controls) {
            EXPECT_TRUE(made.insert(control.name).second) << control.name << " twice";
            // A container is made before what it holds, and holds things only if it can.
            if (!control.parent.empty()) {
                EXPECT_TRUE(made.contains(control.parent))
                    << control.name << " before its container " << control.parent;
                const forms::Control* parent = forms::findControl(layout, control.parent);
                ASSERT_NE(parent, nullptr);
                EXPECT_TRUE(parent->kind == Kind::Frame || parent->kind == Kind::PictureBox)
                    << control.name << " inside " << control.parent;
            }
            if (control.tab >= 0) {
                EXPECT_TRUE(tabStops.insert(control.tab).second)
                    << control.name << " shares tab place " << control.tab;
            }
            EXPECT_EQ(control.kind == Kind::Grid, control.grid.has_value()) << control.name;
            // A combo box to type into offers its items from the table; a drop-down list gets its
            // items from the form.
            if (control.kind == Kind::ComboBox) {
                EXPECT_NE(control.items.empty(), !control.dropList) << control.name;
            }
            EXPECT_GT(control.place.width, 0) << control.name;
        }
        if (!layout.focus.empty()) {
            const forms::Control* focus = forms::findControl(layout, layout.focus);
            ASSERT_NE(focus, nullptr);
            EXPECT_GE(focus->tab, 0);
        }
        // Tab places run from 0 without gaps.
        int expected = 0;
        for (int tab : tabStops) EXPECT_EQ(tab, expected++);
    }
}

TEST(Layout, ControlIdsFollowTheTable) {
    const forms::WindowLayout& layout = forms::layoutOf(forms::WindowKind::Gate);
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
        EXPECT_EQ(forms::controlId(layout, layout.controls[i].name),
                  forms::kFirstControlId + static_cast<int>(i));
    EXPECT_EQ(forms::controlId(layout, "nothing"), 0);
    EXPECT_EQ(forms::findControl(layout, "nothing"), nullptr);
}

TEST(Layout, PixelsAndCentring) {
    EXPECT_EQ(forms::pixels(15), 1);
    EXPECT_EQ(forms::pixels(7), 0);
    EXPECT_EQ(forms::pixels(8), 1);
    EXPECT_EQ(forms::pixels(-8), -1);
    EXPECT_EQ(forms::pixels(1440, 120), 120);
    EXPECT_EQ(forms::centred(0, 0, 1024, 768, 593, 403), (forms::Point{215, 182}));
    EXPECT_EQ(forms::centred(100, 50, 800, 600, 200, 100), (forms::Point{400, 300}));
    // A window larger than the area keeps its corner on it.
    EXPECT_EQ(forms::centred(10, 20, 300, 200, 400, 300), (forms::Point{10, 20}));
}

}  // namespace
