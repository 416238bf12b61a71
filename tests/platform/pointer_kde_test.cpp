// KDE Plasma's pointer settings on a temporary Plasma configuration folder: the X11 values in
// [Mouse] and, for each pointer device of the mouse, the per-device group that Plasma on
// Wayland reads; the change signal names what was written.
#include <gtest/gtest.h>

#include <string>

#include "platform/pointer_backend.h"
#include "platform/pointer_inputs.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

TEST(PointerKdeTest, EachPointerOfTheMouseGetsItsOwnGroupBesideTheX11Values) {
    test::TempDir config;
    test::WriteText(config / "kcminputrc",
                    "[Libinput][7511][64096][Vantor Receiver Mouse]\n"
                    "NaturalScroll=true\n"
                    "PointerAcceleration=0.000\n"
                    "[Libinput][1133][49291][Another Mouse]\n"
                    "PointerAcceleration=0.300\n");
    KdeConfigChanges told;
    int signals = 0;
    const std::vector<PointerInput> pointers = {
        {7511, 64096, "Vantor Receiver Mouse"},
        {7511, 64097, "Vantor Wired Mouse"},
        {7511, 64096, "Broken]Name"},  // would end the group's name: left alone
    };
    auto backend =
        MakeKdePointerBackend(config.path(), pointers, [&](const KdeConfigChanges& changes) {
            told = changes;
            ++signals;
        });
    PointerSettings wanted;
    wanted.speed = 15;  // 0.5 on Plasma's scale
    wanted.enhancePrecision = false;
    backend->Apply(wanted);
    EXPECT_FALSE(backend->Failed());
    EXPECT_EQ(test::ReadText(config / "kcminputrc"),
              "[Libinput][7511][64096][Vantor Receiver Mouse]\n"
              "NaturalScroll=true\n"
              "PointerAcceleration=0.5\n"
              "PointerAccelerationProfile=1\n"
              "[Libinput][1133][49291][Another Mouse]\n"
              "PointerAcceleration=0.300\n"
              "[Mouse]\n"
              "XLbInptAccelProfileFlat=true\n"
              "XLbInptPointerAcceleration=0.5\n"
              "[Libinput][7511][64097][Vantor Wired Mouse]\n"
              "PointerAccelerationProfile=1\n"
              "PointerAcceleration=0.5\n");
    const auto& groups = told["kcminputrc"];
    EXPECT_EQ(groups.at("Libinput\x1d"
                        "7511\x1d"
                        "64096\x1dVantor Receiver Mouse"),
              (std::vector<std::string>{"PointerAccelerationProfile", "PointerAcceleration"}));
    EXPECT_EQ(groups.count("Mouse"), 1u);
    EXPECT_EQ(signals, 1);

    // Applied again, every value is there already: nothing is written, nobody is told.
    backend->Apply(wanted);
    EXPECT_EQ(signals, 1);
}

TEST(PointerInputsTest, ProductPropertyAndNames) {
    const struct {
        const char* text;
        std::optional<std::pair<std::uint16_t, std::uint16_t>> ids;
    } cases[] = {
        {"3/1d57/fa60/111", std::pair<std::uint16_t, std::uint16_t>{0x1d57, 0xfa60}},
        {"3/1D57/FA60/0", std::pair<std::uint16_t, std::uint16_t>{0x1d57, 0xfa60}},
        {"3/1d57/fa60", std::nullopt},
        {"3/1d57//111", std::nullopt},
        {"3/10000/1/1", std::nullopt},
        {"3/-1/1/1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseInputProduct(c.text), c.ids);
    }
    EXPECT_TRUE(UsableInputName("Vantor Receiver Mouse"));
    EXPECT_TRUE(UsableInputName("Maus \xC3\xA4"));
    for (const char* name : {"", "a]b", "a[b", "a\nb", "a\x7f"}) {
        EXPECT_FALSE(UsableInputName(name)) << name;
    }
}

}  // namespace
}  // namespace vantor
