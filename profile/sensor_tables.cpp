#include "profile/sensor_tables.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/log.h"

namespace vantor {
namespace {

// Hardware codes of the sensors whose codes do not follow a formula, in ascending DPI order.
constexpr std::uint8_t kCodeTable3104[] = {0x10, 0x12, 0x15, 0x17, 0x1A, 0x1D, 0x1F, 0x22, 0x25,
                                           0x27, 0x2A, 0x2D, 0x2F, 0x32, 0x34, 0x37, 0x3A, 0x3C,
                                           0x3F, 0x42, 0x44, 0x47, 0x4A, 0x4C, 0x4F, 0x52, 0x54,
                                           0x57, 0x59, 0x5C, 0x5F, 0x61, 0x64, 0x67, 0x69};
static_assert(std::size(kCodeTable3104) == 35);
constexpr std::size_t kCodeTable3212Size = 19;  // the first codes of kCodeTable3104

constexpr std::uint8_t kCodeTable3325[] = {
    0x04, 0x06, 0x08, 0x0B, 0x0D, 0x0F, 0x12, 0x14, 0x16, 0x19, 0x1B, 0x1D, 0x20,
    0x22, 0x24, 0x27, 0x29, 0x2B, 0x2E, 0x30, 0x32, 0x34, 0x37, 0x39, 0x3B, 0x3E,
    0x40, 0x42, 0x45, 0x47, 0x49, 0x4C, 0x4E, 0x50, 0x53, 0x55, 0x57, 0x5A, 0x5C,
    0x5E, 0x61, 0x63, 0x65, 0x68, 0x6A, 0x6C, 0x6F, 0x71, 0x73};
static_assert(std::size(kCodeTable3325) == 49);

constexpr std::uint8_t kCodeTable3335[] = {
    0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x10, 0x11, 0x12,
    0x13, 0x14, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x23, 0x25, 0x26,
    0x27, 0x28, 0x29, 0x2A, 0x2C, 0x2D, 0x2E, 0x2F, 0x30, 0x32, 0x33, 0x34, 0x35, 0x36, 0x38, 0x39,
    0x3A, 0x3B, 0x3C, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x44, 0x45, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C,
    0x4D, 0x4E, 0x50, 0x51, 0x52, 0x53, 0x54, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x62, 0x63, 0x64, 0x65, 0x66, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6E, 0x6F, 0x70, 0x71, 0x72,
    0x74, 0x75, 0x76, 0x77, 0x78, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x80, 0x81, 0x82, 0x83, 0x84, 0x86,
    0x87, 0x88, 0x89, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x92, 0x93, 0x94, 0x95, 0x96, 0x98, 0x99,
    0x9A, 0x9B, 0x9C, 0x9E, 0x9F, 0xA0, 0xA1, 0xA2, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xAA, 0xAB, 0xAC,
    0xAD, 0xAE, 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD};
static_assert(std::size(kCodeTable3335) == 160);

constexpr std::uint8_t kCodeTable9000[] = {
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0E, 0x0F, 0x10, 0x11, 0x12,
    0x13, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x22, 0x23, 0x24, 0x25,
    0x26, 0x27, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x36, 0x37, 0x38,
    0x39, 0x3A, 0x3B, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x4A, 0x4B,
    0x4C, 0x4D, 0x4E, 0x4F, 0x51, 0x52, 0x53, 0x54, 0x55, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5E,
    0x5F, 0x60, 0x61, 0x62, 0x63, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70,
    0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7F, 0x80, 0x81, 0x82, 0x83,
    0x84, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8D, 0x8E, 0x8F, 0x90, 0x91, 0x93, 0x94, 0x95, 0x96,
    0x97, 0x98, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA7, 0xA8, 0xA9,
    0xAA, 0xAB, 0xAC, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBB, 0xBC,
    0xBD, 0xBE, 0xBF, 0xC0, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDD, 0xDE, 0xDF, 0xE0, 0xE1,
    0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xEA, 0xEB};
static_assert(std::size(kCodeTable9000) == 200);

constexpr int kSensor3336IndexRuleMax = 7200;  // 0x3336 codes are DPI / 50 - 1 up to here
constexpr std::uint8_t kNoHalfCode = 0xFF;     // a value whose half has no code

// A DPI entry has room for 12 code bits; a computed code beyond that has no value.
constexpr int kMaxComputedCode = 0x0FFF;

int ClampedCount(const SensorSteps& entry) {
    return std::clamp(entry.count, 0, kMaxSensorSteps);
}

// Index of `code` in a code table, or -1.
int IndexOfCode(std::span<const std::uint8_t> table, std::uint16_t code) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i] == code) return static_cast<int>(i);
    }
    return -1;
}

