#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/log.h"
#include "base/message_sink.h"
#include "keys/macro_compare.h"
#include "keys/macro_record.h"
#include "keys/macro_rows.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

struct Event {
    std::uint16_t code, kind;
    std::uint32_t delay;
    bool operator==(const Event&) const = default;
};

std::vector<Event> Events(const MacroRecord& record) {
    std::vector<Event> events;
    for (int i = 0; i < MacroEventCount(record); ++i) {
        const MacroEvent& e = record.stEvents[i];
        events.push_back({e.wCode, e.wKind, e.dwDelay});
    }
    return events;
}

MacroEditorRow Press(std::uint32_t vk) {
    return {kMacroRowPress, vk, "press"};
}
MacroEditorRow Release(std::uint32_t vk) {
    return {kMacroRowRelease, vk, "release"};
}
MacroEditorRow Delay(std::uint32_t ms) {
    return {kMacroRowDelay, ms, std::to_string(ms)};
}
MacroEditorRow Move(int x, int y) {
    return {kMacroRowMove, static_cast<std::uint32_t>((x & 0xFF) | ((y & 0xFF) << 8)), "move"};
}

std::vector<Event> Build(std::vector<MacroEditorRow> rows) {
    TidyMacroRows(rows);
    MacroRecord record = NewMacro("m");
    BuildMacroEvents(rows, record);
    return Events(record);
}

TEST(MacroEventsTest, RowsAreTidiedAndTurnedIntoEvents) {
    struct Case {
        const char* what;
        std::vector<MacroEditorRow> rows;
        std::vector<Event> events;
    } cases[] = {
        {"leading delay and release rows are dropped",
         {Delay(10), Release(0x41), Press(0x41), Delay(20), Release(0x41)},
         {{0x41, 1, 20}, {0x41, 0, 0}}},
        {"no press row at all", {Delay(10), Release(0x41), Move(1, 1)}, {}},
        {"adjacent delays add up",
         {Press(0x41), Delay(20), Delay(30), Release(0x41)},
         {{0x41, 1, 50}, {0x41, 0, 0}}},
        {"a run of three delays adds up completely",
         {Press(0x41), Delay(20), Delay(30), Delay(40), Release(0x41)},
         {{0x41, 1, 90}, {0x41, 0, 0}}},
        {"equal adjacent rows become one",
         {Press(0x41), Press(0x41), Press(0x41), Release(0x41)},
         {{0x41, 1, 0}, {0x41, 0, 0}}},
        {"movement keeps signed steps",
         {Press(0xF0), Move(-1, 2), Delay(5), Release(0xF0)},
         {{0xF0, 1, 0}, {0x02FF, 2, 5}, {0xF0, 0, 0}}},
        {"wheel steps and key codes keep the low byte",
         {Press(0x1F5), Release(0xF5), Press(0xF6)},
         {{0xF5, 1, 0}, {0xF5, 0, 0}, {0xF6, 1, 0}}},
    };
    for (const Case& c : cases) EXPECT_EQ(Build(c.rows), c.events) << c.what;
}

TEST(MacroEventsTest, MergedDelayRowShowsItsSum) {
    std::vector<MacroEditorRow> rows = {Press(0x41), Delay(20), Delay(30)};
    TidyMacroRows(rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].value, 50u);
    EXPECT_EQ(rows[1].text, "50 ms");
}

TEST(MacroEventsTest, EventsBeyondTheSlotsAreDroppedWithTheirDelays) {
    std::vector<MacroEditorRow> rows;
    for (int i = 0; i < 60; ++i) {
        rows.push_back(Press(0x41));
        rows.push_back(Delay(7));
        rows.push_back(Release(0x41));
        rows.push_back(Delay(9));
    }
    MacroRecord record = NewMacro("long");
    BuildMacroEvents(rows, record);
    const std::vector<Event> events = Events(record);
    ASSERT_EQ(events.size(), static_cast<std::size_t>(kMacroEventSlots));
    EXPECT_EQ(events.back(), (Event{0x41, 1, 7}));
}

