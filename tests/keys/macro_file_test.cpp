#include "keys/macro_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "keys/macro_dump.h"
#include "keys/macro_list.h"
#include "keys/safe_file_name.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

MacroRecord SampleMacro(const char* name, std::uint32_t id, std::uint16_t firstCode) {
    MacroRecord record{};
    record.dwMagicNumber = kMacroMagicNumber;
    record.dwMacroID = id;
    record.dwAuto = 1;
    record.nLoopCount = 7;
    SetMacroName(record, name);
    record.stEvents[0].wCode = firstCode;
    record.stEvents[0].wKind = kMacroKindPress;
    record.stEvents[0].dwDelay = 30;
    record.stEvents[1].wCode = firstCode;
    record.stEvents[1].wKind = kMacroKindRelease;
    return record;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

std::vector<std::uint8_t> Bytes(const MacroRecord& record) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(&record);
    return {data, data + sizeof record};
}

TEST(MacroFileTest, RotationRoundTripsEveryByteAndStoresTheMagicRotated) {
    MacroRecord record{};
    auto* raw = reinterpret_cast<std::uint8_t*>(&record);
    for (std::size_t i = 0; i < sizeof record; ++i) raw[i] = static_cast<std::uint8_t>(i * 7);
    record.dwMagicNumber = kMacroMagicNumber;
    const MacroFileBytes encoded = EncodeMacroFile(record);
    EXPECT_EQ(encoded[0], 0x28);
    EXPECT_EQ(encoded[1], 0x66);
    EXPECT_EQ(encoded[2], 0xF2);
    EXPECT_EQ(encoded[3], 0xBE);
    EXPECT_EQ(Bytes(DecodeMacroFile(encoded)), Bytes(record));
}

TEST(MacroFileTest, WriteThenReadGivesTheRecordWithStateBitsCleared) {
    test::TempDir dir;
    MacroRecord record = SampleMacro("Jump", 0x0ABCDE, 0x20);
    record.dwState = kMacroEventsChanged | kMacroSettingsChanged | 0x5;
    const std::string path = dir / "a/b/Jump.qxm";  // folders are created on demand
    ASSERT_TRUE(WriteMacroFile(path, record));
    EXPECT_EQ(record.dwState, 0x5u);
    EXPECT_EQ(test::ReadBytes(path).size(), kMacroRecordSize);

    const MacroFileResult result = ReadMacroFile(path);
    ASSERT_EQ(result.status, MacroFileStatus::kOk);
    EXPECT_EQ(Bytes(result.record), Bytes(record));
    EXPECT_EQ(MacroName(result.record), "Jump");
    EXPECT_EQ(MacroFileErrorText(result), "");
}

TEST(MacroFileTest, FailedWriteKeepsTheMacroMarkedChanged) {
    test::TempDir dir;
    test::WriteText(dir / "file", "x");
    MacroRecord record = SampleMacro("Jump", 1, 0x20);
    record.dwState = kMacroEventsChanged;
    EXPECT_FALSE(WriteMacroFile(dir / "file/sub/Jump.qxm", record));  // a file blocks the folder
    EXPECT_EQ(record.dwState, kMacroEventsChanged);
}

TEST(MacroFileTest, ReadAcceptsLongFilesAndRejectsShortOrForeignOnes) {
    test::TempDir dir;
    const MacroRecord record = SampleMacro("Jump", 0x0ABCDE, 0x20);
    const MacroFileBytes encoded = EncodeMacroFile(record);
    std::vector<std::uint8_t> longer(encoded.begin(), encoded.end());
    longer.push_back(0xAA);
    WriteBytes(dir / "long.qxm", longer);
    WriteBytes(dir / "short.qxm", {encoded.begin(), encoded.end() - 1});
    std::vector<std::uint8_t> foreign(encoded.begin(), encoded.end());
    foreign[0] ^= 0xFF;
    WriteBytes(dir / "foreign.qxm", foreign);
    mkdir((dir / "folder.qxm").c_str(), 0755);

    const MacroFileResult longResult = ReadMacroFile(dir / "long.qxm");
    ASSERT_EQ(longResult.status, MacroFileStatus::kOk);
    EXPECT_EQ(Bytes(longResult.record), Bytes(record));

    struct Case {
        const char* name;
        MacroFileStatus status;
        const char* text;
    } cases[] = {
        {"short.qxm", MacroFileStatus::kReadFailed, "Read macro file failed. error=0x0"},
        {"foreign.qxm", MacroFileStatus::kNotMacro, "This is not a valid macro file."},
        {"missing.qxm", MacroFileStatus::kOpenFailed, "Open macro file failed. error=0x2"},
        {"folder.qxm", MacroFileStatus::kReadFailed, "Read macro file failed. error=0x15"},
    };
    for (const Case& c : cases) {
        const MacroFileResult result = ReadMacroFile(dir / c.name);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(MacroFileErrorText(result), c.text) << c.name;
    }
}