// Code of a rule of the form DPI / divisor - 1; 0 when the result is not a code.
std::uint16_t DividedCode(int dpi, int divisor) {
    const int code = dpi / divisor - 1;
    if (code < 0 || code > kMaxComputedCode) return 0;
    return static_cast<std::uint16_t>(code);
}

void StoreFlags(std::uint8_t* flags, std::uint8_t value) {
    if (flags != nullptr) *flags = value;
}

// Appends steps to one entry; never writes beyond kMaxSensorSteps.
class EntryBuilder {
  public:
    EntryBuilder(SensorSteps& entry, std::uint16_t sensor) : entry_(entry) {
        entry_ = SensorSteps{};
        entry_.sensorId = sensor;
    }

    void Add(int dpi, std::uint8_t code) {
        if (entry_.count >= kMaxSensorSteps || dpi <= 0 || dpi > 0xFFFF) return;
        entry_.dpi[static_cast<std::size_t>(entry_.count)] = static_cast<std::uint16_t>(dpi);
        entry_.code[static_cast<std::size_t>(entry_.count)] = code;
        ++entry_.count;
    }

    // Adds start, start + step, ... up to end; the code of each value comes from `codeOf`.
    template <typename CodeOf>
    void AddRange(int start, int end, int step, CodeOf codeOf) {
        if (step <= 0) return;
        for (int dpi = start; dpi <= end && entry_.count < kMaxSensorSteps; dpi += step) {
            Add(dpi, codeOf(dpi));
        }
    }

    // Adds values whose code is taken from `table` in order (one code per value).
    void AddTableRange(int start, int step, std::span<const std::uint8_t> table) {
        int dpi = start;
        for (std::uint8_t code : table) {
            Add(dpi, code);
            dpi += step;
        }
    }

    // The code the entry built so far gives to half of `dpi`; such a code is stored with a
    // multiplier flag that doubles the value.
    std::uint8_t HalfCode(int dpi, bool logMissing) const {
        const int half = dpi / 2;
        for (int i = 0; i < entry_.count; ++i) {
            if (entry_.dpi[static_cast<std::size_t>(i)] == half) {
                return entry_.code[static_cast<std::size_t>(i)];
            }
        }
        if (logMissing) DbgLog("increct dp %d", dpi);
        return kNoHalfCode;
    }

    int count() const { return entry_.count; }

  private:
    SensorSteps& entry_;
};

}  // namespace

void SensorTables::Build(const SensorTableOptions& options) {
    entries_.fill(SensorSteps{});
    std::size_t next = 0;
    auto begin = [&](std::uint16_t sensor) { return EntryBuilder(entries_[next++], sensor); };

    {
        EntryBuilder b = begin(0x3050);
        constexpr int kSteps[] = {500, 750, 1000, 1250, 1500, 1750, 2000, 2500, 3000, 3500, 4000};
        for (int dpi : kSteps) b.Add(dpi, static_cast<std::uint8_t>(b.count() + 1));
    }
    {
        EntryBuilder b = begin(0x3330);
        auto index = [&](int) { return static_cast<std::uint8_t>(b.count()); };
        b.AddRange(50, 7200, 50, index);
        b.AddRange(7300, 12000, 100, index);
    }
    begin(0x3104).AddTableRange(600, 100, kCodeTable3104);
    begin(0x3212).AddTableRange(600, 100, std::span(kCodeTable3104, kCodeTable3212Size));
    {
        EntryBuilder b = begin(0x3325);
        b.AddTableRange(200, 100, kCodeTable3325);
        auto half = [&](int dpi) { return b.HalfCode(dpi, true); };
        if (options.sensor3325Step200) {
            b.AddRange(5200, 10000, 200, half);
        } else {
            b.AddRange(6000, 10000, 1000, half);
        }
    }
    begin(0x3335).AddTableRange(100, 100, kCodeTable3335);
    {
        EntryBuilder b = begin(0x4090);
        b.AddTableRange(200, 100, kCodeTable3325);
        b.AddRange(5200, 10000, 200, [&](int dpi) { return b.HalfCode(dpi, false); });
    }
    {
        EntryBuilder b = begin(0x3336);
        b.AddRange(50, kSensor3336IndexRuleMax, 50,
                   [](int dpi) { return static_cast<std::uint8_t>(dpi / 50 - 1); });
        b.AddRange(7300, 12000, 100, [&](int dpi) { return b.HalfCode(dpi, false); });
    }
    {
        EntryBuilder b = begin(0x3370);
        auto none = [](int) { return std::uint8_t{0}; };
        b.AddRange(50, 10000, 50, none);
        b.AddRange(10100, 19000, 100, none);
        b.AddRange(19200, 38000, 200, none);
    }
    {
        EntryBuilder b = begin(0x9000);
        b.AddTableRange(50, 50, kCodeTable9000);
        b.AddRange(10100, options.sensor9000Max, 100,
                   [&](int dpi) { return b.HalfCode(dpi, false); });
    }
    {
        EntryBuilder b = begin(0x3395);
        auto none = [](int) { return std::uint8_t{0}; };
        b.AddRange(50, 26000, 50, none);
        b.AddRange(26100, options.sensor3395Max, 100, none);
    }
}

