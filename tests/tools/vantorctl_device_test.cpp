// End to end: the built vantorctl against the simulated mouse, whose state file holds the
// device memory that each command leaves behind.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "app/store/profile_export.h"
#include "keys/macro_file.h"
#include "keys/macro_record.h"
#include "platform/device_lock.h"
#include "sim/sim_state.h"
#include "tests/keys/scripted_store_ui.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using test::ReadBytes;
using test::ReadText;
using test::TempDir;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// A minimal JSON reader: enough to check that the output parses and to look at a few keys.
struct JsonValue {
    std::variant<std::nullptr_t, bool, double, std::string, std::vector<JsonValue>,
                 std::map<std::string, JsonValue>>
        value;
    const JsonValue& operator[](const std::string& key) const {
        return std::get<std::map<std::string, JsonValue>>(value).at(key);
    }
    const JsonValue& operator[](std::size_t index) const {
        return std::get<std::vector<JsonValue>>(value).at(index);
    }
    double Number() const { return std::get<double>(value); }
    const std::string& Text() const { return std::get<std::string>(value); }
    bool Bool() const { return std::get<bool>(value); }
    std::size_t Size() const { return std::get<std::vector<JsonValue>>(value).size(); }
};

class JsonParser {
  public:
    explicit JsonParser(const std::string& text) : text_(text) {}
    // Nothing unless the whole text is one JSON value.
    std::optional<JsonValue> Parse() {
        std::optional<JsonValue> value = Value();
        Space();
        if (!value || pos_ != text_.size()) return std::nullopt;
        return value;
    }