TEST(MacroEventsTest, KeyCodeZeroIsKeptAndWarnedAboutWithTheLogOn) {
    RecordingMessageSink sink;
    SetMessageSink(&sink);
    test::TempDir dir;
    LogSetup(2, dir / "Log.txt");
    MacroRecord record = NewMacro("zero");
    BuildMacroEvents({Press(0x100), Delay(10)}, record);
    LogShutdown();
    SetMessageSink(nullptr);
    EXPECT_EQ(Events(record), (std::vector<Event>{{0, 1, 10}}));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].first, "Capture keycode=0");
    EXPECT_EQ(sink.messages[0].second, "Warning");
    EXPECT_NE(test::ReadText(dir / "Log.txt").find("Capture keycode=0"), std::string::npos);
}

TEST(MacroEventsTest, NewMacroDefaultsAndDistinctIds) {
    const MacroRecord a = NewMacro(std::string(50, 'n'));
    const MacroRecord b = NewMacro("b");
    EXPECT_EQ(a.dwMagicNumber, kMacroMagicNumber);
    EXPECT_NE(a.dwMacroID, 0u);
    EXPECT_LT(a.dwMacroID, 0x1000000u);
    EXPECT_NE(a.dwMacroID, b.dwMacroID);
    EXPECT_EQ(a.dwState, 0u);
    EXPECT_EQ(a.dwAuto, 1u);
    EXPECT_EQ(a.dwLoopMode, 0u);
    EXPECT_EQ(a.nLoopCount, 1);
    EXPECT_EQ(MacroName(a), std::string(kMacroNameMaxChars, 'n'));
    EXPECT_EQ(MacroEventCount(a), 0);
}

TEST(MacroEventsTest, MacrosEqualComparesNameIgnoringCaseAndEveryEvent) {
    MacroRecord a = NewMacro("Reload");
    BuildMacroEvents({Press(0x52), Delay(20), Release(0x52)}, a);
    MacroRecord b = a;
    SetMacroName(b, "RELOAD");
    b.dwMacroID = a.dwMacroID + 1;  // identity and settings do not count
    b.nLoopCount = 9;
    EXPECT_TRUE(MacrosEqual(a, b));

    MacroRecord other = b;
    other.stEvents[0].dwDelay = 21;
    EXPECT_FALSE(MacrosEqual(a, other));
    other = b;
    other.stEvents[1].wKind = kMacroKindPress;
    EXPECT_FALSE(MacrosEqual(a, other));
    other = b;
    other.stEvents[2] = other.stEvents[0];
    EXPECT_FALSE(MacrosEqual(a, other));
    other = b;
    SetMacroName(other, "Reloads");
    EXPECT_FALSE(MacrosEqual(a, other));
}

TEST(MacroEventsTest, UnsupportedMouseButtons) {
    struct Case {
        std::vector<MacroEditorRow> rows;
        bool unsupported;
    } cases[] = {
        {{Press(0xF0), Release(0xF0), Press(0xF4)}, false},
        {{Press(0x41), Press(0xF5)}, true},    // wheel up
        {{Press(0x41), Release(0xF6)}, true},  // wheel down
        {{Press(0x41), Move(-11, 0)}, false},  // a movement whose code reads 0xF5
    };
    for (const Case& c : cases) {
        MacroRecord record = NewMacro("m");
        BuildMacroEvents(c.rows, record);
        EXPECT_EQ(HasUnsupportedMouseButton(record, 0x1F), c.unsupported);
    }
    MacroRecord wheel = NewMacro("wheel");
    BuildMacroEvents({Press(0xF5)}, wheel);
    EXPECT_FALSE(HasUnsupportedMouseButton(wheel, 0x7F));
}

}  // namespace
}  // namespace vantor