const SensorSteps* SensorTables::Find(std::uint32_t sensor) const {
    if (sensor == 0) return nullptr;
    for (const SensorSteps& entry : entries_) {
        if (entry.sensorId == sensor) return &entry;
    }
    return nullptr;
}

SensorSteps* SensorTables::Find(std::uint32_t sensor) {
    return const_cast<SensorSteps*>(std::as_const(*this).Find(sensor));
}

std::span<const std::uint16_t> SensorTables::Steps(std::uint32_t sensor) const {
    const SensorSteps* entry = Find(sensor);
    if (entry == nullptr) return {};
    return std::span(entry->dpi.data(), static_cast<std::size_t>(ClampedCount(*entry)));
}

std::span<const std::uint8_t> SensorTables::StepCodes(std::uint32_t sensor) const {
    const SensorSteps* entry = Find(sensor);
    if (entry == nullptr) return {};
    return std::span(entry->code.data(), static_cast<std::size_t>(ClampedCount(*entry)));
}

int SensorTables::DpiStepIndex(std::uint32_t sensor, int dpi) const {
    const auto steps = Steps(sensor);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i] == dpi) return static_cast<int>(i);
    }
    return -1;
}

int SensorTables::DpiAtStep(std::uint32_t sensor, int index) const {
    const auto steps = Steps(sensor);
    if (index < 0 || static_cast<std::size_t>(index) >= steps.size()) return -1;
    return steps[static_cast<std::size_t>(index)];
}

int SensorTables::DpiFromCode(std::uint32_t sensor, std::uint16_t code, std::uint8_t flags) const {
    if (Find(sensor) == nullptr) return 0;
    const int doubled = flags != 0 ? 2 : 1;
    switch (sensor) {
        case 0x3335: {
            const int i = IndexOfCode(kCodeTable3335, code);
            return i < 0 ? 0 : (i + 1) * 100 * doubled;
        }
        case 0x3395:
            return (code + 1) * 50 * ((flags & 1) != 0 ? 2 : 1);
        case 0x3370:
            return (code + 1) * ((flags & 2) != 0 ? 100 : 50) * ((flags & 1) != 0 ? 2 : 1);
        case 0x3325:
        case 0x4090: {
            const int i = IndexOfCode(kCodeTable3325, code);
            return i < 0 ? 0 : (200 + i * 100) * doubled;
        }
        case 0x3336: {
            const int slots = kSensor3336IndexRuleMax / 50;  // codes 0 .. slots - 1
            return code < slots ? (code + 1) * 50 * doubled : 0;
        }
        case 0x3330:
            return (code + 1) * (flags != 0 ? 100 : 50);
        default:
            break;
    }
    const auto steps = Steps(sensor);
    const auto codes = StepCodes(sensor);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (codes[i] != code) continue;
        const bool mayDouble = sensor == 0x3104 || sensor == 0x9000;
        return steps[i] * (mayDouble ? doubled : 1);
    }
    return 0;
}