  private:
    void Space() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }
    bool Take(char c) {
        Space();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (text_.compare(pos_, w.size(), w) != 0) return false;
        pos_ += w.size();
        return true;
    }
    std::optional<std::string> String() {
        if (!Take('"')) return std::nullopt;
        std::string out;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c == '\\') {
                if (pos_ >= text_.size()) return std::nullopt;
                c = text_[pos_++];
                if (c == 'u') {
                    if (pos_ + 4 > text_.size()) return std::nullopt;
                    c = static_cast<char>(std::stoi(text_.substr(pos_, 4), nullptr, 16));
                    pos_ += 4;
                } else if (c == 'n') {
                    c = '\n';
                } else if (c == 't') {
                    c = '\t';
                } else if (c == 'r') {
                    c = '\r';
                }
            } else if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            out += c;
        }
        if (pos_ >= text_.size()) return std::nullopt;
        ++pos_;
        return out;
    }
    std::optional<JsonValue> Value() {
        Space();
        if (pos_ >= text_.size()) return std::nullopt;
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            std::map<std::string, JsonValue> members;
            if (Take('}')) return JsonValue{members};
            do {
                std::optional<std::string> key = String();
                if (!key || !Take(':')) return std::nullopt;
                std::optional<JsonValue> member = Value();
                if (!member) return std::nullopt;
                members[*key] = *member;
            } while (Take(','));
            if (!Take('}')) return std::nullopt;
            return JsonValue{members};
        }
        if (c == '[') {
            ++pos_;
            std::vector<JsonValue> items;
            if (Take(']')) return JsonValue{items};
            do {
                std::optional<JsonValue> item = Value();
                if (!item) return std::nullopt;
                items.push_back(*item);
            } while (Take(','));
            if (!Take(']')) return std::nullopt;
            return JsonValue{items};
        }
        if (c == '"') {
            std::optional<std::string> text = String();
            if (!text) return std::nullopt;
            return JsonValue{*text};
        }
        if (Word("true")) return JsonValue{true};
        if (Word("false")) return JsonValue{false};
        if (Word("null")) return JsonValue{nullptr};
        std::size_t used = 0;
        try {
            const double number = std::stod(text_.substr(pos_), &used);
            pos_ += used;
            return JsonValue{number};
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

JsonValue ParseJson(const std::string& text) {
    std::optional<JsonValue> value = JsonParser(text).Parse();
    EXPECT_TRUE(value.has_value()) << "not JSON: " << text;
    return value.value_or(JsonValue{});
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char digits[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        out += digits;
    }
    return out;
}

// One simulated mouse and one data folder for a whole test.
class VantorctlTest : public ::testing::Test {
  protected:
    // Runs vantorctl with the simulated mouse, its state file and the data folder in front
    // of `args`.
    RunResult Ctl(const std::string& args) {
        return Raw("--simulate --sim-state " + state_ + " " + args);
    }

    // Runs vantorctl with only the data folder given; `shell` comes first on the shell's
    // command line (e.g. "umask 077; ").
    RunResult Raw(const std::string& args, const std::string& shell = {}) {
        const std::string out = dir_ / "stdout";
        const std::string err = dir_ / "stderr";
        const std::string line = shell + "env -u VANTOR_SIMULATE " + VANTORCTL_PATH +
                                 " --data-dir " + data_ + " " + args + " >" + out + " 2>" + err;
        RunResult run;
        const int status = std::system(line.c_str());
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadText(out);
        run.err = ReadText(err);
        return run;
    }

    // Runs and expects success with nothing on standard error.
    std::string Ok(const std::string& args) {
        const RunResult run = Ctl(args);
        EXPECT_EQ(run.status, 0) << args << ": " << run.err;
        EXPECT_EQ(run.err, "") << args;
        return run.out;
    }

    // Device memory of on-board profile `profile` as the state file holds it.
    std::vector<std::uint8_t> Memory(int profile = 0) {
        const std::optional<SimFirmwareState> state = ParseSimState(ReadBytes(state_));
        if (!state) {
            ADD_FAILURE() << "no state file";
            return {};
        }
        const SimProfileImage& image = state->profiles[static_cast<std::size_t>(profile)];
        return std::vector<std::uint8_t>(image.begin(), image.end());
    }

    // `length` bytes of device memory at `address` as hex.
    std::string Bytes(std::uint16_t address, std::size_t length, int profile = 0) {
        const std::vector<std::uint8_t> image = Memory(profile);
        if (image.size() < address + length) return "out of range";
        return Hex({image.begin() + address, image.begin() + address + length});
    }

    TempDir dir_;
    std::string state_ = dir_ / "sim-state.bin";
    std::string data_ = dir_ / "data";
};

struct Group {
    std::uint16_t address = 0;
    const char* bytes = "";  // what the group holds afterwards
};

struct SetCase {
    const char* args;
    int status;
    std::vector<Group> groups;  // nothing outside them changes
};

// Each setting's groups as their encodings give them: values with their check bytes, DPI
// entries with the sensor code and check, key matrix entries, combination and consumer
// slots, lighting groups.
const std::vector<SetCase> kSetCases = {
    {"dpi 2 1600", 0, {{0x0010, "1f1f0017"}}},
    {"dpi 3 800 1600", 0, {{0x0014, "0f1f0027"}}},
    {"level-color 2 ff8000", 0, {{0x0030, "ff8000d6"}}},
    {"levels 4", 0, {{0x0002, "0451"}}},
    {"current-level 3", 0, {{0x0004, "0253"}}},
    {"rate 500", 0, {{0x0000, "0253"}}},
    {"rate 125", 0, {{0x0000, "084d"}}},
    {"lod 2", 0, {{0x000A, "0253"}}},
    {"ripple on", 0, {{0x00B1, "0154"}}},
    {"angle-snap on", 0, {{0x00AF, "0154"}}},
    {"motion-sync off", 0, {{0x00AB, "0055"}}},
    {"sensor-mode lp", 0, {{0x00B7, "0055"}}},
    {"debounce 20", 0, {{0x00A9, "1441"}}},
    {"sleep 300", 0, {{0x00AD, "1e37"}}},
    {"auto-sleep 12", 0, {{0x00B5, "0c49"}}},
    {"light-off-moving off", 0, {{0x00B3, "0055"}}},
    {"light main 1 5 7 ff8000", 0, {{0x00A0, "02ff8000aaaf7b"}}},
    {"light logo 2 3 4 00ff00", 0, {{0x0054, "00ff0056025364f10352"}}},
    {"light dpi 1 2 3", 0, {{0x004C, "01543c190253"}}},
    // Ctrl+C: press Ctrl, press C, release both, in the slot of matrix index 2; the matrix
    // entry points at the slot (type 5).
    {"button 2 key:ctrl+c", 0, {{0x0064, "05000050"}, {0x0120, "04800100810600400100410600c1"}}},
    // Volume up: consumer usage 0xE9 pressed and released.
    {"button 3 media:volume-up", 0, {{0x0068, "05000050"}, {0x0140, "0282e90042e900bd"}}},
    {"button 4 fire:3,20", 0, {{0x006C, "0414033a"}}},
    {"button 5 dpi-lock:800", 0, {{0x0070, "0a0f003c"}}},
    {"button 6 disable", 0, {{0x0074, "00000055"}}},
    // Refused: no other button keeps the left click; the mouse keeps it.
    {"button 1 right", 2, {}},
};

TEST_F(VantorctlTest, EverySetLeavesExactlyItsEncodedBytesInDeviceMemory) {
    Ok("info");
    for (const SetCase& c : kSetCases) {
        SCOPED_TRACE(c.args);
        const std::vector<std::uint8_t> before = Memory();
        const RunResult run = Ctl(std::string("set ") + c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        std::vector<std::uint8_t> after = Memory();
        ASSERT_EQ(after.size(), before.size());
        for (const Group& group : c.groups) {
            const std::size_t length = std::string(group.bytes).size() / 2;
            const auto start = after.begin() + group.address;
            EXPECT_EQ(Hex({start, start + static_cast<std::ptrdiff_t>(length)}), group.bytes);
            // Take the group out of the comparison of everything else.
            std::copy(before.begin() + group.address,
                      before.begin() + group.address + static_cast<std::ptrdiff_t>(length), start);
        }
        EXPECT_TRUE(after == before);
    }
    // The memory command reads the same bytes back, as lines and as JSON.
    const std::vector<std::uint8_t> image = Memory();
    const JsonValue json = ParseJson(Ok("--json memory 0 0x200"));
    EXPECT_EQ(json["address"].Number(), 0);
    EXPECT_EQ(json["bytes"].Text(), Hex({image.begin(), image.begin() + 0x200}));
    EXPECT_EQ(Ok("memory 0x5c 20"),
              "005c: 03 52 00 00 01 01 00 53 05 00 00 50 05 00 00 50\n"
              "006c: 04 14 03 3a\n");
}

TEST_F(VantorctlTest, ShowAndReadGiveTheRecordTheMemoryHolds) {
    Ok("set dpi 1 3200");
    Ok("set button 2 media:mute");
    // Hand-made changes of the memory image, as the mouse might hold them: report rate 250,
    // sleep 600 s, level 4 colour 102030.
    std::vector<std::uint8_t> file = ReadBytes(state_);
    auto poke = [&](std::uint16_t address, std::vector<std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), file.begin() + kSimStateHeaderBytes + address);
    };
    poke(0x0000, {0x04, 0x51});
    poke(0x00AD, {0x3C, 0x19});
    poke(0x0038, {0x10, 0x20, 0x30, 0xF5});
    std::FILE* out = std::fopen(state_.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);

    // show prints the stored record; read brings the changed memory into it.
    EXPECT_EQ(ParseJson(Ok("--json show"))["reportRate"].Number(), 1000);
    const JsonValue record = ParseJson(Ok("--json read"));
    EXPECT_EQ(record["profile"].Number(), 1);
    EXPECT_EQ(record["reportRate"].Number(), 250);
    EXPECT_EQ(record["sleepSeconds"].Number(), 600);
    EXPECT_EQ(record["dpiLevels"][0]["x"].Number(), 3200);
    EXPECT_EQ(record["dpiLevels"][3]["color"].Text(), "102030");
    EXPECT_EQ(record["buttons"][1]["function"].Text(), "0x04000028");
    EXPECT_EQ(record["buttons"][0]["label"].Text(), "Left click");
    EXPECT_EQ(record["currentLevel"].Number(), 2);
    // The read was saved: show without the mouse's changes gives the same record.
    EXPECT_EQ(ParseJson(Ok("--json show"))["reportRate"].Number(), 250);

    const std::string text = Ok("show");
    EXPECT_NE(text.find("button 2: Mute\n"), std::string::npos) << text;
    EXPECT_NE(text.find("report rate: 250\n"), std::string::npos) << text;
    EXPECT_NE(text.find("dpi 1: 3200 x 3200, colour ff0000\n"), std::string::npos) << text;
}

