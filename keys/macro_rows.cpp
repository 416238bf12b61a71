#include "keys/macro_rows.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/log.h"
#include "base/message_sink.h"

namespace vantor {

void TidyMacroRows(std::vector<MacroEditorRow>& rows) {
    const auto firstPress = std::find_if(rows.begin(), rows.end(), [](const MacroEditorRow& row) {
        return row.kind == kMacroRowPress;
    });
    rows.erase(rows.begin(), firstPress);

    // R stays in place while it absorbs its successors, so a run of three or more delay
    // rows adds up completely and a run of equal rows shrinks to one.
    std::size_t r = 0;
    while (r + 1 < rows.size()) {
        MacroEditorRow& current = rows[r];
        const MacroEditorRow& next = rows[r + 1];
        if (current.kind == kMacroRowDelay && next.kind == kMacroRowDelay) {
            const std::uint64_t sum = std::uint64_t{current.value} + next.value;
            current.value = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(sum, std::numeric_limits<std::uint32_t>::max()));
            current.text = std::to_string(current.value) + " ms";
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(r) + 1);
        } else if (current.kind == next.kind && current.value == next.value) {
            rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(r) + 1);
        } else {
            ++r;
        }
    }
}

void BuildMacroEvents(const std::vector<MacroEditorRow>& rows, MacroRecord& record) {
    MacroEvent events[kMacroEventSlots]{};
    int count = 0;
    MacroEvent* last = nullptr;  // the event a following delay row belongs to
    for (const MacroEditorRow& row : rows) {
        if (row.kind == kMacroRowDelay) {
            if (last != nullptr) last->dwDelay = row.value;
            continue;
        }
        if (row.kind != kMacroRowPress && row.kind != kMacroRowRelease &&
            row.kind != kMacroRowMove) {
            continue;  // a row kind the editor does not make
        }
        if (count >= kMacroEventSlots) {
            last = nullptr;
            continue;
        }
        MacroEvent& event = events[count++];
        last = &event;
        if (row.kind == kMacroRowMove) {
            event.wCode = static_cast<std::uint16_t>(row.value & 0xFFFF);
            event.wKind = kMacroKindMove;
            continue;
        }
        event.wCode = static_cast<std::uint16_t>(row.value & 0xFF);
        event.wKind = static_cast<std::uint16_t>(row.kind);
        if (event.wCode == 0) {
            DbgLog("Capture keycode=0");
            if (LogLevel() != 0) ShowSystemMessage("Capture keycode=0", "Warning");
        }
    }
    std::memcpy(record.stEvents, events, sizeof events);
}

}  // namespace vantor
