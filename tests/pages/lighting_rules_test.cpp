#include "ui/pages/lighting/logic/lighting_rules.h"

#include <gtest/gtest.h>

#include "app/config/config.h"

namespace vantor {
namespace {

// The effect table of the shipped cfg.ini, which leaves every LedOpt key at its default.
LightingSetup DefaultSetup() {
    EXPECT_TRUE(DataInit(std::string(VANTOR_SOURCE_DATA_DIR) + "cfg.ini"));
    LightingSetup setup;
    setup.mainRules = MainEffectRules(Options().LedOpt);
    return setup;
}

RgbEffect Effect(std::uint32_t mode, std::uint32_t speed, std::uint32_t light,
                 std::uint32_t color = 0x0000FF) {
    RgbEffect e{};
    e.nMode = mode;
    e.nSpeed = speed;
    e.nLight = light;
    e.dwColor = color;
    return e;
}

TEST(LightingRulesTest, EffectTableDefaultsAndWhatChoosingAnEffectLoads) {
    const LightingSetup setup = DefaultSetup();
    struct Case {
        std::uint32_t effect;
        EffectRule rule;
    };
    const Case cases[] = {{1, {0, 6, true}},  {2, {6, 6, true}}, {3, {8, 10, false}},
                          {4, {6, 6, false}}, {5, {6, 6, true}}, {6, {6, 6, false}},
                          {0, {0, 0, false}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.effect);
        EXPECT_EQ(MainEffectRule(setup, c.effect), c.rule);
        RgbEffect chosen = Effect(9, 3, 3, 0x123456);
        ChooseMainEffect(setup, c.effect, chosen);
        EXPECT_EQ(chosen.nMode, c.effect);
        EXPECT_EQ(chosen.nSpeed, static_cast<std::uint32_t>(c.rule.speed));
        EXPECT_EQ(chosen.nLight, static_cast<std::uint32_t>(c.rule.light));
        EXPECT_EQ(chosen.dwColor, 0x123456u);  // the colour stays
    }
    EXPECT_EQ(MainEffectRule(setup, 7), EffectRule{});
    EXPECT_EQ(LogoEffectRule(1), (EffectRule{0, 1, true}));
    EXPECT_EQ(LogoEffectRule(2), (EffectRule{1, 1, true}));
    EXPECT_EQ(LogoEffectRule(3), (EffectRule{1, 1, false}));
    EXPECT_EQ(LogoEffectRule(0), EffectRule{});
}

TEST(LightingRulesTest, EffectBoxesFollowTheMaskAndTheFixedLogoList) {
    std::vector<std::uint32_t> effects;
    for (const EffectItem& item : MainEffectItems(0)) effects.push_back(item.effect);
    EXPECT_EQ(effects, (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 0}));
    effects.clear();
    for (const EffectItem& item : MainEffectItems(0x41)) effects.push_back(item.effect);
    EXPECT_EQ(effects, (std::vector<std::uint32_t>{2, 3, 4, 5, 6}));
    EXPECT_EQ(std::string(MainEffectItems(0)[6].textKey), "tc_led_mode7");
    EXPECT_TRUE(MainEffectItems(0x7F).empty());
    const std::vector<EffectItem> logo = {
        {1, "tc_led_mode1"}, {2, "tc_led_mode2"}, {3, "tc_led_mode4"}, {0, "tc_led_mode7"}};
    ASSERT_EQ(LogoEffectItems().size(), logo.size());
    for (std::size_t i = 0; i < logo.size(); ++i) {
        EXPECT_EQ(LogoEffectItems()[i].effect, logo[i].effect);
        EXPECT_EQ(std::string(LogoEffectItems()[i].textKey), logo[i].textKey);
    }
}

TEST(LightingRulesTest, RangesComeFromLightParamWithinTheStepTables) {
    EXPECT_EQ(LightRange(LightZone::kMain, 0x0A01).minimum, 1);
    EXPECT_EQ(LightRange(LightZone::kMain, 0x0A01).maximum, 10);
    EXPECT_EQ(LightRange(LightZone::kMain, 0x0803).minimum, 3);
    EXPECT_EQ(LightRange(LightZone::kMain, 0x0803).maximum, 8);
    // Nonsense stays inside 1..10 and never gives a maximum below the minimum.
    EXPECT_EQ(LightRange(LightZone::kMain, 0x0000).minimum, 1);
    EXPECT_EQ(LightRange(LightZone::kMain, 0x02FF).minimum, 10);
    EXPECT_EQ(LightRange(LightZone::kMain, 0x02FF).maximum, 10);
    EXPECT_EQ(LightRange(LightZone::kLogo, 0x0803).maximum, 10);
    EXPECT_EQ(SpeedRange(LightZone::kMain).maximum, 10);
    EXPECT_EQ(SpeedRange(LightZone::kLogo).maximum, 5);
}

TEST(LightingRulesTest, ARecordTheModelCannotShowShowsTheDefaultEffect) {
    LightingSetup setup = DefaultSetup();
    setup.defaultMainEffect = 3;
    struct Case {
        const char* what;
        LightZone zone;
        int mask;
        RgbEffect record;
        ShownLighting shown;
    };
    const Case cases[] = {
        {"valid main", LightZone::kMain, 0, Effect(2, 4, 9), {2, 4, 9, 0x0000FF, true}},
        {"no speed: any speed", LightZone::kMain, 0, Effect(1, 0, 7), {1, 0, 7, 0x0000FF, true}},
        {"off", LightZone::kMain, 0, Effect(0, 0, 0), {0, 0, 0, 0x0000FF, true}},
        {"unknown effect", LightZone::kMain, 0, Effect(9, 4, 4), {3, 8, 10, 0x0000FF, false}},
        {"masked effect", LightZone::kMain, 0x02, Effect(2, 4, 4), {3, 8, 10, 0x0000FF, false}},
        {"default masked too", LightZone::kMain, 0x06, Effect(2, 4, 4), {1, 0, 6, 0x0000FF, false}},
        {"speed 11", LightZone::kMain, 0, Effect(2, 11, 4), {3, 8, 10, 0x0000FF, false}},
        {"brightness 0", LightZone::kMain, 0, Effect(5, 4, 0), {3, 8, 10, 0x0000FF, false}},
        {"huge step", LightZone::kMain, 0, Effect(5, 0xFFFFFFFF, 4), {3, 8, 10, 0x0000FF, false}},
        {"colour high byte",
         LightZone::kMain,
         0,
         Effect(1, 1, 1, 0xFF00FF00),
         {1, 1, 1, 0x00FF00, true}},
        {"valid logo", LightZone::kLogo, 0, Effect(2, 5, 10), {2, 5, 10, 0x0000FF, true}},
        {"logo speed 6", LightZone::kLogo, 0, Effect(2, 6, 3), {3, 5, 3, 0x0000FF, false}},
        {"logo effect 4", LightZone::kLogo, 0, Effect(4, 0, 0), {3, 1, 1, 0x0000FF, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setup.ledMask = c.mask;
        EXPECT_EQ(ShowZone(setup, c.zone, c.record), c.shown);
    }
    // What is stored is what is shown.
    RgbEffect stored{};
    StoreZone({4, 2, 7, 0xABCDEF, true}, stored);
    EXPECT_EQ(stored.nMode, 4u);
    EXPECT_EQ(stored.nSpeed, 2u);
    EXPECT_EQ(stored.nLight, 7u);
    EXPECT_EQ(stored.dwColor, 0xABCDEFu);
}

TEST(LightingRulesTest, SleepItemsInSecondsBelowAMinuteAndEndAtTheFirstZero) {
    const std::uint32_t values[] = {10, 30, 90, 600, 0, 1200};
    const std::vector<SleepItem> items = SleepItems(values, 6, "s", "min");
    EXPECT_EQ(items,
              (std::vector<SleepItem>{{10, "10 s"}, {30, "30 s"}, {90, "1 min"}, {600, "10 min"}}));
    const std::uint32_t many[14] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140};
    EXPECT_EQ(SleepItems(many, 14, "s", "min").size(), 12u);
    EXPECT_TRUE(SleepItems(many, -1, "s", "min").empty());
    EXPECT_FALSE(SleepControlsEnabled(0xFA70, {0xFA70, 0xFA7B}));
    EXPECT_TRUE(SleepControlsEnabled(0xFA7C, {0xFA70, 0xFA7B}));
}

TEST(LightingRulesTest, ColourBoxesClampToByteAndReadBadTextAsZero) {
    struct Case {
        const char* typed;
        std::optional<std::string> kept;
    };
    const Case cases[] = {{"300", "255"},        {"256", "255"},     {"255", std::nullopt},
                          {"0300", "255"},       {"99999", "255"},   {"", std::nullopt},
                          {"007", std::nullopt}, {"x", std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(ClampedColorText(c.typed), c.kept);
    }
    EXPECT_EQ(ColorFromBoxes("255", "0", "0"), 0x0000FFu);
    EXPECT_EQ(ColorFromBoxes("", "x1", "16"), 0x100000u);
    EXPECT_EQ(ColorFromBoxes("1", "2", "3"), 0x030201u);
    EXPECT_EQ(ColorBytes(0x030201), (std::array<int, 3>{1, 2, 3}));
}

TEST(LightingRulesTest, PresetCellsAndTheWheelEllipse) {
    EXPECT_EQ(PresetColors()[0], 0x0000FFu);   // red
    EXPECT_EQ(PresetColors()[6], 0xFF0000u);   // blue
    EXPECT_EQ(PresetColors()[13], 0xAE71D1u);  // (209, 113, 174)
    const CellRect second = PresetCell(100, 412, 1);
    EXPECT_EQ(second.x, 140);  // 18 px right of the first cell's right edge
    const CellRect eighth = PresetCell(100, 412, 7);
    EXPECT_EQ(eighth.x, 100);
    EXPECT_EQ(eighth.y, 444);  // 10 px below the first row
    EXPECT_EQ(PresetAt(100, 412, 100, 412), 0);
    EXPECT_EQ(PresetAt(100, 412, 121, 433), 0);
    EXPECT_EQ(PresetAt(100, 412, 122, 412), -1);  // in the gap
    EXPECT_EQ(PresetAt(100, 412, 361, 465), 13);
    EXPECT_EQ(PresetAt(100, 412, 100, 440), -1);
    const CellRect wheel{143, 189, 173, 173};
    EXPECT_TRUE(InEllipse(wheel, 229, 275));
    EXPECT_TRUE(InEllipse(wheel, 143, 275));
    EXPECT_FALSE(InEllipse(wheel, 144, 190));  // a corner of the picture
    EXPECT_FALSE(InEllipse(CellRect{0, 0, 0, 0}, 0, 0));
}

}  // namespace
}  // namespace vantor