TEST_F(VantorctlTest, ProfileSwitchesTheActiveOnBoardProfile) {
    EXPECT_EQ(ParseJson(Ok("--json profile 3"))["profile"].Number(), 3);
    Ok("set rate 250");
    EXPECT_EQ(Bytes(0, 2, 2), "0451");
    EXPECT_EQ(Bytes(0, 2, 0), "0154");

    const JsonValue first = ParseJson(Ok("--json profile 1"));
    EXPECT_EQ(first["profile"].Number(), 1);
    EXPECT_EQ(first["reportRate"].Number(), 1000);
    const JsonValue info = ParseJson(Ok("--json info"));
    EXPECT_EQ(info["activeProfile"].Number(), 1);
    EXPECT_EQ(info["cid"].Number(), 1);
    EXPECT_EQ(info["battery"].Number(), 100);
    EXPECT_EQ(ParseJson(Ok("--json profile 3"))["reportRate"].Number(), 250);
}

TEST_F(VantorctlTest, ExportImportRoundTripAndReset) {
    for (const char* setting :
         {"dpi 1 3200", "button 2 key:ctrl+c", "light main 2 4 9 0000ff", "levels 4", "lod 2",
          "ripple on", "angle-snap on", "motion-sync off", "debounce 20", "sleep 300",
          "light-off-moving off", "auto-sleep 12", "sensor-mode lp"}) {
        Ok(std::string("set ") + setting);
    }
    const std::vector<std::uint8_t> configured = Memory();
    const std::string file = dir_ / "p.qxa";
    Ok("export " + file);
    EXPECT_EQ(ReadBytes(file).size(), kExportFileSize);

    // Reset brings back the factory memory and a record read from it.
    const JsonValue reset = ParseJson(Ok("--json reset"));
    EXPECT_EQ(reset["dpiLevels"][0]["x"].Number(), 400);
    EXPECT_NE(Memory(), configured);

    Ok("import " + file);
    const std::vector<std::uint8_t> imported = Memory();
    // DPI entry, key, main lighting, then the level count, lift-off distance and the single
    // settings from debounce to sensor mode: every setting of the record reaches the mouse.
    const std::pair<int, int> groups[] = {{0x000C, 4}, {0x0064, 4}, {0x00A0, 4},
                                          {0x0002, 2}, {0x000A, 2}, {0x00A9, 16}};
    for (const auto& [address, length] : groups) {
        SCOPED_TRACE(address);
        EXPECT_EQ(Hex({imported.begin() + address, imported.begin() + address + length}),
                  Hex({configured.begin() + address, configured.begin() + address + length}));
    }
    EXPECT_EQ(Hex({imported.begin() + 0x120, imported.begin() + 0x12E}),
              Hex({configured.begin() + 0x120, configured.begin() + 0x12E}));
}

