#include "keys/macro_library.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/file_io.h"
#include "base/log.h"
#include "base/utf.h"
#include "keys/key_functions.h"
#include "keys/letter_case.h"
#include "keys/macro_file.h"
#include "keys/safe_file_name.h"
#include "platform/paths.h"

namespace vantor {
namespace {

constexpr std::uint32_t kIdMask = 0x00FFFFFFu;
constexpr std::size_t kMaxScanPath = 257;  // folders with longer paths are not scanned
constexpr std::size_t kMaxItemPath = 259;
constexpr int kMaxLevels = 20;
constexpr int kMaxNameSuffix = 1000;

// The tree text of a file: its name cut at the last ".".
std::string TextOfFile(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// Entries of a folder sorted by name, so that the tree and the list have a stable order.
std::vector<std::filesystem::directory_entry> SortedEntries(const std::string& folder) {
    std::vector<std::filesystem::directory_entry> entries;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        entries.push_back(*it);
    }
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.path().filename() < b.path().filename();
    });
    return entries;
}

}  // namespace

bool LibraryNamesEqual(std::string_view a, std::string_view b) {
    const std::u16string ua = Utf8ToUtf16(a);
    const std::u16string ub = Utf8ToUtf16(b);
    if (ua.size() != ub.size()) return false;
    for (std::size_t i = 0; i < ua.size(); ++i) {
        if (ToLowerLetter(ua[i]) != ToLowerLetter(ub[i])) return false;
    }
    return true;
}

MacroLibrary::MacroLibrary(std::string rootFolder, int macroDir)
    : root_(WithTrailingSlash(std::move(rootFolder))), macroDir_(macroDir) {
    items_[kLibraryRoot] = LibraryItem{};
}

const LibraryItem* MacroLibrary::Item(LibraryItemId id) const {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : &it->second;
}

LibraryItem* MacroLibrary::MutableItem(LibraryItemId id) {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : &it->second;
}

const std::vector<LibraryItemId>& MacroLibrary::Children(LibraryItemId parent) const {
    static const std::vector<LibraryItemId> kNone;
    const LibraryItem* item = Item(parent);
    return item == nullptr ? kNone : item->children;
}

std::optional<LibraryItemId> MacroLibrary::FindMacroItem(std::uint32_t macroId) const {
    for (const auto& [id, item] : items_) {
        if (item.kind == LibraryItemKind::kMacro &&
            (item.macroId & kIdMask) == (macroId & kIdMask)) {
            return id;
        }
    }
    return std::nullopt;
}

LibraryItemId MacroLibrary::InsertItem(LibraryItemId parent, LibraryItem item) {
    const LibraryItemId id = nextId_++;
    item.parent = parent;
    items_[id] = std::move(item);
    items_[parent].children.push_back(id);
    return id;
}

LibraryItemId MacroLibrary::InsertMacroItem(LibraryItemId parent, const std::string& text,
                                            std::uint32_t macroId) {
    LibraryItem item;
    item.kind = LibraryItemKind::kMacro;
    item.text = text;
    item.diskName = UniqueDiskName(parent, SafeFileNameStem(text), ".qxm");
    item.macroId = macroId;
    return InsertItem(parent, std::move(item));
}

void MacroLibrary::RemoveChildren(LibraryItemId id, bool removeMacros) {
    LibraryItem* item = MutableItem(id);
    if (item == nullptr) return;
    const std::vector<LibraryItemId> children = std::move(item->children);
    item->children.clear();
    for (LibraryItemId child : children) {
        RemoveChildren(child, removeMacros);
        auto it = items_.find(child);
        if (it == items_.end()) continue;
        if (removeMacros && it->second.kind == LibraryItemKind::kMacro) {
            // A tree loaded without filling the list has no record to remove.
            (void)macros_.Remove(it->second.macroId);
        }
        items_.erase(it);
    }
}

void MacroLibrary::RemoveItem(LibraryItemId id) {
    if (id == kLibraryRoot) return;
    LibraryItem* item = MutableItem(id);
    if (item == nullptr) return;
    RemoveChildren(id, true);
    // A tree loaded without filling the list has no record to remove.
    if (item->kind == LibraryItemKind::kMacro) (void)macros_.Remove(item->macroId);
    auto& siblings = items_[item->parent].children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
    items_.erase(id);
}

std::optional<std::string> MacroLibrary::FolderPath(LibraryItemId folder) const {
    std::vector<const LibraryItem*> chain;
    LibraryItemId id = folder;
    while (id != kLibraryRoot) {
        const LibraryItem* item = Item(id);
        if (item == nullptr || static_cast<int>(chain.size()) >= kMaxLevels) return std::nullopt;
        chain.push_back(item);
        id = item->parent;
    }
    std::string path = root_;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) path += (*it)->diskName + "/";
    if (path.size() > kMaxItemPath) return std::nullopt;
    return path;
}

