#include "app/store/profile_export.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "app/store/profile_bounds.h"
#include "base/file_io.h"
#include "base/file_prefix.h"
#include "base/log.h"
#include "base/save_failure.h"
#include "base/texts.h"
#include "keys/key_functions.h"

namespace vantor {
namespace {

std::size_t SlotOffset(int slot) {
    return sizeof(ProfileFile) + static_cast<std::size_t>(slot) * kMacroRecordSize;
}

// The first slot that holds a macro record with the id; ids of 0 (a key without macro, an
// empty slot) never match.
const MacroRecord* FindSlot(const std::array<MacroRecord, kExportMacroSlots>& slots,
                            std::uint32_t id) {
    if (id == 0) return nullptr;
    for (const MacroRecord& slot : slots) {
        if (slot.dwMacroID == id && slot.dwMagicNumber == kMacroMagicNumber) return &slot;
    }
    return nullptr;
}

// Brings the macros of the image's macro keys into the library and points the keys at
// the library's ids. False when a macro could not be added.
bool MergeImportedMacros(ProfileFile& record, std::array<MacroRecord, kExportMacroSlots>& slots,
                         MacroLibrary& library) {
    for (MacroRecord& slot : slots) SetMacroName(slot, MacroName(slot));
    std::map<std::uint32_t, std::uint32_t> addedIds;  // image id -> id given on import
    for (auto& set : record.Key) {
        for (KeyAssignment& key : set) {
            if (key.FunctionClass() != KFC_MACRO) continue;
            const std::uint32_t id = key.dwMacroID;
            if (auto added = addedIds.find(id); added != addedIds.end()) {
                key.dwMacroID = added->second;  // one library copy for keys sharing a macro
                continue;
            }
            const MacroRecord* slot = FindSlot(slots, id);
            if (slot == nullptr) continue;
            if (library.FindMacroById(id) != nullptr) {
                library.ReplaceMacro(id, *slot);
                continue;
            }
            MacroRecord copy = *slot;
            copy.dwMacroID = NewMacroId();
            if (!library.Add_Macro(copy)) return false;
            addedIds[id] = copy.dwMacroID;
            key.dwMacroID = copy.dwMacroID;
        }
    }
    return true;
}

}  // namespace

FileDialogRequest ProfileFileDialog(bool save) {
    return {"qxa(*.qxa)|*.qxa|", "*.qxa", ".qxa", save};
}

std::vector<std::uint8_t> BuildExportImage(const ProfileFile& profile, const MacroList& macros) {
    std::vector<std::uint8_t> image(kExportFileSize, 0);
    std::memcpy(image.data(), &profile, sizeof(ProfileFile));
    int slot = 0;
    for (const auto& set : profile.Key) {
        for (const KeyAssignment& key : set) {
            if (slot == kExportMacroSlots) return image;
            if (key.FunctionClass() != KFC_MACRO) continue;
            const MacroRecord* macro = macros.FindById(key.dwMacroID);
            if (macro == nullptr) continue;
            std::memcpy(image.data() + SlotOffset(slot++), macro, kMacroRecordSize);
        }
    }
    return image;
}

bool ExportProfile(ProfileStore& store, int curDpiLevel, const MacroList& macros, StoreUi& ui,
                   std::string* problem) {
    ProfileFile* current = store.Current();
    if (current == nullptr) return false;
    current->nCurDpiLevel = curDpiLevel;
    DbgLog("ExportProfile: g_nCurDpiLevel=%d", curDpiLevel);
    const std::optional<std::string> path = ui.AskSavePath(ProfileFileDialog(true));
    if (!path) return false;
    const std::vector<std::uint8_t> image = BuildExportImage(*current, macros);
    int error = 0;
    if (!WriteFileAtomic(*path, image.data(), image.size(), &error)) {
        if (problem != nullptr) *problem = std::strerror(error);
        ui.ShowMessage(SaveFailedText(*path, error));
        return false;
    }
    return true;
}

namespace {

// The place of a setting in the user's language: "Lighting: Main light, Speed".
std::string PlaceText(const std::vector<const char*>& place) {
    std::string text;
    int parts = 0;
    for (const char* key : place) {
        const std::string words = Text(key);
        if (words.empty()) continue;
        text += (parts == 0 ? "" : parts == 1 ? ": " : ", ") + words;
        ++parts;
    }
    return text;
}

// Refuses a file that is not a valid profile: the window says so in the user's language and
// names the setting as its page does; the log and the command line get the plain reason
// with its values.
ImportOutcome RefuseAsInvalid(StoreUi& ui, const std::string& problem,
                              const std::vector<const char*>& place = {}) {
    DbgLog("ImportProfile: refused, %s", problem.c_str());
    std::string message = TextOr("tc_tip3", "This file is not a valid profile.");
    const std::string where = PlaceText(place);
    if (!where.empty()) message += " (" + where + ")";
    ui.ShowMessage(message);
    ImportOutcome outcome;
    outcome.problem = "not a valid profile: " + problem;
    return outcome;
}

}  // namespace

ImportOutcome ImportProfileImage(std::span<const std::uint8_t> image, ProfileStore& store,
                                 MacroLibrary& library, int sectionDpiLevels, StoreUi& ui) {
    ImportOutcome outcome;
    ProfileFile* current = store.Current();
    if (current == nullptr) return outcome;
    // Nothing is written, added or saved before the whole image has passed every check.
    if (image.size() != kExportFileSize) {
        return RefuseAsInvalid(ui, "it has " + std::to_string(image.size()) +
                                       " bytes, a profile file has exactly " +
                                       std::to_string(kExportFileSize));
    }
    ProfileFile record{};
    std::memcpy(&record, image.data(), sizeof(ProfileFile));
    if (record.dwMagic != kProfileMagic || record.dwProfileID == 0) {
        return RefuseAsInvalid(ui, "it does not begin with a profile record");
    }
    SetProfileName(record, ProfileName(record));
    const std::vector<ProfileProblem> problems =
        CheckProfileRecord(record, CurrentDevice(), Options());
    if (!problems.empty()) {
        std::string problem = problems.front().detail;
        if (problems.size() > 1) {
            problem += " (and " + std::to_string(problems.size() - 1) + " more)";
        }
        for (const ProfileProblem& each : problems) {
            DbgLog("ImportProfile: %s", each.detail.c_str());
        }
        return RefuseAsInvalid(ui, problem, problems.front().place);
    }
    std::array<MacroRecord, kExportMacroSlots> slots{};
    for (int i = 0; i < kExportMacroSlots; ++i) {
        std::memcpy(&slots[static_cast<std::size_t>(i)], image.data() + SlotOffset(i),
                    kMacroRecordSize);
    }
    const int failedWrites = library.FailedWrites();
    if (!MergeImportedMacros(record, slots, library)) {
        outcome.problem = "a macro of the profile could not be added to the macro library";
        return outcome;
    }
    if (library.FailedWrites() != failedWrites) {
        const int error = library.LastWriteError();
        outcome.macroWriteProblem =
            "a macro file could not be written into " + library.Root() +
            (error != 0 ? std::string(": ") + std::strerror(error) : std::string());
        DbgLog("ImportProfile: %s", outcome.macroWriteProblem.c_str());
    }

    int level = record.nCurDpiLevel;
    DbgLog("ImportProfile: g_nCurDpiLevel=%d", level);
    const std::uint32_t ownId = current->dwProfileID;
    *current = record;
    current->dwProfileID = ownId;

    if (level < 0 || level >= std::min(sectionDpiLevels, kDpiLevels)) level = 0;
    outcome.imported = true;
    outcome.curDpiLevel = level;
    return outcome;
}

ImportOutcome ImportProfile(ProfileStore& store, MacroLibrary& library, bool firstReadDone,
                            int sectionDpiLevels, StoreUi& ui) {
    if (store.Current() == nullptr) return {};
    const std::optional<std::string> path = ui.AskOpenPath(ProfileFileDialog(false));
    if (!path) return {};
    if (!firstReadDone) {
        ui.ShowMessage(Text("tc_adv_str15"));
        return {};
    }
    const FilePrefix file = ReadFilePrefix(*path, kExportFileSize);
    if (!file.Opened()) {
        const std::string tip = Text("tc_tip2");
        const std::string code = std::to_string(file.openError);
        ImportOutcome outcome;
        outcome.problem = std::strerror(file.openError);
        ui.ShowMessage((tip.empty() ? "Open Profile Err = " + code : tip + " " + code) + " (" +
                       *path + ": " + outcome.problem + ")");
        return outcome;
    }
    if (!file.ReadOk() || file.bytes.empty()) {
        ImportOutcome outcome;
        outcome.problem = file.readError != 0 ? std::strerror(file.readError) : "the file is empty";
        ui.ShowMessage("Read profile failed.");
        return outcome;
    }
    if (file.size != file.bytes.size()) {
        return RefuseAsInvalid(ui, "it has " + std::to_string(file.size) +
                                       " bytes, a profile file has exactly " +
                                       std::to_string(kExportFileSize));
    }
    return ImportProfileImage(file.bytes, store, library, sectionDpiLevels, ui);
}

}  // namespace vantor
