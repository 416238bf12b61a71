// The macro editor's rows and the event list built from them. The editor hands over its
// rows in display order; each row has a kind, a value and the text it shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "keys/macro_record.h"

namespace vantor {

enum MacroRowKind : int {
    kMacroRowRelease = 0,  // value: virtual-key code
    kMacroRowPress = 1,    // value: virtual-key code
    kMacroRowDelay = 2,    // value: milliseconds
    kMacroRowMove = 3,     // value: X step in the low byte, Y step in the high byte
};

struct MacroEditorRow {
    int kind = kMacroRowPress;
    std::uint32_t value = 0;
    std::string text;
};

// Tidies the rows in place: drops rows before the first press row (all rows when there is
// none), merges runs of adjacent delay rows into one row holding their sum (text "%d ms"),
// and keeps one row of each run of adjacent rows with equal kind and value.
void TidyMacroRows(std::vector<MacroEditorRow>& rows);

// Replaces the record's events by those of the (tidied) rows: press and release rows give
// key events, movement rows give movement events, and a delay row sets the delay of the
// event before it (a delay row before the first event is dropped). Rows beyond the 91 event
// slots are dropped. A key code of 0 is logged, and with the diagnostic log on also shown.
void BuildMacroEvents(const std::vector<MacroEditorRow>& rows, MacroRecord& record);

}  // namespace vantor
