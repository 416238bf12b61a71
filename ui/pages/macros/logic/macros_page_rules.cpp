#include "ui/pages/macros/logic/macros_page_rules.h"

#include <algorithm>
#include <cstdlib>

#include "base/string_format.h"
#include "base/texts.h"
#include "keys/key_names.h"

namespace vantor {

MacroEditorRow KeyRow(std::uint8_t code, bool press) {
    return {press ? kMacroRowPress : kMacroRowRelease, code, KeyName(code)};
}

MacroEditorRow DelayRow(std::uint32_t ms) {
    return {kMacroRowDelay, ms, std::to_string(ms) + " ms"};
}

MacroEditorRow MoveRow(int x, int y) {
    const std::uint32_t value = static_cast<std::uint32_t>(static_cast<std::uint8_t>(x)) |
                                (static_cast<std::uint32_t>(static_cast<std::uint8_t>(y)) << 8);
    return {kMacroRowMove, value,
            StringPrintf("%s   X= %d, Y= %d", Text("tc_adv_str27").c_str(), x, y)};
}

int MoveRowX(std::uint32_t value) {
    return static_cast<std::int8_t>(value & 0xFF);
}

int MoveRowY(std::uint32_t value) {
    return static_cast<std::int8_t>((value >> 8) & 0xFF);
}

std::vector<MacroEditorRow> RowsFromRecord(const MacroRecord& record) {
    std::vector<MacroEditorRow> rows;
    const int count = std::min(MacroEventCount(record), MacroMaxEvents);
    for (int i = 0; i < count; ++i) {
        const MacroEvent& event = record.stEvents[i];
        const std::uint16_t code = event.wCode;
        if (event.wKind == kMacroKindMove) {
            rows.push_back(MoveRow(MoveRowX(code), MoveRowY(code)));
        } else {
            rows.push_back(
                KeyRow(static_cast<std::uint8_t>(code & 0xFF), event.wKind == kMacroKindPress));
        }
        if (event.dwDelay != 0) rows.push_back(DelayRow(event.dwDelay));
    }
    return rows;
}

std::string ClampLoopCountText(const std::string& text) {
    if (text.empty() || text == "-") return text;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > kMacroMaxLoopCount) return std::to_string(kMacroMaxLoopCount);
    if (value <= 0) return "1";
    return text;
}

std::uint8_t LoopCountFromText(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<std::uint8_t>(std::clamp<long>(value, 1, kMacroMaxLoopCount));
}

int MacroEditor::EventRows() const {
    return static_cast<int>(std::count_if(
        rows_.begin(), rows_.end(), [](const auto& row) { return row.kind != kMacroRowDelay; }));
}

RecordResult MacroEditor::RecordKey(std::uint8_t code, bool up, std::uint64_t nowMs, bool autoDelay,
                                    int minUiDelay) {
    if (lastKey_ && lastKey_->first == code && lastKey_->second == up) {
        return RecordResult::kIgnored;
    }
    if (IsFull()) return RecordResult::kFull;
    if (autoDelay && !rows_.empty() && nowMs > lastTimeMs_) {
        const std::uint64_t d = std::clamp<std::uint64_t>(
            nowMs - lastTimeMs_, static_cast<std::uint64_t>(std::max(minUiDelay, 0)),
            kMacroMaxDelay);
        rows_.push_back(DelayRow(static_cast<std::uint32_t>(d)));
    }
    rows_.push_back(KeyRow(code, !up));
    lastKey_ = {code, up};
    lastTimeMs_ = nowMs;
    return RecordResult::kAdded;
}

int MacroEditor::InsertAt(std::optional<int> reference, bool before, MacroEditorRow row) {
    int at = static_cast<int>(rows_.size());
    if (reference && *reference >= 0 && *reference < static_cast<int>(rows_.size())) {
        at = before ? *reference : *reference + 1;
    }
    rows_.insert(rows_.begin() + at, std::move(row));
    return at;
}

std::optional<int> MacroEditor::InsertKey(std::optional<int> reference, bool before,
                                          std::uint8_t code, bool press) {
    if (IsFull()) return std::nullopt;
    const bool hasReference =
        reference && *reference >= 0 && *reference < static_cast<int>(rows_.size());
    if (!hasReference) return InsertAt(std::nullopt, before, KeyRow(code, press));
    // Before R: "50 ms", key, R. After R: R, key, "50 ms".
    InsertAt(reference, before, DelayRow(kInsertedKeyDelay));
    if (before) return InsertAt(*reference + 1, true, KeyRow(code, press));
    return InsertAt(reference, false, KeyRow(code, press));
}

std::optional<int> MacroEditor::InsertDelay(std::optional<int> reference, bool before, int ms,
                                            int minDelay) {
    if (IsFull()) return std::nullopt;
    const auto value = static_cast<std::uint32_t>(std::clamp(ms, std::max(minDelay, 0), 65535));
    return InsertAt(reference, before, DelayRow(value));
}

std::optional<int> MacroEditor::InsertButton(std::optional<int> reference, bool before,
                                             std::uint8_t code) {
    if (EventRows() + 2 > MacroMaxEvents) return std::nullopt;
    const int press = InsertAt(reference, before, KeyRow(code, true));
    InsertAt(press, false, KeyRow(code, false));
    return press;
}

std::optional<int> MacroEditor::InsertMove(std::optional<int> reference, bool before, int x,
                                           int y) {
    x = std::clamp(x, -127, 127);
    y = std::clamp(y, -127, 127);
    if (IsFull() || (x == 0 && y == 0)) return std::nullopt;
    return InsertAt(reference, before, MoveRow(x, y));
}

bool MacroEditor::EditDelay(int index, int ms, int minDelay) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return false;
    if (rows_[static_cast<std::size_t>(index)].kind != kMacroRowDelay) return false;
    rows_[static_cast<std::size_t>(index)] =
        DelayRow(static_cast<std::uint32_t>(std::clamp(ms, std::max(minDelay, 0), 65535)));
    return true;
}

bool MacroEditor::EditMove(int index, int x, int y) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return false;
    if (rows_[static_cast<std::size_t>(index)].kind != kMacroRowMove) return false;
    x = std::clamp(x, -127, 127);
    y = std::clamp(y, -127, 127);
    if (x == 0 && y == 0) return false;
    rows_[static_cast<std::size_t>(index)] = MoveRow(x, y);
    return true;
}

bool MacroEditor::EditKey(int index, std::uint8_t code) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return false;
    MacroEditorRow& row = rows_[static_cast<std::size_t>(index)];
    if (row.kind != kMacroRowPress && row.kind != kMacroRowRelease) return false;
    row = KeyRow(code, row.kind == kMacroRowPress);
    return true;
}

bool MacroEditor::DeleteRow(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return false;
    rows_.erase(rows_.begin() + index);
    return true;
}

}  // namespace vantor
