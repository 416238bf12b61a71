#include "keys/macro_library.h"
#include "profile/profile_record.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "base/file_writer.h"
#include "base/save_failure.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "keys/macro_file.h"
#include "keys/safe_file_name.h"
#include "tests/keys/scripted_store_ui.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

MacroRecord Macro(const char* name, std::uint32_t id, std::uint16_t code = 0x41) {
    MacroRecord m{};
    m.dwMagicNumber = kMacroMagicNumber;
    m.dwMacroID = id;
    SetMacroName(m, name);
    m.stEvents[0].wCode = code;
    m.stEvents[0].wKind = kMacroKindPress;
    return m;
}

void PutMacroFile(const std::string& path, MacroRecord record) {
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(WriteMacroFile(path, record));
}

class RecordingEvents : public MacroLibraryEvents {
  public:
    void ShowMacro(std::uint32_t id, bool save) override { shown.emplace_back(id, save); }
    void ClearEditor() override { ++cleared; }
    void MacroReplaced(std::uint32_t id) override { replaced.push_back(id); }
    void MacroNamesChanged() override { ++namesChanged; }
    void MacroSaveFailed(std::uint32_t id) override { saveFailed.push_back(id); }
    std::vector<std::pair<std::uint32_t, bool>> shown;
    std::vector<std::uint32_t> saveFailed;
    std::vector<std::uint32_t> replaced;
    int cleared = 0;
    int namesChanged = 0;
};

class MacroLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LoadTexts(test::SourceDataDir() + "text.xml");
        fs::create_directories(Root());
    }

    std::string Root() const { return dir_ / "Mac/"; }
    MacroLibrary& Library(int macroDir = 1) {
        library_.emplace(Root(), macroDir);
        library_->SetEvents(&events_);
        library_->LoadLibrary(true);
        return *library_;
    }
    // The child of `parent` with the tree text, or kLibraryRoot.
    LibraryItemId Child(LibraryItemId parent, const std::string& text) const {
        for (LibraryItemId id : library_->Children(parent)) {
            if (library_->Item(id)->text == text) return id;
        }
        return kLibraryRoot;
    }
    std::vector<std::string> FilesUnder(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(folder)) {
            names.push_back(fs::relative(e.path(), folder).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir_;
    std::optional<MacroLibrary> library_;
    RecordingEvents events_;
    test::ScriptedStoreUi ui_;
};

TEST_F(MacroLibraryTest, ScanLoadsEveryMacroFileAndFoldersOnlyWithMacroDir) {
    PutMacroFile(Root() + "abc.txt", Macro("other name", 0x11));
    PutMacroFile(Root() + "Group/inner.qxm", Macro("inner", 0x12));
    PutMacroFile(Root() + ".hidden/h.qxm", Macro("h", 0x13));
    test::WriteText(Root() + "junk.qxm", std::string(kMacroRecordSize, 'x'));
    test::WriteText(Root() + "short.qxm", "abc");
    fs::create_directory_symlink(Root(), Root() + "loop");

    MacroLibrary& flat = Library(0);
    ASSERT_EQ(flat.Children(kLibraryRoot).size(), 1u);
    EXPECT_EQ(flat.Item(Child(kLibraryRoot, "abc"))->macroId, 0x11u);
    EXPECT_EQ(flat.Macros().Count(), 1);

    MacroLibrary& nested = Library(1);
    EXPECT_EQ(nested.Macros().Count(), 2);
    const LibraryItemId group = Child(kLibraryRoot, "Group");
    ASSERT_NE(group, kLibraryRoot);
    EXPECT_EQ(nested.Item(group)->kind, LibraryItemKind::kFolder);
    const LibraryItemId inner = Child(group, "inner");
    EXPECT_EQ(nested.ItemPath(inner), Root() + "Group/inner.qxm");
    // The file keeps its real name when it is written back.
    nested.Macros().FindById(0x11)->dwState = kMacroEventsChanged;
    EXPECT_TRUE(nested.Flush_Dirty_Macro(Child(kLibraryRoot, "abc")));
    EXPECT_FALSE(fs::exists(Root() + "abc.qxm"));
}

// A crash between writing and renaming leaves the temporary copy of a complete macro file.
// The window loads the library on a worker thread into a library of its own and takes it
// over on the window thread; what is added afterwards must not reuse a taken item.
TEST_F(MacroLibraryTest, TakingOverALoadedLibraryKeepsItsTreeListAndItemNumbers) {
    PutMacroFile(Root() + "a.qxm", Macro("a", 1));
    PutMacroFile(Root() + "sub/b.qxm", Macro("b", 2));
    MacroLibrary loaded(Root(), 1);
    loaded.LoadLibrary(true);
    MacroLibrary& library = Library();
    library.TakeLoaded(MacroLibrary(Root(), 1));  // an empty one empties it
    EXPECT_EQ(library.Macros().Count(), 0);
    EXPECT_TRUE(library.Children(kLibraryRoot).empty());
    library.TakeLoaded(std::move(loaded));
    EXPECT_EQ(library.Macros().Count(), 2);
    const LibraryItemId sub = Child(kLibraryRoot, "sub");
    ASSERT_NE(sub, kLibraryRoot);
    EXPECT_NE(Child(sub, "b"), kLibraryRoot);
    ASSERT_TRUE(library.Add_Macro(Macro("c", 3)));
    const LibraryItemId c = Child(kLibraryRoot, "c");
    EXPECT_NE(c, Child(kLibraryRoot, "a"));
    EXPECT_NE(c, sub);
    EXPECT_NE(c, Child(sub, "b"));
    EXPECT_EQ(library.ItemPath(Child(sub, "b")), Root() + "sub/b.qxm");
}

TEST_F(MacroLibraryTest, ScanSkipsTheLeftoverOfAnInterruptedWrite) {
    PutMacroFile(Root() + "keep.qxm", Macro("keep", 0x21));
    fs::copy_file(Root() + "keep.qxm", Root() + "keep.qxm.tmpAb12Cd");
    PutMacroFile(Root() + "draft.tmp", Macro("draft", 0x22));  // a name, not a leftover

    MacroLibrary& library = Library();
    EXPECT_EQ(library.Macros().Count(), 2);
    EXPECT_NE(Child(kLibraryRoot, "keep"), kLibraryRoot);
    EXPECT_NE(Child(kLibraryRoot, "draft"), kLibraryRoot);
    EXPECT_EQ(Child(kLibraryRoot, "keep.qxm"), kLibraryRoot);
}

TEST_F(MacroLibraryTest, AddMacroWritesInsideTheRootWhateverTheName) {
    MacroLibrary& library = Library();
    for (const char* name : {"../../x", "/etc/passwd", "a\\b", "..", "CON", ""}) {
        ASSERT_TRUE(library.Add_Macro(Macro(name, NewMacroId()))) << name;
    }
    MacroRecord noMagic = Macro("bad", 0x99);
    noMagic.dwMagicNumber = 0;
    EXPECT_FALSE(library.Add_Macro(noMagic));

    EXPECT_EQ(FilesUnder(dir_.path()).size(), 7u);  // Mac and six files in it
    for (const std::string& name : FilesUnder(Root())) {
        EXPECT_EQ(name.find('/'), std::string::npos) << name;
        EXPECT_EQ(ReadMacroFile(Root() + name).status, MacroFileStatus::kOk) << name;
    }
    EXPECT_TRUE(fs::exists(Root() + SafeMacroFileName("../../x")));
    EXPECT_EQ(library.Macros().Count(), 6);
    EXPECT_EQ(library.Macros().At(0).dwState, 0u);  // written, so no longer marked
}

TEST_F(MacroLibraryTest, SameNameGetsItsOwnFileInsteadOfOverwriting) {
    MacroLibrary& library = Library();
    ASSERT_TRUE(library.Add_Macro(Macro("dup", 0x21, 0x41)));
    ASSERT_TRUE(library.Add_Macro(Macro("dup", 0x22, 0x42)));
    EXPECT_EQ(ReadMacroFile(Root() + "dup.qxm").record.dwMacroID, 0x21u);
    EXPECT_EQ(ReadMacroFile(Root() + "dup (2).qxm").record.dwMacroID, 0x22u);
}

TEST_F(MacroLibraryTest, CheckMacroNameRefusesCharactersAndDropsTheExtension) {
    struct Case {
        const char* typed;
        std::optional<std::string> result;
    };
    const Case cases[] = {
        {"plain", "plain"},    {"macro.v2", "macro"}, {"a.b.c", "a.b"},
        {"a-b", std::nullopt}, {"a/b", std::nullopt}, {"a\\b", std::nullopt},
        {"x#", std::nullopt},  {"50%", std::nullopt}, {".hidden", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        ui_.messages.clear();
        EXPECT_EQ(CheckMacroName(c.typed, ui_), c.result) << c.typed;
        EXPECT_EQ(ui_.messages.size(), c.result ? 0u : 1u) << c.typed;
    }
    EXPECT_EQ(ui_.messages.at(0), Text("tc_tip1"));
}

TEST_F(MacroLibraryTest, NewMacroNeedsAFolderAUniqueNameAndRoom) {
    PutMacroFile(Root() + "Group/Existing.qxm", Macro("Existing", 0x31));
    MacroLibrary& library = Library();
    const LibraryItemId group = Child(kLibraryRoot, "Group");

    ui_.texts = {"existing", "fresh"};
    EXPECT_FALSE(library.NewMacroCommand(group, ui_));
    EXPECT_EQ(ui_.messages, std::vector<std::string>{Text("tc_macro_msg8")});
    const std::optional<LibraryItemId> item = library.NewMacroCommand(group, ui_);
    ASSERT_TRUE(item);
    EXPECT_EQ(ui_.lastMaxChars, kMacroNameInputChars);
    const MacroRecord* record = library.Macros().FindById(library.Item(*item)->macroId);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->dwState, kMacroChangedBoth);
    EXPECT_EQ(events_.shown.back(), std::make_pair(std::uint32_t(record->dwMacroID), true));
    EXPECT_FALSE(fs::exists(Root() + "Group/fresh.qxm"));  // written when saved
    EXPECT_TRUE(library.Flush_Dirty_Macro(*item));
    EXPECT_EQ(ReadMacroFile(Root() + "Group/fresh.qxm").status, MacroFileStatus::kOk);

    ui_.texts = {"never asked"};
    EXPECT_FALSE(library.NewMacroCommand(*item, ui_));  // a macro is selected
    while (!library.Macros().IsFull()) {
        ASSERT_EQ(library.Macros().Add(Macro("f", 0x40000)), MacroAddResult::kAdded);
    }
    EXPECT_FALSE(library.NewMacroCommand(kLibraryRoot, ui_));
    EXPECT_EQ(ui_.messages.back(), kMacroListFullMessage);
}

TEST_F(MacroLibraryTest, RenameMovesTheMacroFileAndTellsTheButtonPage) {
    PutMacroFile(Root() + "old.qxm", Macro("old", 0x41));
    test::WriteText(Root() + "taken.qxm", "not a macro, but someone's file");
    MacroLibrary& library = Library();
    const LibraryItemId item = Child(kLibraryRoot, "old");

    ui_.texts = {"taken"};
    ASSERT_TRUE(library.RenameItem(item, ui_));
    EXPECT_EQ(library.Item(item)->text, "taken");
    EXPECT_EQ(MacroName(*library.Macros().FindById(0x41)), "taken");
    EXPECT_EQ(events_.namesChanged, 1);
    EXPECT_FALSE(fs::exists(Root() + "old.qxm"));
    EXPECT_EQ(test::ReadText(Root() + "taken.qxm"), "not a macro, but someone's file");
    const MacroFileResult moved = ReadMacroFile(*library.ItemPath(item));
    ASSERT_EQ(moved.status, MacroFileStatus::kOk);
    EXPECT_EQ(MacroName(moved.record), "taken");

    ui_.texts = {"TAKEN"};  // only the case changes: the item itself is no duplicate
    EXPECT_TRUE(library.RenameItem(item, ui_));
    ui_.texts = {std::nullopt};
    EXPECT_FALSE(library.RenameItem(item, ui_));
}

TEST_F(MacroLibraryTest, RenameFolderMovesItsIconAndReloadsItsContent) {
    PutMacroFile(Root() + "Old/m.qxm", Macro("m", 0x51));
    test::WriteText(Root() + "Old/Old.png", "png");
    MacroLibrary& library = Library();
    const LibraryItemId folder = Child(kLibraryRoot, "Old");
    EXPECT_EQ(library.Item(folder)->iconPath, Root() + "Old/Old.png");

    ui_.texts = {"New"};
    ASSERT_TRUE(library.RenameItem(folder, ui_));
    EXPECT_EQ(ui_.prompts.back(), Text("tc_macro_msg13"));
    EXPECT_EQ(FilesUnder(Root()), (std::vector<std::string>{"New", "New/New.png", "New/m.qxm"}));
    EXPECT_EQ(library.Item(folder)->iconPath, Root() + "New/New.png");
    EXPECT_EQ(library.ItemPath(Child(folder, "m")), Root() + "New/m.qxm");
    EXPECT_EQ(library.Macros().Count(), 1);
}

TEST_F(MacroLibraryTest, DeleteRemovesItemsListEntriesAndFiles) {
    PutMacroFile(Root() + "one.qxm", Macro("one", 0x61));
    PutMacroFile(Root() + "Dir/two.qxm", Macro("two", 0x62));
    PutMacroFile(Root() + "Dir/Sub/three.qxm", Macro("three", 0x63));
    MacroLibrary& library = Library();

    EXPECT_FALSE(library.DeleteItem(kLibraryRoot, ui_));
    EXPECT_FALSE(library.DeleteItem(4242, ui_));
    EXPECT_EQ(ui_.messages,
              (std::vector<std::string>{Text("tc_macro_msg1"),
                                        "Operation failed, hItem = 0x1092, pItem = 0x0."}));
    ui_.confirm = false;
    EXPECT_FALSE(library.DeleteItem(Child(kLibraryRoot, "one"), ui_));
    EXPECT_TRUE(fs::exists(Root() + "one.qxm"));

    ui_.confirm = true;
    EXPECT_TRUE(library.DeleteItem(Child(kLibraryRoot, "one"), ui_));
    EXPECT_TRUE(library.DeleteItem(Child(kLibraryRoot, "Dir"), ui_));
    EXPECT_EQ(ui_.questions.back(), Text("tc_msg6"));
    EXPECT_TRUE(FilesUnder(Root()).empty());
    EXPECT_EQ(library.Macros().Count(), 0);
    EXPECT_TRUE(library.Children(kLibraryRoot).empty());
    EXPECT_EQ(events_.cleared, 2);
}

TEST_F(MacroLibraryTest, ImportTwiceIntoOneFolderIsRefusedButAnotherFolderGetsACopy) {
    PutMacroFile(dir_ / "outside/Combo.qxm", Macro("whatever", 0x71));
    fs::create_directory(Root() + "Other");
    MacroLibrary& library = Library();
    const LibraryItemId other = Child(kLibraryRoot, "Other");

    ui_.openPaths = {dir_ / "outside/Combo.qxm", dir_ / "outside/Combo.qxm",
                     dir_ / "outside/Combo.qxm"};
    const std::optional<LibraryItemId> first = library.ImportMacroFile(kLibraryRoot, ui_);
    ASSERT_TRUE(first);
    EXPECT_FALSE(library.ImportMacroFile(kLibraryRoot, ui_));
    EXPECT_EQ(ui_.messages, std::vector<std::string>{Text("tc_macro_msg8")});
    const std::optional<LibraryItemId> second = library.ImportMacroFile(other, ui_);
    ASSERT_TRUE(second);

    const std::uint32_t id1 = library.Item(*first)->macroId;
    const std::uint32_t id2 = library.Item(*second)->macroId;
    EXPECT_NE(id1, id2);
    EXPECT_NE(id1, 0x71u);
    EXPECT_EQ(MacroName(*library.Macros().FindById(id1)), "Combo");
    EXPECT_EQ(ReadMacroFile(Root() + "Other/Combo.qxm").record.dwMacroID, id2);
    EXPECT_EQ(events_.shown.back(), std::make_pair(id2, false));
}

TEST_F(MacroLibraryTest, ImportRefusesBrokenFilesWithTheirMessage) {
    PutMacroFile(dir_ / "wheel.qxm", Macro("wheel", 0x72, kVkWheelUp));
    test::WriteText(dir_ / "short.qxm", "abc");
    MacroLibrary& library = Library();
    ui_.openPaths = {dir_ / "wheel.qxm", dir_ / "short.qxm", dir_ / "absent.qxm"};
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(library.ImportMacroFile(kLibraryRoot, ui_));
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{"This macro contains unsupported key.",
                                                      "Read macro file failed. error=0x0",
                                                      "Open macro file failed. error=0x2"}));
    EXPECT_EQ(library.Macros().Count(), 0);
}

