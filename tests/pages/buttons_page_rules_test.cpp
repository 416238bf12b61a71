// The button page's rules: the function menu a model gets, where the menu opens, where the
// buttons and their numbers lie, and the debounce steps with their question.
#include "ui/pages/buttons/logic/buttons_page_rules.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "keys/key_functions.h"
#include "profile/sensor_tables.h"

namespace vantor {
namespace {

constexpr std::uint32_t kDpiHeader = 0x08000000;
constexpr std::uint32_t kMediaHeader = 0x04000000;
constexpr std::uint32_t kLockHeader = KF_DPI_LOCK;
constexpr std::uint32_t kTestSensor = 0x3395;

std::vector<std::uint32_t> ChildrenOf(const std::vector<MenuItem>& items, std::uint32_t parent) {
    std::vector<std::uint32_t> values;
    for (const MenuItem& item : items) {
        if (item.dwParent == parent) values.push_back(item.dwValue);
    }
    return values;
}

std::uint32_t Lock(int step) {
    return KF_DPI_LOCK + (static_cast<std::uint32_t>(step) << 8);
}

// A sensor whose steps are only 400, 800 and 1600: the lock values are its step indexes.
class KeyPageMenuTest : public ::testing::Test {
  protected:
    KeyPageMenuTest() {
        TheSensorTables().Build({});
        SensorSteps* steps = TheSensorTables().Find(kTestSensor);
        EXPECT_NE(steps, nullptr);
        if (steps == nullptr) return;
        steps->count = 3;
        steps->dpi[0] = 400;
        steps->dpi[1] = 800;
        steps->dpi[2] = 1600;
    }
    ~KeyPageMenuTest() override { TheSensorTables().Build({}); }
};

TEST_F(KeyPageMenuTest, ItemsFollowTheModelInTheirOrder) {
    const std::vector<std::uint32_t> always = {KF_LEFT_CLICK, KF_RIGHT_CLICK, KF_MIDDLE_CLICK,
                                               KF_FORWARD, KF_BACK};
    struct Case {
        const char* name;
        FunctionMenuSettings settings;
        std::vector<std::uint32_t> topLevel;  // after the five mouse buttons
        std::vector<std::uint32_t> dpiItems;
    };
    FunctionMenuSettings everything;
    everything.ledToggle = everything.reportRate = everything.profileSwitch = true;
    everything.fireKey = everything.ledSwitch = everything.macros = true;
    everything.exKeys = {4, 5, 6};
    everything.dpiMenuMask = 7;
    FunctionMenuSettings gap;  // ExKey1 0 ends the list: ExKey2 is not offered
    gap.exKeys = {0, 5, 0};
    FunctionMenuSettings twoExtra;
    twoExtra.exKeys = {7, 9, 0};
    twoExtra.dpiMenuMask = 2;
    const Case cases[] = {
        {"nothing optional", {}, {KF_KEY_COMBO, KF_DISABLE, kMediaHeader, kLockHeader}, {}},
        {"everything",
         everything,
         {KF_LED_TOGGLE, KF_REPORT_RATE, KF_PROFILE_SWITCH, KF_FIRE, KF_KEY_COMBO, KF_LED_SWITCH,
          KF_DISABLE, KF_EXKEY, KF_EXKEY + 1, KF_EXKEY + 2, KF_MACRO, kDpiHeader, kMediaHeader,
          kLockHeader},
         {KF_DPI_UP, KF_DPI_DOWN, KF_DPI_CYCLE}},
        {"extra keys up to the first 0",
         gap,
         {KF_KEY_COMBO, KF_DISABLE, kMediaHeader, kLockHeader},
         {}},
        {"two extra keys, DPI down only",
         twoExtra,
         {KF_KEY_COMBO, KF_DISABLE, KF_EXKEY, KF_EXKEY + 1, kDpiHeader, kMediaHeader, kLockHeader},
         {KF_DPI_DOWN}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        c.settings.sensor = kTestSensor;
        const std::vector<MenuItem> items = FunctionMenuItems(c.settings);
        std::vector<std::uint32_t> want = always;
        want.insert(want.end(), c.topLevel.begin(), c.topLevel.end());
        EXPECT_EQ(ChildrenOf(items, kMenuTopLevel), want);
        EXPECT_EQ(ChildrenOf(items, kDpiHeader), c.dpiItems);
        // Only 100 ... 1100 are offered as lock values: 400 and 800, not 1600.
        EXPECT_EQ(ChildrenOf(items, kLockHeader), (std::vector<std::uint32_t>{Lock(0), Lock(1)}));
        EXPECT_GE(ChildrenOf(items, kMediaHeader).size(), 17u);
    }
}

TEST_F(KeyPageMenuTest, LockItemsNameTheirValueAndUseTheSensorsStepIndex) {
    SensorSteps* steps = TheSensorTables().Find(kTestSensor);
    ASSERT_NE(steps, nullptr);
    steps->count = 4;  // 100, 400, 800, 1600: 400 is step 1 now
    steps->dpi = {};
    steps->dpi[0] = 100;
    steps->dpi[1] = 400;
    steps->dpi[2] = 800;
    steps->dpi[3] = 1600;
    FunctionMenuSettings settings;
    settings.sensor = kTestSensor;
    std::map<std::uint32_t, std::string> locks;
    for (const MenuItem& item : FunctionMenuItems(settings)) {
        if (item.dwParent == kLockHeader) locks[item.dwValue] = item.szText;
    }
    const std::map<std::uint32_t, std::string> want = {
        {Lock(0), "100"}, {Lock(1), "400"}, {Lock(2), "800"}};
    EXPECT_EQ(locks, want);
    settings.sensor = 0;  // no step list: no lock values, the header stays
    EXPECT_TRUE(ChildrenOf(FunctionMenuItems(settings), kLockHeader).empty());
}

TEST(KeyPageRulesTest, TheLightSwitchItemComesFromTheShownButtonsDefaults) {
    KeySet defaults{};
    defaults[7].dwFunID = KF_LED_SWITCH;
    EXPECT_FALSE(DefaultsHold(defaults, 7, KF_LED_SWITCH));  // button 8 is not on this model
    EXPECT_TRUE(DefaultsHold(defaults, 8, KF_LED_SWITCH));
    EXPECT_TRUE(DefaultsHold(defaults, 99, KF_LED_SWITCH));  // a count beyond 16 is cut
}

TEST(KeyPageRulesTest, TheMenuOpensBelowTheButtonOrAboveItNearTheScreensBottom) {
    struct Case {
        const char* name;
        Rect button;
        int menuW;
        int menuItems;
        Point topLeft;
        int width;
    } cases[] = {
        {"below", {100, 500, 322, 519}, 0, 10, {100, 519}, 218},
        {"just fits below", {100, 880, 322, 900}, 0, 9, {100, 900}, 218},
        {"upwards by MenuItems x 20", {100, 900, 322, 919}, 0, 10, {100, 700}, 218},
        {"widened on both sides", {100, 500, 322, 519}, 300, 10, {61, 519}, 296},
        {"MenuW narrower than the button", {100, 500, 322, 519}, 100, 10, {100, 519}, 218},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MenuPlacement place = PlaceFunctionMenu(c.button, c.menuW, c.menuItems, 1080);
        EXPECT_EQ(place.topLeft, c.topLeft);
        EXPECT_EQ(place.width, c.width);
    }
}

TEST(KeyPageRulesTest, ButtonsAndTheirNumbersDoubleIn4KExceptTheGap) {
    struct Case {
        int index;
        bool fourK;
        Rect button;
        Rect number;
    } cases[] = {
        {0, false, {60, 80, 282, 99}, {34, 80, 52, 98}},
        {2, false, {60, 138, 282, 157}, {34, 138, 52, 156}},
        {0, true, {120, 160, 564, 198}, {68, 160, 104, 196}},
        {1, true, {120, 208, 564, 246}, {68, 208, 104, 244}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << (c.fourK ? " 4K" : ""));
        const Rect button = KeyButtonRect({60, 80}, 10, c.index, c.fourK);
        EXPECT_EQ(button, c.button);
        EXPECT_EQ(KeyNumberRect(button, c.fourK), c.number);
    }
}

TEST(KeyPageRulesTest, DebounceStepsStayInItsRangeAndAskAtTheTipValue) {
    const DebounceLimits limits = DebounceLimitsOf(0x1E02);
    EXPECT_EQ(limits.minimum, 2);
    EXPECT_EQ(limits.maximum, 30);
    EXPECT_EQ(DebounceUp(29, limits), 30);
    EXPECT_EQ(DebounceUp(30, limits), std::nullopt);
    EXPECT_FALSE(DebounceDownFrom(2, limits, 0).has_value());
    struct Down {
        int value;
        int tip;
        int next;
        bool ask;
    } downs[] = {
        {3, 0, 2, false},    // the default 0 never asks
        {5, 4, 4, false},    // down to the tip value without a question
        {4, 4, 3, true},     // at the tip value: asks first
        {3, 4, 2, true},     // below it as well
        {4, 255, 3, false},  // 255 and above never ask
        {4, 0x01C800E6, 3, false},
    };
    for (const Down& d : downs) {
        SCOPED_TRACE(testing::Message() << d.value << " with tip " << d.tip);
        const std::optional<DebounceDown> next = DebounceDownFrom(d.value, limits, d.tip);
        ASSERT_TRUE(next.has_value());
        EXPECT_EQ(next->value, d.next);
        EXPECT_EQ(next->ask, d.ask);
    }
}

TEST(KeyPageRulesTest, ATipValueAbove255IsWhereTheTipIsShown) {
    EXPECT_EQ(DebounceTipPosition(0), std::nullopt);
    EXPECT_EQ(DebounceTipPosition(255), std::nullopt);
    EXPECT_EQ(DebounceTipPosition(-1), std::nullopt);
    EXPECT_EQ(DebounceTipPosition(256), (Point{256, 0}));
    EXPECT_EQ(DebounceTipPosition(0x01C800E6), (Point{230, 456}));
}

}  // namespace
}  // namespace vantor