std::uint16_t SensorTables::CodeFromDpi(std::uint32_t sensor, int dpi, std::uint8_t* flags) const {
    if (Find(sensor) == nullptr) return 0;
    const auto stepCode = [&](int value) -> std::uint16_t {
        const int index = DpiStepIndex(sensor, value);
        return index < 0 ? 0 : StepCodes(sensor)[static_cast<std::size_t>(index)];
    };
    switch (sensor) {
        case 0x3325:
        case 0x4090:
            StoreFlags(flags, dpi > 5000 ? 1 : 0);
            return stepCode(dpi);
        case 0x3336:
            StoreFlags(flags, dpi > kSensor3336IndexRuleMax ? 1 : 0);
            return stepCode(dpi);
        case 0x3104:
            StoreFlags(flags, dpi > 4000 ? 1 : 0);
            return stepCode(dpi);
        case 0x3330:
            if (dpi <= 7200) {
                StoreFlags(flags, 0);
                return DividedCode(dpi, 50);
            }
            StoreFlags(flags, 1);
            return DividedCode(dpi, 100);
        case 0x3335: {
            // Entry number value / 100 counted from 1; above the table the half value doubled.
            const bool above = dpi > 16000;
            StoreFlags(flags, above ? 1 : 0);
            const int index = (above ? dpi / 2 : dpi) / 100 - 1;
            if (index < 0 || index >= static_cast<int>(std::size(kCodeTable3335))) return 0;
            return kCodeTable3335[index];
        }
        case 0x3370:
            if (dpi <= 10000) {
                StoreFlags(flags, 0);
                return DividedCode(dpi, 50);
            }
            if (dpi <= 19000) {
                StoreFlags(flags, 2);
                return DividedCode(dpi, 100);
            }
            if (dpi <= 20000) {
                StoreFlags(flags, 1);
                return DividedCode(dpi, 100);
            }
            if (dpi <= 38000) {
                StoreFlags(flags, 3);
                return DividedCode(dpi, 200);
            }
            StoreFlags(flags, 0);
            return 0;
        case 0x3395:
            if (dpi <= 26099) {
                StoreFlags(flags, 0);
                return DividedCode(dpi, 50);
            }
            StoreFlags(flags, 1);
            return DividedCode(dpi, 100);
        case 0x9000: {
            if (DpiStepIndex(sensor, dpi) < 0) {
                StoreFlags(flags, 0);
                return 0;
            }
            if (dpi > 12000) {
                // 17 leaves 1 in both 2-bit multiplier fields of the DPI entry. Each halving
                // shrinks the value, so this ends after a few rounds.
                StoreFlags(flags, 17);
                return CodeFromDpi(sensor, dpi / 2, nullptr);
            }
            // 34 leaves 2 in both multiplier fields: the step's code is that of half the value.
            StoreFlags(flags, dpi < 10100 ? 0 : 34);
            return stepCode(dpi);
        }
        default:
            return stepCode(dpi);
    }
}

std::optional<std::array<int, 8>> DefaultDpiLevels(std::uint32_t sensor) {
    struct Defaults {
        std::uint32_t sensor;
        std::array<int, 8> levels;
    };
    static constexpr Defaults kDefaults[] = {
        {0x3050, {750, 1000, 1500, 2000, 2500, 3000, 3500, 4000}},
        {0x3370, {750, 1000, 1500, 2000, 2500, 3000, 3500, 4000}},
        {0x3212, {750, 1000, 1600, 2400, 3200, 4000, 5000, 7200}},
        {0x3320, {750, 1000, 1500, 2000, 2500, 3500, 4000, 5000}},
        {0x3325, {800, 1200, 2000, 3200, 4000, 5200, 6000, 8000}},
        {0x3330, {1000, 1500, 2000, 3000, 4000, 5000, 6000, 7200}},
        {0x3360, {1000, 1600, 2000, 3000, 4000, 5000, 6000, 8000}},
        {0x3610, {1000, 1600, 2000, 2400, 3000, 3200, 4000, 5600}},
        {0x5050, {750, 1000, 1250, 1500, 1750, 2000, 2500, 2750}},
        {0x5090, {500, 1000, 1250, 1500, 2000, 2500, 3000, 3500}},
        {0x7350, {600, 800, 1000, 1200, 1600, 2000, 2400, 3200}},
        {0x9800, {1000, 1500, 2000, 3000, 3500, 4000, 5000, 8200}},
    };
    for (const Defaults& d : kDefaults) {
        if (d.sensor == sensor) return d.levels;
    }
    return std::nullopt;
}

SensorTables& TheSensorTables() {
    static SensorTables tables;
    return tables;
}

}  // namespace vantor