TEST_F(MacroLibraryTest, ExportCopiesTheLibraryFile) {
    PutMacroFile(Root() + "ex.qxm", Macro("ex", 0x81));
    MacroLibrary& library = Library();
    ui_.savePaths = {dir_ / "copy.qxm"};
    ASSERT_TRUE(library.ExportMacroFile(Child(kLibraryRoot, "ex"), ui_));
    EXPECT_EQ(ui_.requests.back().fileName, "ex.qxm");
    EXPECT_EQ(test::ReadBytes(dir_ / "copy.qxm"), test::ReadBytes(Root() + "ex.qxm"));
    // A copy that cannot be written names the file and the reason.
    ui_.savePaths = {dir_ / "missing/copy.qxm"};
    EXPECT_FALSE(library.ExportMacroFile(Child(kLibraryRoot, "ex"), ui_));
    EXPECT_EQ(ui_.messages.back(), SaveFailedText(dir_ / "missing/copy.qxm", ENOENT));
}

// With a writer thread the record counts as saved when its bytes are handed over; a write
// that fails there marks it as changed again and tells the page, so it is saved later.
TEST_F(MacroLibraryTest, AWriteTheWriterCouldNotDoMarksTheMacroAgain) {
    PutMacroFile(Root() + "keep.qxm", Macro("keep", 0x91, 0x41));
    MacroLibrary& library = Library();
    std::vector<FileWriteResult> results;
    FileWriter writer([&](const FileWriteResult& result) { results.push_back(result); });
    library.SetFileWriter(&writer);
    MacroRecord& record = *library.Macros().FindById(0x91);
    record.dwState = kMacroEventsChanged;
    {
        test::ScopedFileSizeLimit fullDisk(100);
        EXPECT_TRUE(library.Flush_Dirty_Macro(Child(kLibraryRoot, "keep")));
        EXPECT_EQ(record.dwState & kMacroChangedBoth, 0u);
        ASSERT_TRUE(writer.Flush(10000));
    }
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].ok);
    EXPECT_TRUE(library.MacroWriteFailed(results[0].path, results[0].error));
    EXPECT_FALSE(library.MacroWriteFailed(dir_ / "other.dct", EFBIG));
    EXPECT_NE(record.dwState & kMacroChangedBoth, 0u);
    EXPECT_EQ(events_.saveFailed, std::vector<std::uint32_t>{0x91});
    EXPECT_EQ(library.FailedWrites(), 1);
}

