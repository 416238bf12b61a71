// The macro editor's rules without windows: the event rows of a macro, recording keys with
// their timing, inserting, editing and deleting rows, and the repeat count limits.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keys/macro_record.h"
#include "keys/macro_rows.h"

namespace vantor {

constexpr int kMacroMaxLoopCount = 250;
constexpr std::uint32_t kMacroMaxDelay = 65535;
constexpr std::uint32_t kInsertedKeyDelay = 50;  // the pause put before an inserted key

// The row of a key event, a delay or a movement with the text the list shows.
MacroEditorRow KeyRow(std::uint8_t code, bool press);
MacroEditorRow DelayRow(std::uint32_t ms);
MacroEditorRow MoveRow(int x, int y);  // each -128..127
int MoveRowX(std::uint32_t value);
int MoveRowY(std::uint32_t value);

// The rows of a record: each event, followed by its delay when it is not 0.
std::vector<MacroEditorRow> RowsFromRecord(const MacroRecord& record);

// The repeat count edit after a change: above 250 becomes "250", 0 or less "1"; an empty
// or partly typed text stays as it is.
std::string ClampLoopCountText(const std::string& text);
// The count saved from the edit text: 1..250.
std::uint8_t LoopCountFromText(const std::string& text);

enum class RecordResult { kAdded, kIgnored, kFull };

class MacroEditor {
  public:
    const std::vector<MacroEditorRow>& Rows() const { return rows_; }
    void SetRows(std::vector<MacroEditorRow> rows) { rows_ = std::move(rows); }
    void Clear() { rows_.clear(); }

    // Press, release and movement rows (delays do not count against the limit).
    int EventRows() const;
    bool IsFull() const { return EventRows() >= MacroMaxEvents; }

    // Recording starts: the list is emptied; the last key pair is kept.
    void StartRecording() { rows_.clear(); }
    // One key message at `nowMs` (a monotonic millisecond clock). With `autoDelay` a delay
    // row of the time since the previous key, at least `minUiDelay`, at most 65535 goes
    // before it (not before the first row).
    RecordResult RecordKey(std::uint8_t code, bool up, std::uint64_t nowMs, bool autoDelay,
                           int minUiDelay);

    // Insertions at the reference row (before it with `before`, else after it; appended
    // without one). Each returns the index of the row to select, or nothing when full.
    std::optional<int> InsertKey(std::optional<int> reference, bool before, std::uint8_t code,
                                 bool press);
    std::optional<int> InsertDelay(std::optional<int> reference, bool before, int ms, int minDelay);
    std::optional<int> InsertButton(std::optional<int> reference, bool before, std::uint8_t code);
    // A movement row, each value clamped to -127..127. Nothing for a movement of 0, 0: it
    // moves nothing, and its event (code 0 without a delay) would end the saved macro there.
    std::optional<int> InsertMove(std::optional<int> reference, bool before, int x, int y);

    // Edits of one row; false for an index outside the list or a row of another kind (and
    // for a movement edited to 0, 0, which is refused as on insertion).
    bool EditDelay(int index, int ms, int minDelay);
    bool EditMove(int index, int x, int y);
    bool EditKey(int index, std::uint8_t code);
    bool DeleteRow(int index);

  private:
    int InsertAt(std::optional<int> reference, bool before, MacroEditorRow row);

    std::vector<MacroEditorRow> rows_;
    std::optional<std::pair<std::uint8_t, bool>> lastKey_;
    std::uint64_t lastTimeMs_ = 0;
};

}  // namespace vantor
