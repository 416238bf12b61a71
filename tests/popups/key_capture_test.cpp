#include "ui/popups/logic/key_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace vantor {
namespace {

constexpr std::uint8_t kCtrl = 0x11, kShift = 0x10, kRightCtrl = 0xA3, kRightAlt = 0xA5;
constexpr std::uint8_t kA = 0x41, kB = 0x42, kC = 0x43, kV = 0x56, kX = 0x58;

// A capture with a hand-driven clock; Press and Release send one message each.
class KeyCaptureTest : public ::testing::Test {
  protected:
    KeyCapture Make(bool singleKey = false, bool toggles = false) {
        return KeyCapture(singleKey, toggles, [this] { return nowMs_; });
    }
    static void Tap(KeyCapture& capture, std::uint8_t code) {
        capture.CaptureKey(code, false);
        capture.CaptureKey(code, true);
    }
    std::uint64_t nowMs_ = 5000;
};

TEST_F(KeyCaptureTest, CtrlCVThenAFourthKeyStartsOver) {
    KeyCapture capture = Make();
    capture.CaptureKey(kCtrl, false);
    Tap(capture, kC);
    nowMs_ += 400;
    Tap(capture, kV);
    EXPECT_EQ(capture.Text(), "L-Ctrl + C + V");
    EXPECT_EQ(capture.Combination(), (KeyCombination{0x01, {kC, kV, 0}}));

    nowMs_ += 100;
    capture.CaptureKey(kX, false);
    EXPECT_EQ(capture.Combination(), (KeyCombination{0, {kX, 0, 0}}));
    EXPECT_EQ(capture.Text(), "X");
}

TEST_F(KeyCaptureTest, PauseOfASecondOrMoreStartsANewCombination) {
    KeyCapture capture = Make();
    Tap(capture, kA);
    nowMs_ += 2000;
    Tap(capture, kB);
    EXPECT_EQ(capture.Combination(), (KeyCombination{0, {kB, 0, 0}}));

    // 999 ms still joins, exactly 1000 ms does not.
    nowMs_ += 999;
    Tap(capture, kC);
    EXPECT_EQ(capture.Combination(), (KeyCombination{0, {kB, kC, 0}}));
    nowMs_ += 1000;
    Tap(capture, kV);
    EXPECT_EQ(capture.Combination(), (KeyCombination{0, {kV, 0, 0}}));
}

TEST_F(KeyCaptureTest, SingleKeyModeKeepsOnlyTheLastPress) {
    KeyCapture capture = Make(/*singleKey=*/true);
    capture.CaptureKey(kA, false);
    capture.CaptureKey(kB, false);
    EXPECT_EQ(capture.Combination(), (KeyCombination{0, {kB, 0, 0}}));
    capture.CaptureKey(kShift, false);
    EXPECT_EQ(capture.Combination(), (KeyCombination{0x02, {0, 0, 0}}));
}

TEST_F(KeyCaptureTest, HeldKeyRepeatsCountOnceAndReleasesChangeNothing) {
    KeyCapture capture = Make();
    capture.CaptureKey(kA, false);
    capture.CaptureKey(kA, false);  // auto-repeat
    capture.CaptureKey(kA, true);
    EXPECT_EQ(capture.Combination(), (KeyCombination{0, {kA, 0, 0}}));
    // Pressed again after its release: already held, not added twice.
    capture.CaptureKey(kA, false);
    EXPECT_EQ(capture.Combination(), (KeyCombination{0, {kA, 0, 0}}));
}

TEST_F(KeyCaptureTest, ModifierBitsAndGroupRules) {
    struct Case {
        const char* name;
        std::initializer_list<std::uint8_t> presses;
        KeyCombination expected;
    };
    const Case cases[] = {
        {"right keys get their own bits", {kRightCtrl, kRightAlt, 0xA1}, {0x70, {}}},
        {"left and generic codes share bits", {0xA2, 0x12, 0xA0}, {0x07, {}}},
        {"right Win", {0x5C, kA}, {0x80, {kA, 0, 0}}},
        {"left Win and right Alt", {0x5B, kRightAlt}, {0x48, {}}},
        // Right Ctrl after left Ctrl repeats the Ctrl group: a new combination starts.
        {"repeated group restarts", {kCtrl, kRightCtrl}, {0x10, {}}},
        // Two modifier groups and a key make three parts; the next press starts over.
        {"third part reached", {kCtrl, kShift, kA, kB}, {0, {kB, 0, 0}}},
        // A modifier after three keys starts over as well.
        {"three keys then a modifier", {kA, kB, kC, kShift}, {0x02, {}}},
    };
    for (const Case& c : cases) {
        KeyCapture capture = Make();
        for (std::uint8_t code : c.presses) Tap(capture, code);
        EXPECT_EQ(capture.Combination(), c.expected) << c.name;
    }
}

TEST_F(KeyCaptureTest, TogglesIgnoreModifierKeysAndOkRefusesFourParts) {
    KeyCapture capture = Make(false, /*toggles=*/true);
    Tap(capture, kShift);
    Tap(capture, kRightCtrl);
    EXPECT_TRUE(capture.Combination().IsEmpty());

    Tap(capture, kA);
    Tap(capture, kB);
    // Ctrl and Shift toggled: 2 groups + 2 keys.
    EXPECT_FALSE(capture.Confirm(ModifiersFromToggles(true, true, false, false)).has_value());
    // One toggle: three parts, the toggles replace the modifier byte.
    const auto result = capture.Confirm(ModifiersFromToggles(false, false, false, true));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->Bytes(), (std::array<std::uint8_t, 4>{0x08, kA, kB, 0}));
}

TEST_F(KeyCaptureTest, OkWithoutTogglesKeepsTheCapturedModifiers) {
    KeyCapture capture = Make();
    Tap(capture, kRightAlt);
    Tap(capture, kA);
    const auto result = capture.Confirm(0x0F);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->Bytes(), (std::array<std::uint8_t, 4>{0x40, kA, 0, 0}));
}

}  // namespace
}  // namespace vantor