TEST_F(MacroLibraryTest, FailedFlushKeepsTheOldFileAndTheChangedMark) {
    PutMacroFile(Root() + "keep.qxm", Macro("keep", 0x91, 0x41));
    MacroLibrary& library = Library();
    const std::vector<std::uint8_t> before = test::ReadBytes(Root() + "keep.qxm");
    MacroRecord& record = *library.Macros().FindById(0x91);
    record.stEvents[0].wCode = 0x42;
    record.dwState = kMacroEventsChanged;
    {
        test::ScopedFileSizeLimit fullDisk(100);
        EXPECT_FALSE(library.Flush_Dirty_Macro(Child(kLibraryRoot, "keep")));
    }
    EXPECT_EQ(test::ReadBytes(Root() + "keep.qxm"), before);
    EXPECT_EQ(record.dwState, kMacroEventsChanged);
    EXPECT_TRUE(library.Flush_Dirty_Macro(Child(kLibraryRoot, "keep")));
    EXPECT_EQ(ReadMacroFile(Root() + "keep.qxm").record.stEvents[0].wCode, 0x42);
}

TEST_F(MacroLibraryTest, ReplaceKeepsIdAndNameAndRewritesTheFile) {
    PutMacroFile(Root() + "mine.qxm", Macro("mine", 0xA1, 0x41));
    MacroLibrary& library = Library();
    MacroRecord content = Macro("../elsewhere", 0x5555, 0x43);
    content.nLoopCount = 7;
    EXPECT_EQ(library.ReplaceMacro(0xA1, content), 0xA1u);
    EXPECT_EQ(library.ReplaceMacro(0xB2, content), 0u);
    const MacroFileResult file = ReadMacroFile(Root() + "mine.qxm");
    EXPECT_EQ(file.record.dwMacroID, 0xA1u);
    EXPECT_EQ(MacroName(file.record), "mine");
    EXPECT_EQ(file.record.nLoopCount, 7);
    EXPECT_EQ(events_.replaced, std::vector<std::uint32_t>{0xA1});
    EXPECT_EQ(FilesUnder(Root()), std::vector<std::string>{"mine.qxm"});
}