// Every file under `dir` with its contents.
std::map<std::string, std::string> FolderContents(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) files[entry.path().string()] = ReadText(entry.path());
    }
    return files;
}

TEST_F(VantorctlTest, RefusedImportsLeaveTheMouseAndTheDataFolderAsTheyWere) {
    Ok("set dpi 1 3200");
    const std::string good = dir_ / "good.qxa";
    Ok("export " + good);
    const std::vector<std::uint8_t> image = ReadBytes(good);
    ASSERT_EQ(image.size(), kExportFileSize);
    auto prefix = [&](std::size_t size) {
        return std::vector<std::uint8_t>(image.begin(), image.begin() + size);
    };
    std::mt19937 random(7);
    std::vector<std::uint8_t> randomTail = image;
    for (std::size_t i = 8; i < randomTail.size(); ++i) {
        randomTail[i] = static_cast<std::uint8_t>(random());
    }
    auto patched = [&](std::size_t offset, std::vector<std::uint8_t> bytes) {
        std::vector<std::uint8_t> copy = image;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + static_cast<std::ptrdiff_t>(offset));
        return copy;
    };
    std::vector<std::uint8_t> profileFile;
    for (const auto& entry : std::filesystem::directory_iterator(data_)) {
        if (entry.path().filename().string().rfind("PRO_", 0) == 0) {
            profileFile = ReadBytes(entry.path());
        }
    }
    ASSERT_FALSE(profileFile.empty());

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;  // how the reason after "cannot import FILE: " begins
    };
    const Case cases[] = {
        {"first 8 bytes", prefix(8), "not a valid profile: it has 8 bytes"},
        {"first 100 bytes", prefix(100), "not a valid profile: it has 100 bytes"},
        {"header and random bytes", randomTail, "not a valid profile: "},
        {"button 1 cleared", patched(0x23C, {0, 0, 0, 0}),
         "not a valid profile: button 1 of key set 1 has function 0x00000000"},
        {"DPI 63800", patched(0x6D8, {0x38, 0xF9, 0, 0}),
         "not a valid profile: DPI level 1 (63800 x 3200)"},
        {"a profile file", profileFile, "not a valid profile: it has 8468 bytes"},
        {"text of the right size", std::vector<std::uint8_t>(kExportFileSize, 'x'),
         "not a valid profile: it does not begin with a profile record"},
    };
    const std::vector<std::uint8_t> memory = ReadBytes(state_);
    const std::map<std::string, std::string> folder = FolderContents(data_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_ / "in.qxa";
        test::WriteText(path, std::string(c.bytes.begin(), c.bytes.end()));
        const RunResult run = Ctl("import " + path);
        EXPECT_EQ(run.status, 1);
        const std::string expected = "vantorctl: cannot import " + path + ": " + c.reason;
        EXPECT_EQ(run.err.rfind(expected, 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_TRUE(ReadBytes(state_) == memory);
        EXPECT_TRUE(FolderContents(data_) == folder);
    }
}

TEST_F(VantorctlTest, EventsOfTheMouseArePrintedAsTheyArrive) {
    Ok("info");  // the factory mouse stands at DPI level 2 of 6
    EXPECT_EQ(Ok("events 1 --sim-event dpi-button --sim-event rate-125"),
              "dpi-level 3\nreport-rate 125\n");
    // With --json one object per line (JSON Lines), nothing when no event came.
    const std::string json = Ok("--json events 1 --sim-event light-main --sim-event rate-250");
    const std::size_t end = json.find('\n');
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(ParseJson(json.substr(0, end))["event"].Text(), "main-lighting");
    EXPECT_EQ(ParseJson(json.substr(end + 1))["value"].Number(), 250);
    EXPECT_EQ(Ok("--json events 0"), "");
    // The mouse's own change stays in its memory.
    EXPECT_EQ(Bytes(4, 2), "0253");
}

TEST_F(VantorctlTest, ListAndMacrosPrintJson) {
    const JsonValue list = ParseJson(Ok("--json list"));
    ASSERT_EQ(list["interfaces"].Size(), 4u);
    EXPECT_EQ(list["matched"]["command"].Text(), "sim:0/cmd");
    EXPECT_EQ(list["matched"]["section"].Text(), "DEV_1");
    EXPECT_EQ(ParseJson(Ok("--json macros")).Size(), 0u);
    // Commands that have nothing to show still give one (empty) document.
    const std::string exported = dir_ / "p.qxa";
    for (const std::string& args :
         {std::string("--json set rate 500"), std::string("--json sim battery 40"),
          "--json export " + exported, "--json import " + exported}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(Ok(args), "{}\n");
    }
}

TEST_F(VantorctlTest, MacroOfTheLibraryGoesIntoTheButtonsMacroSlot) {
    MacroRecord macro = NewMacro("Burst");
    ASSERT_TRUE(WriteMacroFile(data_ + "/Mac/Burst.qxm", macro));
    const JsonValue list = ParseJson(Ok("--json macros"));
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list[0]["name"].Text(), "Burst");

    Ok("set button 4 macro:Burst");
    // Matrix entry: type 6 with the slot of matrix index 4; the slot starts with the name's
    // length in bytes and the UTF-16 name.
    EXPECT_EQ(Bytes(0x006C, 2), "0603");
    EXPECT_EQ(Bytes(0x0300 + 3 * 384, 11), "0a42007500720073007400");
    const std::string text = Ok("show");
    EXPECT_NE(text.find("button 4: Macro - Burst\n"), std::string::npos) << text;
}

