// The tree commands of the macro page: new macro, rename, delete, import and export of
// macro files, and the name check they share.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/file_io.h"
#include "base/log.h"
#include "base/save_failure.h"
#include "base/string_format.h"
#include "base/texts.h"
#include "keys/macro_compare.h"
#include "keys/macro_file.h"
#include "keys/macro_library.h"
#include "keys/safe_file_name.h"
#include "platform/paths.h"

namespace vantor {
namespace {

constexpr std::string_view kRefusedNameChars = "/\\?+=-*&%!#";
constexpr std::size_t kMaxExportedMacroFile = 1 << 20;

// Moves a file or folder without replacing anything at the target (a rename onto an
// existing name fails, as the user expects from a file manager). errno on failure.
bool MoveNoReplace(const std::string& from, const std::string& to, int* error) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno == EINVAL || errno == ENOSYS) {  // file system without RENAME_NOREPLACE
        struct stat info {};
        if (lstat(to.c_str(), &info) == 0) {
            *error = EEXIST;
            return false;
        }
        if (rename(from.c_str(), to.c_str()) == 0) return true;
    }
    *error = errno;
    return false;
}

bool IsMissingError(int error) {
    return error == ENOENT || error == ENOTDIR;
}

// Deletes a folder with everything in it. Folders without write permission are opened up
// first (the read-only attribute of the original); links are removed, never followed.
int RemoveFolderTree(const std::string& path) {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(path, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        }
    }
    error.clear();
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    error.clear();
    std::filesystem::remove_all(path, error);
    return error ? error.value() : 0;
}