TEST(IsMacroAssignedTest, LooksAtEveryKeySetButOnlyAtMacroKeys) {
    ProfileFile profile{};
    profile.Key[2][15].dwFunID = KF_MACRO;
    profile.Key[2][15].dwMacroID = 0x123;
    profile.Key[0][0].dwFunID = KF_LEFT_CLICK;
    profile.Key[0][0].dwMacroID = 0x456;
    EXPECT_TRUE(IsMacroAssigned(profile, 0x123));
    EXPECT_FALSE(IsMacroAssigned(profile, 0x456));
}

}  // namespace
}  // namespace vantor

namespace vantor {
namespace {

TEST_F(MacroLibraryTest, MovingAMacroIntoAFolderMovesItsFileAndRefusesANameClash) {
    PutMacroFile(Root() + "a.qxm", Macro("a", 0x21));
    PutMacroFile(Root() + "b.qxm", Macro("b", 0x22));
    PutMacroFile(Root() + "Group/b.qxm", Macro("b", 0x23));
    MacroLibrary& library = Library(1);
    const LibraryItemId group = Child(kLibraryRoot, "Group");
    const LibraryItemId a = Child(kLibraryRoot, "a");
    ASSERT_TRUE(library.MoveMacroItem(a, group, ui_));
    EXPECT_EQ(Child(group, "a"), a);
    EXPECT_EQ(Child(kLibraryRoot, "a"), kLibraryRoot);
    EXPECT_EQ(library.ItemPath(a), Root() + "Group/a.qxm");
    EXPECT_TRUE(fs::exists(Root() + "Group/a.qxm"));
    EXPECT_FALSE(fs::exists(Root() + "a.qxm"));
    // Back to the root, and a clash with a sibling of the same name.
    EXPECT_TRUE(library.MoveMacroItem(a, kLibraryRoot, ui_));
    EXPECT_TRUE(fs::exists(Root() + "a.qxm"));
    EXPECT_FALSE(library.MoveMacroItem(Child(kLibraryRoot, "b"), group, ui_));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], Text("tc_macro_msg8"));
    EXPECT_TRUE(fs::exists(Root() + "b.qxm"));
    // Folders and the macro's own folder are no targets.
    EXPECT_FALSE(library.MoveMacroItem(group, kLibraryRoot, ui_));
    EXPECT_FALSE(library.MoveMacroItem(a, kLibraryRoot, ui_));
    // A macro not saved yet has no file: the item moves and is saved in its new folder.
    ui_.texts.push_back("fresh");
    const auto fresh = library.NewMacroCommand(kLibraryRoot, ui_);
    ASSERT_TRUE(fresh.has_value());
    EXPECT_TRUE(library.MoveMacroItem(*fresh, group, ui_));
    EXPECT_TRUE(library.Flush_Dirty_Macro(*fresh));
    EXPECT_TRUE(fs::exists(Root() + "Group/fresh.qxm"));
}

}  // namespace
}  // namespace vantor
