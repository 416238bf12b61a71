// The macro library: one macro file per macro under the library root (the "Mac" folder of
// the data folder), the macro list in memory, and a tree of folders and macros that the
// macro page and the macro picker show. Loading, adding, replacing and writing back macros
// live here; the tree commands of the macro page (new, rename, delete, import, export) are
// in macro_library_files.cpp.
//
// File names are made from macro names with SafeFileNameStem, so a name that came from the
// device or from an imported file never writes outside the library root. The tree item
// remembers the real file name, so a file whose name is not "<name>.qxm" (abc.txt) is still
// the file that is written back, renamed and deleted.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_writer.h"
#include "base/store_ui.h"
#include "keys/macro_library_access.h"
#include "keys/macro_list.h"

namespace vantor {

enum class LibraryItemKind { kMacro = 1, kFolder = 2 };

using LibraryItemId = std::uint32_t;
constexpr LibraryItemId kLibraryRoot = 0;  // the root; also "nothing selected"

struct LibraryItem {
    LibraryItemKind kind = LibraryItemKind::kFolder;
    std::string text;           // tree text: the macro or folder name
    std::string diskName;       // name in the file system ("x.qxm", "folder")
    std::uint32_t macroId = 0;  // macros: bits 0-23 are compared with the record's id
    LibraryItemId parent = kLibraryRoot;
    std::vector<LibraryItemId> children;
    std::string iconPath;  // folders: "<parent>/<name>/<name>.png" when it exists
};

// What the pages do when the library changes. Every hook is optional.
class MacroLibraryEvents {
  public:
    virtual ~MacroLibraryEvents() = default;
    // The macro editor shows the macro; the save button is shown or hidden.
    virtual void ShowMacro(std::uint32_t /*id*/, bool /*saveButtonShown*/) {}
    // The editor's event list is emptied.
    virtual void ClearEditor() {}
    // A macro got new content from outside; the editor empties when it showed it.
    virtual void MacroReplaced(std::uint32_t /*id*/) {}
    // Macro names or the set of macros changed: the button page refreshes its labels and,
    // with ApplyNow, asks the apply worker to write all keys (button index 255).
    virtual void MacroNamesChanged() {}
    // The file of macro `id` could not be written: it stays marked as changed.
    virtual void MacroSaveFailed(std::uint32_t /*id*/) {}
};

constexpr std::uint32_t kMacroChangedBoth = kMacroEventsChanged | kMacroSettingsChanged;
constexpr int kMacroNameInputChars = 15;  // names typed by the user
constexpr std::uint32_t kMacroEditorButtonMask = 0x1F;
constexpr const char* kMacroFileFilter = "qxm(*.qxm)|*.qxm|";

class MacroLibrary : public MacroLibraryAccess {
  public:
    // `rootFolder` is the library root, e.g. dataDir + "Mac/". `macroDir` is the MacroDir
    // option: 0 loads only the files directly in the root, otherwise folders as well.
    MacroLibrary(std::string rootFolder, int macroDir);

    void SetEvents(MacroLibraryEvents* events) { events_ = events; }
    // Macro files go to `writer` as finished bytes (the window program's writer thread);
    // without one they are written at once. The record counts as saved when it is handed
    // over; a write that fails later comes back through MacroWriteFailed.
    void SetFileWriter(FileWriter* writer) { writer_ = writer; }
    // A write of `path` failed: when it is the file of a library macro, the macro is marked
    // as changed again (so the next save or the exit writes it), the failure is counted and
    // the pages are told. False when `path` is no macro file of the library.
    bool MacroWriteFailed(const std::string& path, int error);
    // Writes the file of every macro marked as changed.
    void FlushAllDirty();
    const std::string& Root() const { return root_; }
    MacroList& Macros() { return macros_; }
    const MacroList& Macros() const { return macros_; }

    // Rebuilds the tree from the root folder; with `addToList` the macro list is emptied
    // and filled from the files as well.
    void LoadLibrary(bool addToList);
    // Takes over the tree and the macro list of `loaded`, a library of the same root that
    // was loaded elsewhere: the program loads it on a worker thread so that the window
    // thread never waits for up to MacroMaxCount files. The event hooks stay.
    void TakeLoaded(MacroLibrary&& loaded);
    // Scans one folder into `parent`: sub-folders (recursively, with MacroDir) and every
    // file that holds a macro record, whatever its extension.
    void LoadFolder(const std::string& path, bool recursive, LibraryItemId parent, bool renewIds,
                    bool addToList);

