// The current profile record as text lines or as one JSON object: what `show` and `read`
// print.
#pragma once

#include <string>
#include <vector>

#include "app/config/button_label_context.h"
#include "keys/assignment.h"
#include "keys/macro_list.h"
#include "profile/profile_record.h"
#include "tools/vantorctl/output.h"

namespace vantor::cli {

// The settings the current device model offers. set refuses the others and show, read and
// info leave them out, as the window program's pages hide them. A model that offers
// neither sleep nor auto-sleep runs on its cable and has no battery.
struct ModelSettings {
    bool liftOff = true;
    bool ripple = true;
    bool angleSnap = true;
    bool motionSync = true;
    bool debounce = true;
    bool sleep = true;
    bool autoSleep = true;
    bool mainLighting = true;
    bool logoLighting = true;
    bool dpiIndicator = true;
    bool battery = true;
};
ModelSettings CurrentModelSettings();

struct RecordView {
    const ProfileFile* record = nullptr;
    int profileIndex = 0;   // 0-based on-board profile
    int curDpiLevel = -1;   // 0-based active level; -1 when unknown
    int buttonCount = 0;    // buttons of the device model
    int dpiLevelSlots = 0;  // DPI levels the model offers
    const KeyContext* keys = nullptr;
    ModelSettings shown;
    bool stored = false;  // the stored profile, not read from the mouse in this run
};

std::vector<std::string> RecordLines(const RecordView& view);
Json RecordJson(const RecordView& view);

// "rrggbb" of a colour held as red in bits 0-7, green 8-15, blue 16-23.
std::string ColorText(std::uint32_t color);

}  // namespace vantor::cli