// The file's name without folder and extension, as the open dialog reports it.
std::string FileTitle(const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::optional<std::string> CheckMacroName(std::string_view name, StoreUi& ui) {
    std::string checked(name);
    if (checked.find_first_of(kRefusedNameChars) == std::string::npos) {
        const std::size_t dot = checked.rfind('.');
        if (dot != std::string::npos) checked.resize(dot);
        if (!checked.empty()) return checked;
    }
    ui.ShowMessage(TextOr("tc_tip1", "Invalid file name."));
    return std::nullopt;
}

std::optional<LibraryItemId> MacroLibrary::NewMacroCommand(LibraryItemId selected, StoreUi& ui) {
    if (macros_.IsFull()) {
        ui.ShowMessage(kMacroListFullMessage);
        return std::nullopt;
    }
    const LibraryItem* parent = Item(selected);
    if (parent == nullptr || parent->kind != LibraryItemKind::kFolder) return std::nullopt;
    const std::optional<std::string> typed =
        ui.AskText(Text("tc_macro_msg11"), kMacroNameInputChars);
    if (!typed) return std::nullopt;
    const std::optional<std::string> name = CheckMacroName(*typed, ui);
    if (!name) return std::nullopt;
    if (SiblingHasText(selected, *name, kLibraryRoot)) {
        ui.ShowMessage(Text("tc_macro_msg8"));
        return std::nullopt;
    }
    MacroRecord record = NewMacro(*name);
    record.dwState = kMacroChangedBoth;
    if (macros_.Add(record) != MacroAddResult::kAdded) {
        ui.ShowMessage(kMacroListFullMessage);
        return std::nullopt;
    }
    const LibraryItemId id = InsertMacroItem(selected, *name, record.dwMacroID);
    if (events_ != nullptr) events_->ShowMacro(record.dwMacroID, true);
    return id;  // the file is written when the user saves
}

bool MacroLibrary::RenameItem(LibraryItemId id, StoreUi& ui) {
    const LibraryItem* item = Item(id);
    if (item == nullptr || id == kLibraryRoot) return false;
    const bool isMacro = item->kind == LibraryItemKind::kMacro;
    const std::optional<std::string> typed =
        ui.AskText(Text(isMacro ? "tc_macro_msg11" : "tc_macro_msg13"), kMacroNameInputChars);
    if (!typed) return false;
    const std::optional<std::string> name = CheckMacroName(*typed, ui);
    if (!name) return false;
    if (SiblingHasText(item->parent, *name, id)) {
        ui.ShowMessage(Text("tc_macro_msg8"));
        return false;
    }
    const std::optional<std::string> oldPath = ItemPath(id);
    const std::optional<std::string> folder = FolderPath(item->parent);
    if (!oldPath || !folder) {
        ui.ShowMessage("Rename failed.");
        return false;
    }
    const LibraryItemId parent = item->parent;
    const std::string oldDiskName = item->diskName;
    std::string newDiskName;
    int error = 0;
    if (isMacro) {
        MacroRecord* record = macros_.FindById(item->macroId);
        if (record == nullptr) {
            ui.ShowMessage("Rename failed.");
            return false;
        }
        // The record takes the new name first; a failed move leaves the old file name.
        SetMacroName(*record, *name);
        record->dwState |= kMacroSettingsChanged;
        // A failed write is logged and leaves the record marked changed, so it is written
        // again with the next flush; the rename goes on.
        (void)WriteMacroFile(*oldPath, *record);
        const std::string stem = SafeFileNameStem(*name);
        newDiskName =
            stem + ".qxm" == oldDiskName ? oldDiskName : UniqueDiskName(parent, stem, ".qxm");
        if (newDiskName != oldDiskName && !MoveNoReplace(*oldPath, *folder + newDiskName, &error)) {
            ui.ShowMessage(StringPrintf("Rename failed. err=0x%x", static_cast<unsigned>(error)));
            return false;
        }
    } else {
        newDiskName = SafeFileNameStem(*name);
        const std::string oldIcon = *oldPath + "/" + oldDiskName + ".png";
        const std::string newIcon = *oldPath + "/" + newDiskName + ".png";
        const bool iconMoved = newDiskName != oldDiskName && FileExists(oldIcon) &&
                               MoveNoReplace(oldIcon, newIcon, &error);
        if (newDiskName != oldDiskName && !MoveNoReplace(*oldPath, *folder + newDiskName, &error)) {
            if (iconMoved) MoveNoReplace(newIcon, oldIcon, &error);
            ui.ShowMessage(StringPrintf("Rename failed. err=0x%x", static_cast<unsigned>(error)));
            return false;
        }
    }
    LibraryItem* renamed = MutableItem(id);
    renamed->text = *name;
    renamed->diskName = newDiskName;
    if (!isMacro) {
        // The folder's content is read again from its new place.
        RemoveChildren(id, false);
        const std::string path = *folder + newDiskName;
        const std::string icon = path + "/" + newDiskName + ".png";
        renamed->iconPath = FileExists(icon) ? icon : std::string();
        LoadFolder(path, true, id, false, false);
    }
    Notify(&MacroLibraryEvents::MacroNamesChanged);
    return true;
}

bool MacroLibrary::DeleteItem(LibraryItemId id, StoreUi& ui) {
    if (id == kLibraryRoot) {
        ui.ShowMessage(Text("tc_macro_msg1"));
        return false;
    }
    const LibraryItem* item = Item(id);
    if (item == nullptr) {
        ui.ShowMessage(StringPrintf("Operation failed, hItem = 0x%x, pItem = 0x%x.", id, 0u));
        return false;
    }
    if (!ui.Ask(Text("tc_msg6"))) return false;
    const std::optional<std::string> path = ItemPath(id);
    if (!path) {
        ui.ShowMessage("Get file path failed.");
        return false;
    }
    const bool isMacro = item->kind == LibraryItemKind::kMacro;
    RemoveItem(id);  // also takes the macros out of the list
    Notify(&MacroLibraryEvents::MacroNamesChanged);
    Notify(&MacroLibraryEvents::ClearEditor);
    if (!isMacro) {
        const int error = RemoveFolderTree(*path);
        if (error != 0 && !IsMissingError(error)) {
            ui.ShowMessage(StringPrintf("Remove Directory failed, err = %d.", error));
        }
    } else if (unlink(path->c_str()) != 0 && !IsMissingError(errno)) {
        const int error = errno;
        DbgLog("DeleteFile %s, err=%d", path->c_str(), error);
        ui.ShowMessage(StringPrintf("Delete File failed, err = %d.", error));
    }
    return true;
}

std::optional<LibraryItemId> MacroLibrary::ImportMacroFile(LibraryItemId target, StoreUi& ui) {
    const LibraryItem* folder = Item(target);
    if (folder == nullptr || folder->kind != LibraryItemKind::kFolder) return std::nullopt;
    const std::optional<std::string> chosen = ui.AskOpenPath({kMacroFileFilter, "", ".qxm", false});
    if (!chosen) return std::nullopt;
    const std::string title = FileTitle(*chosen);
    if (SiblingHasText(target, title, kLibraryRoot)) {
        ui.ShowMessage(Text("tc_macro_msg8"));
        return std::nullopt;
    }
    MacroFileResult file = ReadMacroFile(*chosen);
    if (file.status != MacroFileStatus::kOk) {
        ui.ShowMessage(MacroFileErrorText(file));
        return std::nullopt;
    }
    if (HasUnsupportedMouseButton(file.record, kMacroEditorButtonMask)) {
        ui.ShowMessage(kUnsupportedKeyMessage);
        return std::nullopt;
    }
    MacroRecord& record = file.record;
    SetMacroName(record, title);
    record.dwMacroID = NewMacroId();
    record.dwState = kMacroChangedBoth;
    if (macros_.Add(record) != MacroAddResult::kAdded) {
        ui.ShowMessage(kMacroListFullMessage);
        return std::nullopt;
    }
    const LibraryItemId id = InsertMacroItem(target, title, record.dwMacroID);
    if (events_ != nullptr) events_->ShowMacro(record.dwMacroID, false);
    (void)Flush_Dirty_Macro(id);  // a failed write is logged and leaves the macro marked
    return id;
}

bool MacroLibrary::ExportMacroFile(LibraryItemId id, StoreUi& ui) {
    const LibraryItem* item = Item(id);
    if (item == nullptr || item->kind != LibraryItemKind::kMacro) return false;
    const MacroRecord* record = macros_.FindById(item->macroId);
    const std::string name = record != nullptr ? MacroName(*record) : item->text;
    const std::optional<std::string> target =
        ui.AskSavePath({kMacroFileFilter, SafeMacroFileName(name), ".qxm", true});
    if (!target) return false;
    const std::optional<std::string> source = ItemPath(id);
    std::optional<std::vector<std::uint8_t>> bytes;
    if (source) bytes = ReadWholeFile(*source, kMaxExportedMacroFile);
    int error = bytes ? 0 : ENOENT;
    if (!bytes || !WriteFileAtomic(*target, bytes->data(), bytes->size(), &error)) {
        DbgLog("ExportMacro: copy file err=0x%x", static_cast<unsigned>(error));
        ui.ShowMessage(SaveFailedText(*target, error));
        return false;
    }
    return true;
}

bool MacroLibrary::MoveMacroItem(LibraryItemId id, LibraryItemId folder, StoreUi& ui) {
    const LibraryItem* item = Item(id);
    const LibraryItem* target = Item(folder);
    if (item == nullptr || id == kLibraryRoot || item->kind != LibraryItemKind::kMacro ||
        target == nullptr || target->kind != LibraryItemKind::kFolder || item->parent == folder) {
        return false;
    }
    if (SiblingHasText(folder, item->text, kLibraryRoot)) {
        ui.ShowMessage(Text("tc_macro_msg8"));
        return false;
    }
    const std::optional<std::string> from = ItemPath(id);
    const std::optional<std::string> to = FolderPath(folder);
    if (!from || !to) {
        ui.ShowMessage("Rename failed.");
        return false;
    }
    const std::string stem = item->diskName.substr(0, item->diskName.rfind('.'));
    const std::string extension = item->diskName.rfind('.') == std::string::npos
                                      ? ""
                                      : item->diskName.substr(item->diskName.rfind('.'));
    const std::string diskName = UniqueDiskName(folder, stem, extension);
    int error = 0;
    // A new macro has no file until it is saved: then only the item moves.
    if (FileExists(*from) && !MoveNoReplace(*from, *to + diskName, &error)) {
        ui.ShowMessage(StringPrintf("Rename failed. err=0x%x", static_cast<unsigned>(error)));
        return false;
    }
    const LibraryItemId oldParent = item->parent;
    std::vector<LibraryItemId>& siblings = MutableItem(oldParent)->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
    MutableItem(folder)->children.push_back(id);
    LibraryItem* moved = MutableItem(id);
    moved->parent = folder;
    moved->diskName = diskName;
    return true;
}

}  // namespace vantor
