#include "ui/pages/macros/logic/macros_page_rules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vantor {
namespace {

using KindValue = std::pair<int, std::uint32_t>;

std::vector<KindValue> Shape(const MacroEditor& editor) {
    std::vector<KindValue> out;
    for (const MacroEditorRow& row : editor.Rows()) out.emplace_back(row.kind, row.value);
    return out;
}

TEST(MacroPageRulesTest, RecordingKeepsOnePressPerHeldKeyAndClampsAutoDelays) {
    MacroEditor editor;
    editor.StartRecording();
    // t=100 first key: no delay before it. A repeated press is ignored. 3 ms later with
    // MinUIDelay 10 gives 10 ms; a pause of 70000 ms is cut to 65535.
    EXPECT_EQ(editor.RecordKey(0x41, false, 100, true, 10), RecordResult::kAdded);
    EXPECT_EQ(editor.RecordKey(0x41, false, 101, true, 10), RecordResult::kIgnored);
    EXPECT_EQ(editor.RecordKey(0x41, true, 103, true, 10), RecordResult::kAdded);
    EXPECT_EQ(editor.RecordKey(0x42, false, 70103, true, 10), RecordResult::kAdded);
    EXPECT_EQ(editor.RecordKey(0x42, true, 70200, false, 10), RecordResult::kAdded);
    const std::vector<KindValue> want = {{kMacroRowPress, 0x41},   {kMacroRowDelay, 10},
                                         {kMacroRowRelease, 0x41}, {kMacroRowDelay, 65535},
                                         {kMacroRowPress, 0x42},   {kMacroRowRelease, 0x42}};
    EXPECT_EQ(Shape(editor), want);
    EXPECT_EQ(editor.Rows()[1].text, "10 ms");
}

TEST(MacroPageRulesTest, RecordingStopsAtSeventyEvents) {
    MacroEditor editor;
    for (int i = 0; i < MacroMaxEvents; ++i) {
        ASSERT_EQ(editor.RecordKey(static_cast<std::uint8_t>(0x41 + i % 2), i % 2 == 1,
                                   static_cast<std::uint64_t>(i * 20), true, 10),
                  RecordResult::kAdded);
    }
    EXPECT_EQ(editor.RecordKey(0x50, false, 5000, true, 10), RecordResult::kFull);
    EXPECT_EQ(editor.EventRows(), MacroMaxEvents);
    EXPECT_FALSE(editor.InsertKey(std::nullopt, false, 0x41, true));
    EXPECT_FALSE(editor.InsertButton(std::nullopt, false, 0xF0));
    EXPECT_FALSE(editor.InsertMove(std::nullopt, false, 1, 1));
}

TEST(MacroPageRulesTest, InsertionsGoAtTheReferenceRow) {
    const MacroEditorRow r = KeyRow(0x52, true);
    struct Case {
        const char* name;
        bool before;
        int what;  // 0 key press, 1 mouse button, 2 delay of 5 with MinDelay 10, 3 move (-1, 200)
        std::vector<KindValue> want;
    } cases[] = {
        {"key before", true, 0, {{2, 50}, {1, 0x41}, {1, 0x52}}},
        {"key after", false, 0, {{1, 0x52}, {1, 0x41}, {2, 50}}},
        {"button before", true, 1, {{1, 0xF0}, {0, 0xF0}, {1, 0x52}}},
        {"button after", false, 1, {{1, 0x52}, {1, 0xF0}, {0, 0xF0}}},
        {"delay raised to MinDelay", false, 2, {{1, 0x52}, {2, 10}}},
        {"move before, Y cut to 127", true, 3, {{3, 0x7FFF}, {1, 0x52}}},
        {"move after", false, 3, {{1, 0x52}, {3, 0x7FFF}}},
    };
    for (const Case& c : cases) {
        MacroEditor editor;
        editor.SetRows({r});
        if (c.what == 0) editor.InsertKey(0, c.before, 0x41, true);
        if (c.what == 1) editor.InsertButton(0, c.before, 0xF0);
        if (c.what == 2) editor.InsertDelay(0, c.before, 5, 10);
        if (c.what == 3) editor.InsertMove(0, c.before, -1, 200);
        EXPECT_EQ(Shape(editor), c.want) << c.name;
    }
    // A movement of 0, 0 would be saved as the end of the macro: it is not inserted.
    MacroEditor still;
    still.SetRows({r});
    EXPECT_FALSE(still.InsertMove(0, false, 0, 0));
    EXPECT_EQ(Shape(still), (std::vector<KindValue>{{1, 0x52}}));
    MacroEditor empty;  // without a reference the key row alone is appended
    empty.InsertKey(std::nullopt, true, 0x41, false);
    EXPECT_EQ(Shape(empty), (std::vector<KindValue>{{0, 0x41}}));
}

TEST(MacroPageRulesTest, EditsKeepTheRowKindAndLimits) {
    MacroEditor editor;
    editor.SetRows({KeyRow(0x41, true), DelayRow(30), MoveRow(-5, 7)});
    EXPECT_TRUE(editor.EditDelay(1, 3, 10));
    EXPECT_EQ(editor.Rows()[1].value, 10u);
    EXPECT_TRUE(editor.EditDelay(1, 99999, 10));
    EXPECT_EQ(editor.Rows()[1].value, 65535u);
    EXPECT_FALSE(editor.EditDelay(0, 20, 10));  // not a delay row
    EXPECT_TRUE(editor.EditMove(2, -127, 127));
    EXPECT_EQ(MoveRowX(editor.Rows()[2].value), -127);
    EXPECT_EQ(MoveRowY(editor.Rows()[2].value), 127);
    EXPECT_FALSE(editor.EditMove(2, 0, 0));  // would end the saved macro
    EXPECT_EQ(MoveRowX(editor.Rows()[2].value), -127);
    EXPECT_TRUE(editor.EditKey(0, 0xA3));
    EXPECT_EQ(editor.Rows()[0].kind, kMacroRowPress);
    EXPECT_EQ(editor.Rows()[0].value, 0xA3u);
    EXPECT_FALSE(editor.DeleteRow(3));
    EXPECT_TRUE(editor.DeleteRow(1));
    EXPECT_EQ(editor.Rows().size(), 2u);
}

TEST(MacroPageRulesTest, LoopCountTextStaysInRange) {
    const std::pair<const char*, const char*> cases[] = {{"300", "250"}, {"0", "1"}, {"-4", "1"},
                                                         {"250", "250"}, {"7", "7"}, {"", ""}};
    for (const auto& [typed, shown] : cases) EXPECT_EQ(ClampLoopCountText(typed), shown) << typed;
    EXPECT_EQ(LoopCountFromText(""), 1);
    EXPECT_EQ(LoopCountFromText("999"), 250);
}

TEST(MacroPageRulesTest, RowsFromRecordAndBackKeepEventsAndDelays) {
    MacroRecord record = NewMacro("m");
    std::vector<MacroEditorRow> rows = {KeyRow(0x10, true), DelayRow(40), KeyRow(0x10, false),
                                        MoveRow(-3, 4)};
    BuildMacroEvents(rows, record);
    const std::vector<MacroEditorRow> back = RowsFromRecord(record);
    ASSERT_EQ(back.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(back[i].kind, rows[i].kind) << i;
        EXPECT_EQ(back[i].value, rows[i].value) << i;
    }
    EXPECT_EQ(MoveRowX(back[3].value), -3);
    EXPECT_EQ(MoveRowY(back[3].value), 4);
}

}  // namespace
}  // namespace vantor