// An import whose macros cannot be written into the macro folder fails and changes neither
// the mouse nor the profile file: its buttons would play macros that are not on disk.
TEST_F(VantorctlTest, AnImportWhoseMacrosCannotBeWrittenFails) {
    MacroRecord macro = NewMacro("Burst");
    ASSERT_TRUE(WriteMacroFile(data_ + "/Mac/Burst.qxm", macro));
    Ok("set button 4 macro:Burst");
    const std::string file = dir_ / "p.qxa";
    Ok("export " + file);
    Ok("set button 4 disable");
    // A file where the macro folder should be: no macro file can be written, not even by root.
    std::filesystem::remove_all(data_ + "/Mac");
    test::WriteText(data_ + "/Mac", "not a folder");
    const std::vector<std::uint8_t> memory = ReadBytes(state_);
    const std::map<std::string, std::string> folder = FolderContents(data_);

    const RunResult run = Ctl("import " + file);
    EXPECT_EQ(run.status, 1);
    const std::string expected =
        "vantorctl: cannot import " + file + ": a macro file could not be written into ";
    EXPECT_EQ(run.err.rfind(expected, 0), 0u) << run.err;
    EXPECT_TRUE(ReadBytes(state_) == memory);
    EXPECT_TRUE(FolderContents(data_) == folder);
}

struct ExitCase {
    const char* args;
    int status;
    const char* error;  // the start of the one error line after "vantorctl: "
};

