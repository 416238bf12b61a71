#include "app/session/window_rules.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(WindowRulesTest, NavigationButtonsShowTheirPagesBothWays) {
    const PageId expected[] = {PageId::kKeys, PageId::kPerformance, PageId::kMacro,
                               PageId::kLighting};
    for (int navi = 0; navi < 4; ++navi) {
        EXPECT_EQ(PageOfNaviButton(navi), expected[navi]) << "navi" << navi + 1;
        EXPECT_EQ(NaviButtonOfPage(expected[navi]), navi);
    }
}

TEST(WindowRulesTest, RecordingMacroEditorKeepsThePage) {
    EXPECT_TRUE(MaySwitchPage(false));
    EXPECT_FALSE(MaySwitchPage(true));
}

struct NaviCase {
    const char* name;
    int width;
    bool showMacro;
    bool showLighting;
    int x[4];  // -1: hidden
};

TEST(WindowRulesTest, NavigationLayout) {
    const NaviCase cases[] = {
        {"default width has 4 px gaps", 0, true, true, {25, 89, 153, 217}},
        {"NaviW 80 sits without gaps", 80, true, true, {25, 105, 185, 265}},
        {"no macro editor: navi4 moves into navi3's place", 0, false, true, {25, 89, -1, 153}},
        {"no lighting hides navi4", 60, true, false, {25, 89, 153, -1}},
    };
    for (const NaviCase& c : cases) {
        const auto rects = LayoutNaviButtons(25, 110, c.width, c.showMacro, c.showLighting);
        for (int i = 0; i < 4; ++i) {
            const NaviRect& r = rects[static_cast<std::size_t>(i)];
            EXPECT_EQ(r.shown, c.x[i] >= 0) << c.name << " navi" << i + 1;
            if (c.x[i] >= 0) {
                EXPECT_EQ(r.x, c.x[i]) << c.name << " navi" << i + 1;
            }
            EXPECT_EQ(r.y, 110);
            EXPECT_EQ(r.height, 49);
            EXPECT_EQ(r.width, c.width < 1 ? 60 : c.width);
        }
    }
}

struct CloseCase {
    int exitType;
    int trayIcon;
    bool trayAvailable;
    WindowAction exitButton;
    WindowAction minimizeButton;
};

TEST(WindowRulesTest, ExitAndMinimiseButtons) {
    using A = WindowAction;
    const CloseCase cases[] = {
        {0, 1, true, A::kExit, A::kHideToTray},
        {0, 3, true, A::kExit, A::kHideToTray},
        // TrayIcon 2 with ExitType 0: minimise only logs, the window stays.
        {0, 2, true, A::kExit, A::kNothing},
        {1, 1, true, A::kHideToTray, A::kMinimize},
        {1, 0, true, A::kNothing, A::kMinimize},
        // No notification area: hiding would lose the window, so it is minimised instead.
        {0, 1, false, A::kExit, A::kMinimize},
        {1, 3, false, A::kMinimize, A::kMinimize},
    };
    for (const CloseCase& c : cases) {
        const WindowCloseSettings settings{c.exitType, c.trayIcon, c.trayAvailable};
        EXPECT_EQ(ExitButtonAction(settings), c.exitButton)
            << "ExitType " << c.exitType << " TrayIcon " << c.trayIcon << " tray "
            << c.trayAvailable;
        EXPECT_EQ(MinimizeButtonAction(settings), c.minimizeButton)
            << "ExitType " << c.exitType << " TrayIcon " << c.trayIcon << " tray "
            << c.trayAvailable;
    }
}

TEST(WindowRulesTest, StartWithArgumentsWaitsInTheTrayWhenThereIsOne) {
    // TrayIcon 2 is forced to 1, so the hidden window can be brought back.
    EXPECT_EQ(EffectiveTrayIcon(2, true), 1);
    EXPECT_EQ(EffectiveTrayIcon(2, false), 2);
    EXPECT_TRUE(HasTrayIcon(EffectiveTrayIcon(0, true)));
    EXPECT_TRUE(StartsHidden(true, true));
    EXPECT_FALSE(StartsHidden(true, false));
    EXPECT_FALSE(StartsHidden(false, true));
}

}  // namespace
}  // namespace vantor