std::optional<std::string> MacroLibrary::ItemPath(LibraryItemId id) const {
    const LibraryItem* item = Item(id);
    if (item == nullptr || id == kLibraryRoot) return std::nullopt;
    std::optional<std::string> folder = FolderPath(item->parent);
    if (!folder) return std::nullopt;
    // A path longer than the limit fails instead of being cut, which would name another file.
    std::string path = *folder + item->diskName;
    if (path.size() > kMaxItemPath) return std::nullopt;
    return path;
}

std::string MacroLibrary::UniqueDiskName(LibraryItemId parent, const std::string& stem,
                                         const std::string& extension) const {
    const std::string folder = FolderPath(parent).value_or(root_);
    auto taken = [&](const std::string& name) {
        for (LibraryItemId child : Children(parent)) {
            if (Item(child)->diskName == name) return true;
        }
        return PathExists(folder + name);
    };
    std::string name = stem + extension;
    for (int n = 2; taken(name) && n < kMaxNameSuffix; ++n) {
        name = stem + " (" + std::to_string(n) + ")" + extension;
    }
    return name;
}

bool MacroLibrary::SiblingHasText(LibraryItemId parent, std::string_view text,
                                  LibraryItemId except) const {
    for (LibraryItemId child : Children(parent)) {
        if (child != except && LibraryNamesEqual(Item(child)->text, text)) return true;
    }
    return false;
}

void MacroLibrary::Notify(void (MacroLibraryEvents::*hook)()) {
    if (events_ != nullptr) (events_->*hook)();
}

void MacroLibrary::LoadLibrary(bool addToList) {
    RemoveChildren(kLibraryRoot, false);
    if (addToList) macros_.Clear();
    LoadFolder(root_, true, kLibraryRoot, false, addToList);
}

void MacroLibrary::TakeLoaded(MacroLibrary&& loaded) {
    macros_ = std::move(loaded.macros_);
    items_ = std::move(loaded.items_);
    nextId_ = loaded.nextId_;
    loaded.items_.clear();
    loaded.items_[kLibraryRoot] = LibraryItem{};
    loaded.nextId_ = 1;
}

void MacroLibrary::LoadFolder(const std::string& path, bool recursive, LibraryItemId parent,
                              bool renewIds, bool addToList) {
    int depth = 0;
    for (LibraryItemId id = parent; id != kLibraryRoot && Item(id) != nullptr;
         id = Item(id)->parent) {
        ++depth;
    }
    LoadFolderAt(path, recursive, parent, renewIds, addToList, depth);
}

void MacroLibrary::LoadFolderAt(const std::string& path, bool recursive, LibraryItemId parent,
                                bool renewIds, bool addToList, int depth) {
    const std::string folder = WithTrailingSlash(path);
    if (folder.size() >= kMaxScanPath) return;
    for (const auto& entry : SortedEntries(folder)) {
        const std::string name = entry.path().filename().string();
        std::error_code error;
        // Links are not followed: a link to a folder above would make the scan endless.
        const auto status = entry.symlink_status(error);
        if (error) continue;
        if (std::filesystem::is_directory(status)) {
            if (name.empty() || name[0] == '.' || name[0] == '$') continue;
            if (macroDir_ == 0 || !recursive || depth + 1 >= kMaxLevels) continue;
            LibraryItem item;
            item.kind = LibraryItemKind::kFolder;
            item.text = name;
            item.diskName = name;
            const std::string icon = folder + name + "/" + name + ".png";
            if (FileExists(icon)) item.iconPath = icon;
            const LibraryItemId id = InsertItem(parent, std::move(item));
            LoadFolderAt(folder + name, true, id, renewIds, addToList, depth + 1);
            continue;
        }
        if (!std::filesystem::is_regular_file(status) || IsAtomicWriteTempName(name)) continue;
        MacroFileResult file = ReadMacroFile(folder + name);
        if (file.status != MacroFileStatus::kOk) continue;
        if (renewIds) {
            file.record.dwMacroID = NewMacroId();
            file.record.dwState |= kMacroSettingsChanged;
        }
        if (addToList && macros_.Add(file.record) != MacroAddResult::kAdded) continue;
        LibraryItem item;
        item.kind = LibraryItemKind::kMacro;
        item.text = TextOfFile(name);
        item.diskName = name;
        item.macroId = file.record.dwMacroID;
        InsertItem(parent, std::move(item));
    }
}