TEST(MacroFileTest, NamesWithoutTerminatorStayInsideTheNameField) {
    MacroRecord record = SampleMacro("", 1, 0x20);
    for (auto& unit : record.szName) unit = u'x';
    record.dwReserved = 0x00410041;  // would read as "AA" past the field
    EXPECT_EQ(MacroName(record), std::string(kMacroNameUnits, 'x'));

    SetMacroName(record, std::string(60, 'y'));
    EXPECT_EQ(MacroName(record), std::string(kMacroNameMaxChars, 'y'));
    EXPECT_EQ(record.szName[kMacroNameMaxChars], 0);
}

TEST(SafeMacroFileNameTest, NamesNeverLeaveTheFolder) {
    struct Case {
        const char* name;
        const char* file;
    } cases[] = {
        {"Jump", "Jump.qxm"},
        {"../../x", "%2E.%2F..%2Fx.qxm"},
        {"..", "%2E%2E.qxm"},
        {"a\\b:c*?\"<>|", "a%5Cb%3Ac%2A%3F%22%3C%3E%7C.qxm"},
        {"tab\there", "tab%09here.qxm"},
        {"100%", "100%25.qxm"},
        {"con", "%63on.qxm"},
        {"LPT1.txt", "%4CPT1.txt.qxm"},
        {"COM0", "COM0.qxm"},
        {"trail.", "trail%2E.qxm"},
        {"", "%00.qxm"},
        {"Größe", "Größe.qxm"},
    };
    for (const Case& c : cases) EXPECT_EQ(SafeMacroFileName(c.name), c.file) << c.name;
}

TEST(MacroListTest, AddFindRemoveAndLimits) {
    MacroList list;
    MacroRecord bad = SampleMacro("Bad", 9, 0x20);
    bad.dwMagicNumber = 0x12345678;
    EXPECT_EQ(list.Add(bad), MacroAddResult::kBadMagic);
    EXPECT_EQ(list.Add(SampleMacro("Jump", 1, 0x20)), MacroAddResult::kAdded);
    EXPECT_EQ(list.Add(SampleMacro("Run", 2, 0x21)), MacroAddResult::kAdded);
    EXPECT_EQ(list.Count(), 2);
    ASSERT_NE(list.FindByName("JUMP"), nullptr);
    EXPECT_EQ(list.FindByName("JUMP")->dwMacroID, 1u);
    EXPECT_EQ(list.FindByName("Jum"), nullptr);
    ASSERT_NE(list.FindById(2), nullptr);
    EXPECT_TRUE(list.Remove(1));
    EXPECT_FALSE(list.Remove(1));
    EXPECT_EQ(list.At(0).dwMacroID, 2u);

    while (list.Count() < MacroMaxCount) {
        ASSERT_EQ(list.Add(SampleMacro("m", 3, 0x20)), MacroAddResult::kAdded);
    }
    EXPECT_EQ(list.Add(SampleMacro("over", 4, 0x20)), MacroAddResult::kFull);
}

TEST(MacroDumpTest, DumpHoldsPlayableMacrosInOrderAndHasAFixedSize) {
    test::TempDir dir;
    MacroList list;
    EXPECT_TRUE(SaveMacroDump(list, dir.path()));
    EXPECT_EQ(test::ReadBytes(dir / "mac.dct").size(), 1668000u);

    for (const MacroRecord& macro :
         {SampleMacro("First", 1, 0x20), SampleMacro("NoEvents", 2, 0),
          SampleMacro("NoId", 0, 0x20), SampleMacro("Second", 3, 0x21)}) {
        ASSERT_EQ(list.Add(macro), MacroAddResult::kAdded);
    }
    ASSERT_TRUE(SaveMacroDump(list, dir.path()));
    const std::vector<std::uint8_t> dump = test::ReadBytes(dir / "mac.dct");
    ASSERT_EQ(dump.size(), 1668000u);
    const auto slot = [&](int i) {
        return std::vector<std::uint8_t>(dump.begin() + i * 834, dump.begin() + (i + 1) * 834);
    };
    EXPECT_EQ(slot(0), Bytes(list.At(0)));
    EXPECT_EQ(slot(1), Bytes(list.At(3)));
    EXPECT_EQ(std::accumulate(dump.begin() + 2 * 834, dump.end(), 0u), 0u);

    EXPECT_FALSE(SaveMacroDump(list, dir / "missing/"));
}

}  // namespace
}  // namespace vantor
