// Device memory is untrusted: decoding any bytes must give a record whose counts and
// indices stay in range, and writing that record back and decoding it again must stay
// inside the memory image and every table.
//
// Input: byte 0 picks the sensor, byte 1 the shown settings, bytes 2-3 the key mask; the
// rest is device memory from address 0 (missing bytes are 0, as unread bytes are).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "keys/macro_compare.h"
#include "keys/macro_library_access.h"
#include "profile/profile_decoder.h"
#include "profile/profile_writes.h"
#include "profile/sensor_tables.h"

namespace {

using namespace vantor;

class Library : public MacroLibraryAccess {
  public:
    Library() { macros_.reserve(64); }
    const MacroRecord* FindMacroByName(std::string_view name) const override {
        for (const MacroRecord& m : macros_) {
            if (MacroNameIs(m, name)) return &m;
        }
        return nullptr;
    }
    const MacroRecord* FindMacroById(std::uint32_t id) const override {
        for (const MacroRecord& m : macros_) {
            if (m.dwMacroID == id) return &m;
        }
        return nullptr;
    }
    bool AddMacro(const MacroRecord& macro) override {
        if (macros_.size() == macros_.capacity()) return false;
        macros_.push_back(macro);
        return true;
    }
    void ReplaceMacro(const MacroRecord& existing, const MacroRecord& content) override {
        for (MacroRecord& m : macros_) {
            if (&m == &existing) {
                const std::uint32_t id = m.dwMacroID;
                m = content;
                m.dwMacroID = id;
            }
        }
    }

  private:
    std::vector<MacroRecord> macros_;
};

constexpr std::uint32_t kSensors[] = {0x3395, 0x3335, 0x9000, 0x3325, 0x3370, 0x3104, 0x1234, 0};

void Check(bool ok) {
    if (!ok) std::abort();
}

void CheckRecord(const ProfileFile& record, int curDpiLevel) {
    Check(record.nDpiLevels >= 1 && record.nDpiLevels <= kDpiLevels);
    Check(curDpiLevel >= 0 && curDpiLevel < record.nDpiLevels);
}

int Decode(const std::vector<std::uint8_t>& memory, const CodecContext& context, Library& library,
           ProfileFile& record, int& curDpiLevel) {
    MacroNameTable names{};
    ProfileDecodeHooks hooks;
    hooks.showMessage = [](std::string_view, std::string_view) {};
    std::uint32_t nextId = 1;
    hooks.newMacroId = [&nextId] { return nextId++; };
    return DecodeProfileImage(memory, context, &library, record, curDpiLevel, names, hooks);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool built = [] {
        TheSensorTables().Build(SensorTableOptions{});
        return true;
    }();
    (void)built;
    if (size < 4) return 0;

    CodecContext context;
    context.sensor = kSensors[data[0] % std::size(kSensors)];
    context.dpiLevelCount = 1 + (data[0] >> 4) % 8;
    const std::uint8_t show = data[1];
    context.showLod = show & 0x01;
    context.showRipple = show & 0x02;
    context.showFixLine = show & 0x04;
    context.showDebounce = show & 0x08;
    context.showMainEffect = show & 0x10;
    context.showLogoEffect = show & 0x20;
    context.showDpiLed = show & 0x40;
    context.showDpi = show & 0x80;
    context.keyMask = static_cast<std::uint32_t>(data[2] | data[3] << 8);
    for (std::size_t b = 0; b < context.defaultMatrixIndex.size(); ++b) {
        context.defaultMatrixIndex[b] = static_cast<std::uint32_t>(b + 1);
    }
    context.defaultMatrixIndex[15] = 40;  // a default beyond the matrix is skipped

    std::vector<std::uint8_t> memory(kDeviceMemorySize, 0);
    std::copy_n(data + 4, std::min(size - 4, memory.size()), memory.begin());

    Library library;
    ProfileFile record{};
    record.dwProfileID = 1;
    int curDpiLevel = -3;
    if (Decode(memory, context, library, record, curDpiLevel) != 1) return 0;
    CheckRecord(record, curDpiLevel);

    const ProfileWritePlan plan = BuildProfileWrites(record, 0x7FFFF & ~SET_RESET, kSetIndexAll,
                                                     curDpiLevel, context, &library);
    std::vector<std::uint8_t> written(kDeviceMemorySize, 0);
    written[0] = 1;  // a report rate that decodes, should the record's not be writable
    // Decoded again whatever the writes report: a failed step leaves its bytes unchanged.
    (void)RunWritesOnMemory(plan, written, true);
    ProfileFile again = record;
    if (Decode(written, context, library, again, curDpiLevel) == 1) CheckRecord(again, curDpiLevel);
    return 0;
}