bool MacroLibrary::Add_Macro(const MacroRecord& record) {
    if (record.dwMagicNumber != kMacroMagicNumber) {
        DbgLog("Add_Macro: FAILED, dwMagicNumber=0x%x", std::uint32_t(record.dwMagicNumber));
        return false;
    }
    MacroRecord copy = record;
    // Names from the device or a file may lack their terminator; keep at most 39 characters.
    const std::string name = MacroName(copy);
    SetMacroName(copy, name);
    copy.dwState = kMacroChangedBoth;
    if (macros_.Add(copy) != MacroAddResult::kAdded) return false;
    // A failed write is logged and leaves the macro marked; the macro is in the library.
    (void)Flush_Dirty_Macro(InsertMacroItem(kLibraryRoot, name, copy.dwMacroID));
    return true;
}

std::uint32_t MacroLibrary::ReplaceMacro(std::uint32_t id, const MacroRecord& content) {
    MacroRecord* existing = macros_.FindById(id);
    if (existing == nullptr || content.dwMagicNumber != kMacroMagicNumber) return 0;
    MacroRecord replacement = content;
    replacement.dwMacroID = existing->dwMacroID;
    // The name stays, so the record keeps matching its file and its tree item.
    std::copy(std::begin(existing->szName), std::end(existing->szName),
              std::begin(replacement.szName));
    replacement.dwState = kMacroChangedBoth;
    *existing = replacement;
    if (events_ != nullptr) events_->MacroReplaced(id);
    if (std::optional<LibraryItemId> item = FindMacroItem(id)) {
        (void)Flush_Dirty_Macro(*item);  // a failed write is logged and leaves the macro marked
    }
    return id;
}

bool MacroLibrary::Flush_Dirty_Macro(LibraryItemId id) {
    const LibraryItem* item = Item(id);
    if (item == nullptr || id == kLibraryRoot) {
        DbgLog("Flush_Dirty_Macro: pItem=0x%0x(%s) error", id, "");
        return false;
    }
    if (item->kind != LibraryItemKind::kMacro) return true;
    const std::optional<std::string> path = ItemPath(id);
    if (!path) {
        DbgLog("Flush_Dirty_Macro: TreeItem_To_FilePath failed");
        ++failedWrites_;
        lastWriteError_ = 0;
        return false;
    }
    MacroRecord* record = macros_.FindById(item->macroId);
    if (record == nullptr) {
        DbgLog("Flush_Dirty_Macro: pItem=0x%0x(%s) error", id, item->text.c_str());
        return false;
    }
    if ((record->dwState & kMacroChangedBoth) == 0) return true;
    if (writer_ != nullptr) {
        MacroRecord clean = *record;
        clean.dwState &= ~kMacroChangedBoth;
        const MacroFileBytes bytes = EncodeMacroFile(clean);
        record->dwState = clean.dwState;
        writer_->Write(*path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                       [folder = *path] { return MakeSureFolderExist(folder); });
        return true;
    }
    int error = 0;
    if (WriteMacroFile(*path, *record, &error)) return true;
    ++failedWrites_;
    lastWriteError_ = error;
    if (events_ != nullptr) events_->MacroSaveFailed(record->dwMacroID);
    return false;
}

bool MacroLibrary::MacroWriteFailed(const std::string& path, int error) {
    for (const auto& [id, item] : items_) {
        if (item.kind != LibraryItemKind::kMacro || ItemPath(id) != path) continue;
        ++failedWrites_;
        lastWriteError_ = error;
        if (MacroRecord* record = macros_.FindById(item.macroId)) {
            record->dwState |= kMacroChangedBoth;
        }
        if (events_ != nullptr) events_->MacroSaveFailed(item.macroId);
        return true;
    }
    return false;
}

void MacroLibrary::FlushAllDirty() {
    std::vector<LibraryItemId> macros;
    for (const auto& [id, item] : items_) {
        if (item.kind == LibraryItemKind::kMacro) macros.push_back(id);
    }
    for (LibraryItemId id : macros) (void)Flush_Dirty_Macro(id);
}

const MacroRecord* MacroLibrary::FindMacroByName(std::string_view utf8Name) const {
    return macros_.FindByName(utf8Name);
}

const MacroRecord* MacroLibrary::FindMacroById(std::uint32_t id) const {
    return macros_.FindById(id);
}

bool MacroLibrary::AddMacro(const MacroRecord& macro) {
    return Add_Macro(macro);
}

void MacroLibrary::ReplaceMacro(const MacroRecord& existing, const MacroRecord& content) {
    ReplaceMacro(std::uint32_t(existing.dwMacroID), content);
}

}  // namespace vantor