TEST_F(VantorctlTest, FailuresExitWithOneLineOnStandardError) {
    test::WriteText(dir_ / "bad-state.bin", "not a state file");
    const ExitCase cases[] = {
        {"", 2, "usage"},
        {"frobnicate", 2, "unknown command frobnicate"},
        {"set rate 333", 2, "the report rate is 125, 250, 500 or 1000"},
        {"set dpi 9 800", 2, "LEVEL is a number from 1 to 6"},
        {"set dpi 1 801", 2, "801 is not a DPI step"},
        {"set sleep 45", 2, "SECONDS is one of 10, 30, 60"},
        {"set button 1 right", 2, "At least one button"},
        {"set button 2 key:ctrl+nokey", 2, "unknown key 'nokey'"},
        {"set button 2 fire:5,20", 2, "fire:SHOTS,INTERVAL"},
        {"set button 2 macro:nothing", 2, "no macro named 'nothing'"},
        {"set light dpi 1 2 3 ff0000", 2, "the DPI indicator has no colour"},
        {"memory 0x1b00 1", 2, "ADDR is a device memory address"},
        {"profile 5", 2, "usage: vantorctl profile N"},
        {"import /nonexistent/p.qxa", 1,
         "cannot import /nonexistent/p.qxa: No such file or directory\n"},
        {"export /nonexistent/p.qxa", 1,
         "cannot export to /nonexistent/p.qxa: No such file or directory\n"},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.args);
        const RunResult run = Ctl(c.args);
        EXPECT_EQ(run.status, c.status);
        if (c.args[0] != '\0') {
            EXPECT_EQ(run.err.rfind(std::string("vantorctl: ") + c.error, 0), 0u) << run.err;
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        }
    }
    // Without --simulate there is no silent fall-back: no mouse here is one line, exit 1.
    const RunResult real = Raw("info");
    EXPECT_EQ(real.status, 1);
    EXPECT_EQ(real.err.rfind("vantorctl: no mouse", 0), 0u) << real.err;
    // A state file that is not one is refused rather than replaced.
    const RunResult bad = Raw("--simulate --sim-state " + dir_ / "bad-state.bin" + " info");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(ReadText(dir_ / "bad-state.bin"), "not a state file");
    // A switched-off mouse does not answer.
    Ok("sim power off");
    const RunResult off = Ctl("info");
    EXPECT_EQ(off.status, 1);
    EXPECT_EQ(off.err.rfind("vantorctl: the simulated mouse did not answer", 0), 0u) << off.err;
}

// Two runs at once on one mouse: the second waits for the first, so both changes land.
// While another program holds the mouse, a run gives up after a while and names it.
TEST_F(VantorctlTest, ConcurrentRunsTakeTurnsWithTheMouse) {
    Ok("info");
    const std::string prefix = std::string("env -u VANTOR_SIMULATE ") + VANTORCTL_PATH +
                               " --data-dir " + data_ + " --simulate --sim-state " + state_;
    const std::string both = prefix + " set rate 250 2>" + dir_ / "err1" + " & " + prefix +
                             " set dpi 2 1600 2>" + dir_ / "err2" + "; wait $!; wait";
    ASSERT_EQ(std::system(both.c_str()), 0);
    EXPECT_EQ(ReadText(dir_ / "err1") + ReadText(dir_ / "err2"), "");
    EXPECT_EQ(Bytes(0x0000, 2), "0451");
    EXPECT_EQ(Bytes(0x0010, 4), "1f1f0017");

    DeviceLock window;
    ASSERT_TRUE(
        window.Acquire(state_ + ".lock", "vantor", std::chrono::milliseconds(0), nullptr, nullptr));
    const RunResult busy = Ctl("set rate 500");
    EXPECT_EQ(busy.status, 1);
    EXPECT_EQ(busy.err, "vantorctl: the mouse is in use by vantor (pid " +
                            std::to_string(getpid()) + "); try again when it has finished\n");
    EXPECT_EQ(Bytes(0x0000, 2), "0451");
}

TEST_F(VantorctlTest, ConfigJsonHasEachKeyOnceAndABadConfigNamesItsKey) {
    const RunResult config = Raw("--json config");
    ASSERT_EQ(config.status, 0) << config.err;
    ParseJson(config.out);
    const std::string key = "\"ShowPower\":";
    const std::size_t first = config.out.find(key);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(config.out.find(key, first + 1), std::string::npos);

    // A configuration that cannot be used fails the run, naming the file and the problem.
    const struct {
        const char* text;
        const char* problem;
    } bad[] = {
        {"[OPT]\nappdir=X\n[DEV_1]\nSensor=0x3335\nKM=33\n",
         ": [DEV_1] KM=33 is not an even number from 2 to 32\n"},
        {"", " is empty or has no sections\n"},
        {"[OPT]\nDebug=0\n", ": appdir in section [OPT] is empty, so there is no data folder\n"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.text);
        test::WriteText(dir_ / "cfg.ini", c.text);
        const RunResult run = Raw("--program-dir " + dir_.path() + " config");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("Data Init failed.     \n" + dir_ / "cfg.ini" + c.problem),
                  std::string::npos)
            << run.err;
    }
}