    // Tree access. Item(kLibraryRoot) is the root folder.
    const LibraryItem* Item(LibraryItemId id) const;
    const std::vector<LibraryItemId>& Children(LibraryItemId parent) const;
    std::optional<LibraryItemId> FindMacroItem(std::uint32_t macroId) const;
    // Root, ancestor folders, then the item's file or folder name; nothing when the item is
    // unknown, nested deeper than 20 levels or the path would exceed 259 characters.
    std::optional<std::string> ItemPath(LibraryItemId id) const;

    // Adds a record that came from the device or an import to the root and writes its file
    // (a file that cannot be written is left for the next flush). False for a record
    // without the macro magic or a full list.
    [[nodiscard]] bool Add_Macro(const MacroRecord& record);
    // Gives the library macro `id` the content of `content`, keeping its own id and name,
    // and rewrites its file. Returns the id, or 0 when there is no such macro or `content`
    // is not a macro record.
    std::uint32_t ReplaceMacro(std::uint32_t id, const MacroRecord& content);
    // Writes the macro file of a macro item when its record is marked as changed.
    [[nodiscard]] bool Flush_Dirty_Macro(LibraryItemId item);
    // How many macro file writes failed so far, and the system error of the last one (0 when
    // the file had no path); a caller compares the count before and after its work.
    int FailedWrites() const { return failedWrites_; }
    int LastWriteError() const { return lastWriteError_; }

    // Tree commands of the macro page.
    std::optional<LibraryItemId> NewMacroCommand(LibraryItemId selected, StoreUi& ui);
    [[nodiscard]] bool RenameItem(LibraryItemId item, StoreUi& ui);
    // kLibraryRoot means nothing is selected.
    [[nodiscard]] bool DeleteItem(LibraryItemId item, StoreUi& ui);
    std::optional<LibraryItemId> ImportMacroFile(LibraryItemId target, StoreUi& ui);
    [[nodiscard]] bool ExportMacroFile(LibraryItemId item, StoreUi& ui);
    // Moves a macro into `folder` (the root or a folder item): its file goes into the
    // folder, keeping its name unless a file there uses it. A sibling with the same name
    // refuses the move with tc_macro_msg8; a failed file move leaves everything in place.
    [[nodiscard]] bool MoveMacroItem(LibraryItemId item, LibraryItemId folder, StoreUi& ui);

    // MacroLibraryAccess.
    const MacroRecord* FindMacroByName(std::string_view utf8Name) const override;
    const MacroRecord* FindMacroById(std::uint32_t id) const override;
    [[nodiscard]] bool AddMacro(const MacroRecord& macro) override;
    void ReplaceMacro(const MacroRecord& existing, const MacroRecord& content) override;

  private:
    LibraryItem* MutableItem(LibraryItemId id);
    LibraryItemId InsertItem(LibraryItemId parent, LibraryItem item);
    // A macro item under `parent` with a file name of its own made from `text`.
    LibraryItemId InsertMacroItem(LibraryItemId parent, const std::string& text,
                                  std::uint32_t macroId);
    void RemoveItem(LibraryItemId id);  // with its children; their macros leave the list
    void RemoveChildren(LibraryItemId id, bool removeMacros);
    std::optional<std::string> FolderPath(LibraryItemId folder) const;  // with trailing '/'
    // A file name in `parent` from `stem` + `extension` that no sibling and no file uses.
    std::string UniqueDiskName(LibraryItemId parent, const std::string& stem,
                               const std::string& extension) const;
    bool SiblingHasText(LibraryItemId parent, std::string_view text, LibraryItemId except) const;
    void LoadFolderAt(const std::string& path, bool recursive, LibraryItemId parent, bool renewIds,
                      bool addToList, int depth);
    void Notify(void (MacroLibraryEvents::*hook)());

    std::string root_;
    int macroDir_;
    MacroList macros_;
    std::map<LibraryItemId, LibraryItem> items_;
    LibraryItemId nextId_ = 1;
    MacroLibraryEvents* events_ = nullptr;
    FileWriter* writer_ = nullptr;
    int failedWrites_ = 0;
    int lastWriteError_ = 0;
};

// Checks a typed macro or folder name: the characters / \ ? + = - * & % ! # are refused
// with the tc_tip1 text (or "Invalid file name."), and so is a name that is empty once an
// extension (from its last ".") is dropped. Returns the name without the extension.
std::optional<std::string> CheckMacroName(std::string_view name, StoreUi& ui);

// Case-insensitive comparison of two names, as the tree compares sibling texts.
bool LibraryNamesEqual(std::string_view a, std::string_view b);

}  // namespace vantor