// A data folder and a state folder others could tamper with: a link planted in place of
// CID.dct is replaced itself (its target stays untouched), new files follow the umask,
// temporary files of interrupted saves go, a FIFO as state file is refused at once, and a
// second path to the state file shares its lock.
TEST_F(VantorctlTest, LinksSpecialFilesAndLeftoversAroundTheFiles) {
    namespace fs = std::filesystem;
    Ok("info");
    test::WriteText(dir_ / "system.conf", "precious");
    fs::remove(data_ + "/CID.dct");
    fs::create_symlink(dir_ / "system.conf", data_ + "/CID.dct");
    test::WriteText(data_ + "/PRO_051a.dct.tmpAb12Cd", "partial");
    test::WriteText(state_ + ".tmpXy12Zz", "partial");
    const RunResult run = Raw("--simulate --sim-state " + state_ + " info", "umask 077; ");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(dir_ / "system.conf"), "precious");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(data_ + "/CID.dct")));
    EXPECT_EQ(fs::status(data_ + "/CID.dct").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(data_ + "/PRO_051a.dct.tmpAb12Cd"));
    EXPECT_FALSE(fs::exists(state_ + ".tmpXy12Zz"));

    ASSERT_EQ(mkfifo((dir_ / "fifo.bin").c_str(), 0600), 0);
    const RunResult fifo = Raw("--simulate --sim-state " + dir_ / "fifo.bin" + " info");
    EXPECT_EQ(fifo.status, 1);
    EXPECT_EQ(fifo.err, "vantorctl: " + dir_ / "fifo.bin is not a regular file\n");

    fs::create_symlink(state_, dir_ / "state-link.bin");
    DeviceLock window;
    ASSERT_TRUE(
        window.Acquire(state_ + ".lock", "vantor", std::chrono::milliseconds(0), nullptr, nullptr));
    const RunResult busy = Raw("--simulate --sim-state " + dir_ / "state-link.bin set rate 500");
    EXPECT_EQ(busy.status, 1);
    EXPECT_EQ(busy.err.rfind("vantorctl: the mouse is in use by vantor", 0), 0u) << busy.err;
}

// An unplug is an event; a mouse still gone when the time is up fails the run. A lighting
// change the mouse cannot take now changes neither the mouse nor the record. Link faults
// of the simulated mouse reach the tool.
TEST_F(VantorctlTest, UnplugBusyLightingAndLinkFaults) {
    Ok("read");
    const std::string lighting = Bytes(0x00A0, 7);
    const std::string shown = Ok("show");
    Ok("sim ready off");
    const struct {
        const char* args;
        int status;
        const char* out;
        const char* error;  // the error line after "vantorctl: "
    } cases[] = {
        {"events 1 --sim-event unplug", 1, "unplugged\n",
         "the mouse was unplugged and did not come back within 1 s\n"},
        {"--json events 1 --sim-event unplug --sim-event plug", 0,
         "{\"event\":\"unplugged\"}\n{\"event\":\"plugged\"}\n", ""},
        {"set light main 1 5 7 ff8000", 1, "",
         "The mouse cannot change its lighting right now. Please try again later.\n"},
        {"--sim-fault error-every=1 info", 1, "", "the simulated mouse did not answer"},
        // Unplugged during the write: the mouse may hold part of it, the file keeps the old.
        {"--sim-fault unplug-after=5 set dpi 2 1600", 1, "",
         "writing the setting into the mouse stopped part-way: the mouse may hold part of the "
         "change, the profile file is unchanged"},
        {"--sim-fault latency-ms=x info", 2, "", "--sim-fault latency-ms takes a number"},
        {"--sim-fault nothing=1 info", 2, "", "--sim-fault takes KIND=VALUE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const RunResult run = Ctl(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, c.out);
        if (*c.error != '\0') {
            EXPECT_EQ(run.err.rfind(std::string("vantorctl: ") + c.error, 0), 0u) << run.err;
        } else {
            EXPECT_EQ(run.err, "");
        }
    }
    EXPECT_EQ(Bytes(0x00A0, 7), lighting);
    EXPECT_EQ(Ok("show"), shown);
    Ok("sim ready on");
    Ok("set light main 1 5 7 ff8000");
    EXPECT_EQ(Bytes(0x00A0, 7), "02ff8000aaaf7b");
}

// The wired model hides sleep, auto-sleep, motion sync and lift-off and has no battery:
// set refuses those settings and read, show and info leave them out.
TEST_F(VantorctlTest, SettingsTheModelHidesAreRefusedAndLeftOut) {
    const std::string wired = "--simulate=2 --sim-state " + dir_ / "wired.bin" + " ";
    const RunResult first = Raw("show");
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.err.rfind("vantorctl: no profile of this mouse is stored in ", 0), 0u)
        << first.err;

    for (const char* setting : {"sleep 60", "auto-sleep 6", "motion-sync on", "lod 1"}) {
        SCOPED_TRACE(setting);
        const RunResult run = Raw(wired + "set " + setting);
        EXPECT_EQ(run.status, 2);
        const std::string name = std::string(setting).substr(0, std::string(setting).find(' '));
        EXPECT_EQ(run.err, "vantorctl: this mouse has no " + name + " setting\n");
    }
    const RunResult read = Raw(wired + "read");
    ASSERT_EQ(read.status, 0) << read.err;
    const RunResult info = Raw(wired + "info");
    const RunResult show = Raw("show");
    const RunResult json = Raw("--json show");
    for (const std::string hidden :
         {"sleep", "auto-sleep", "motion sync", "lift-off", "logo lighting", "battery"}) {
        SCOPED_TRACE(hidden);
        EXPECT_EQ(read.out.find(hidden + ":"), std::string::npos) << read.out;
        EXPECT_EQ(show.out.find(hidden + ":"), std::string::npos) << show.out;
        EXPECT_EQ(info.out.find(hidden + ":"), std::string::npos) << info.out;
    }
    EXPECT_NE(read.out.find("debounce: 12 ms\n"), std::string::npos) << read.out;
    EXPECT_EQ(show.out.rfind("stored profile (the mouse was not read)\nprofile: 1\n", 0), 0u);
    const JsonValue record = ParseJson(json.out);
    EXPECT_EQ(record["source"].Text(), "stored");
    EXPECT_EQ(record["dpiLevels"].Size(), 5u);
    // info names each model by its own name, not by the program's.
    EXPECT_NE(info.out.find("product: Vantor Wired Mouse\n"), std::string::npos) << info.out;
    const std::string wireless = Ok("info");
    EXPECT_NE(wireless.find("product: Vantor Wireless Mouse\n"), std::string::npos) << wireless;
    EXPECT_NE(wireless.find("battery: 100 %\n"), std::string::npos);
    EXPECT_NE(Ok("set help").find("app:NAME (mail calculator explorer"), std::string::npos);
}

// The profile file cannot be written (the file size limit stands for a full disk): the
// line says the mouse took the change and which file was not saved.
TEST_F(VantorctlTest, ASaveThatFailsAfterTheMouseWasWrittenSaysSo) {
    EXPECT_EQ(Raw("--simulate read").status, 0);  // the profile file exists from now on
    const std::string profileFile = data_ + "/PRO_0101.dct";
    const std::vector<std::uint8_t> saved = ReadBytes(profileFile);
    ASSERT_FALSE(saved.empty());
    RunResult run;
    {
        test::ScopedFileSizeLimit fullDisk(8000);
        run = Raw("--simulate set rate 500");
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vantorctl: the mouse was updated, but saving " + profileFile +
                           " failed: File too large\n");
    EXPECT_TRUE(ReadBytes(profileFile) == saved);
}

TEST_F(VantorctlTest, RulesAreKeptInTheDataFolderAndADamagedFileIsRefused) {
    EXPECT_EQ(Raw("rules add XTerm 2").status, 0);
    EXPECT_EQ(Raw("rules add \"A Game\" 3").status, 0);
    EXPECT_EQ(Raw("rules add xterm 4").status, 0);  // the same application: its profile changes
    EXPECT_EQ(Raw("rules on").status, 0);
    EXPECT_EQ(Raw("rules default 1").status, 0);
    const JsonValue rules = ParseJson(Raw("--json rules list").out);
    EXPECT_TRUE(rules["enabled"].Bool());
    EXPECT_EQ(rules["default"].Number(), 1);
    ASSERT_EQ(rules["rules"].Size(), 2u);
    EXPECT_EQ(rules["rules"][0]["application"].Text(), "XTerm");
    EXPECT_EQ(rules["rules"][0]["profile"].Number(), 4);
    EXPECT_EQ(rules["rules"][1]["application"].Text(), "A Game");
    EXPECT_EQ(Raw("rules remove xterm").status, 0);
    EXPECT_EQ(Raw("rules list").out,
              "following the application in front: on\ndefault profile: 1\n"
              "1. A Game -> profile 3\n");

    for (const char* refused : {"rules add XTerm 5", "rules add XTerm", "rules default 0",
                                "rules nonsense", "rules list extra"}) {
        EXPECT_EQ(Raw(refused).status, 2) << refused;
    }
    EXPECT_EQ(Raw("rules remove Nothing").status, 1);

    // A damaged file is never written over: the command fails naming it, and the file is
    // kept aside.
    const std::string file = data_ + "/app_rules.txt";
    test::WriteText(file, "enabled yes\nrule 7 XTerm\n");
    const RunResult damaged = Raw("rules add Other 2");
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("line 2"), std::string::npos) << damaged.err;
    EXPECT_EQ(ReadText(file + ".damaged"), "enabled yes\nrule 7 XTerm\n");
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace vantor
