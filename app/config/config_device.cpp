// Sections DEV_1 to DEV_30 of cfg.ini: one mouse model each, with its sensor, DPI defaults
// and overrides of the sensor's step table, default keys and key-mark rectangles.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "app/config/config.h"
#include "base/log.h"
#include "base/message_sink.h"
#include "base/string_format.h"
#include "keys/default_key_table.h"

namespace vantor {
namespace {

using D = DeviceSection;

constexpr PointField<D> kPointKeys[] = {
    {"ptMark", &D::ptMark, {337, 65}},      {"ptLedMark", &D::ptLedMark, {525, 30}},
    {"ptSensorMode", &D::ptSensorMode, {}}, {"ptRipple", &D::ptRipple, {}},
    {"ptFixLine", &D::ptFixLine, {}},
};

constexpr IntField<D> kIntKeys[] = {
    {"DR", &D::DR, 0x500},
    {"ShowLOD", &D::ShowLOD, 0},
    {"ShowUsbRate", &D::ShowUsbRate, 1},
    {"ShowRipple", &D::ShowRipple, 1},
    {"ShowFixLine", &D::ShowFixLine, 1},
    {"ShowMainEffect", &D::ShowMainEffect, 1},
    {"ShowLogoEffect", &D::ShowLogoEffect, 0},
    {"ShowDebounce", &D::ShowDebounce, 1},
    {"Debounce", &D::Debounce, 0},
    {"ShowXY", &D::ShowXY, 0},
    {"ShowRGBSw", &D::ShowRGBSw, 1},
    {"DpiMenuMask", &D::DpiMenuMask, 7},
    {"DpiUILevels", &D::DpiUILevels, 0},
    {"SetDPIByClick", &D::SetDPIByClick, 0},
    {"ShowSleep", &D::ShowSleep, 1},
    {"ShowAutoSleep", &D::ShowAutoSleep, 0},
    {"ShowMotionSync", &D::ShowMotionSync, 0},
    {"DpiLEDMode", &D::DpiLEDMode, 0},
    {"LedMask", &D::LedMask, 0},
    {"LightParam", &D::LightParam, 0x0A01},
    {"SleepTime", &D::SleepTime, 60},
    {"SleepTimeCheck", &D::SleepTimeCheck, 1},
    {"DpiColorReadOnly", &D::DpiColorReadOnly, 0},
    {"ShowDpiColor", &D::ShowDpiColor, 1},
    {"ShowDpiLED", &D::ShowDpiLED, 1},
    {"ShowDpi", &D::ShowDpi, 1},
};

constexpr std::array<int, 4> kDefaultRates = {0x125, 0x250, 0x500, 0x1000};
constexpr std::array<std::uint32_t, 11> kDefaultSleepChoices = {10,   30,   60,   300,  600, 900,
                                                                1200, 1500, 1800, 2100, 2400};
constexpr int kDefaultDpiLedMode = 0x030502;
constexpr std::uint32_t kNoAlias = 0xFFFFFFFFu;  // "-1"

void Warn(const std::string& text) {
    ShowSystemMessage(text, "Warning");
}

void ReadSleepChoices(const IniFile& ini, const std::string& name, D& d) {
    auto values = ReadList(ini, name, "SleepVal", 10, d.SleepVal.size());
    if (values.empty()) values.assign(kDefaultSleepChoices.begin(), kDefaultSleepChoices.end());
    std::copy(values.begin(), values.end(), d.SleepVal.begin());
    d.SleepValCount = static_cast<int>(values.size());
}

void ReadDpiLimits(const IniFile& ini, const std::string& name, D& d) {
    auto values = ReadList(ini, name, "DpiLimit", 10, 20);
    if (values.size() % 2 != 0) {
        Warn("wrong DpiLimit value");
        return;
    }
    // Up to ten pairs may be written, but there are only eight levels to hold them.
    const std::size_t pairs = std::min(values.size() / 2, d.DpiLimit.size());
    for (std::size_t i = 0; i < pairs; ++i) {
        d.DpiLimit[i] = {static_cast<int>(values[2 * i]), static_cast<int>(values[2 * i + 1])};
    }
}

// Appends start, start + step, ... up to end to the step list, each through the aliases.
// A zero step gives the start value alone, and the list never grows past its slots.
void AppendRange(SensorSteps& steps, std::uint64_t start, std::uint64_t end, std::uint64_t step,
                 const std::vector<std::uint32_t>& aliases) {
    for (std::uint64_t value = start; value <= end && steps.count < kMaxSensorSteps;
         value += step) {
        std::uint64_t stored = value;
        for (std::size_t i = 0; i + 1 < aliases.size(); i += 2) {
            if (aliases[i] == value) {
                if (aliases[i + 1] != kNoAlias) stored = aliases[i + 1];
                break;
            }
        }
        steps.dpi[steps.count++] = static_cast<std::uint16_t>(stored);
        if (step == 0) break;
    }
}

void ApplyTableOverrides(const IniFile& ini, const std::string& name, SensorSteps& steps) {
    auto range = ReadList(ini, name, "DPIRANGE", 10, kMaxSensorSteps);
    if (!range.empty()) {
        auto aliases = ReadList(ini, name, "DPIRANGEALIAS", 10, kMaxSensorSteps);
        const std::size_t given = range.size();
        if (given < 3) Warn("Wrong DPIRANGE");
        range.resize(std::max<std::size_t>(range.size(), 6), 0);
        steps.count = 0;
        steps.dpi.fill(0);
        AppendRange(steps, range[0], range[1], range[2], aliases);
        // The second range needs all six numbers; with fewer it would have no end or step.
        if (given >= 6) {
            AppendRange(steps, range[3], range[4], range[5], aliases);
        }
        return;
    }

    auto set = ReadList(ini, name, "DPISET", 10, kMaxSensorSteps, 780);
    if (!set.empty()) {
        steps.dpi.fill(0);
        for (std::size_t i = 0; i < set.size(); ++i) {
            steps.dpi[i] = static_cast<std::uint16_t>(set[i]);
        }
        steps.count = static_cast<int>(set.size());
    }
    auto codes = ReadList(ini, name, "DPIHW", 16, kMaxSensorSteps, 520);
    if (!codes.empty()) {
        steps.code.fill(0);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            steps.code[i] = static_cast<std::uint8_t>(codes[i]);
        }
        if (static_cast<int>(codes.size()) != steps.count) Warn("DPISET Num != DPIHW Num");
    } else if (!set.empty()) {
        for (int i = 0; i < steps.count; ++i) steps.code[i] = static_cast<std::uint8_t>(i + 1);
    }
}

void ReadDefaultDpi(const IniFile& ini, const std::string& name, D& d) {
    auto values = ReadList(ini, name, "DPI", 10, kMaxDpiLevels);
    if (static_cast<int>(values.size()) == d.DM) {
        for (std::size_t i = 0; i < values.size(); ++i) d.DPI[i] = static_cast<int>(values[i]);
    } else {
        if (!values.empty()) Warn("DPI != DM.");
        if (auto defaults = DefaultDpiLevels(static_cast<std::uint32_t>(d.Sensor))) {
            d.DPI = *defaults;
        }
    }
    for (int i = 0; i < d.DM; ++i) {
        if (DpiStepIndex(static_cast<std::uint32_t>(d.Sensor), d.DPI[i]) < 0) {
            Warn("Wrong default dpi value: " + std::to_string(d.DPI[i]));
        }
    }
}

void ReadDpiColours(const IniFile& ini, const std::string& name, D& d) {
    d.DC = kBuiltInDpiColours;
    auto bytes = ReadByteList(ini, name, "DC", 3 * kMaxDpiLevels);
    if (static_cast<int>(bytes.size()) == 3 * d.DM) {
        for (int i = 0; i < d.DM; ++i)
            d.DC[i] = Rgb(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
    } else if (!bytes.empty()) {
        Warn("DC != DM.");
    }
}

void ReadDefaultKeys(const IniFile& ini, const std::string& name, D& d) {
    for (int set = 0; set < kKeySets; ++set) {
        int counted = 0;
        for (int button = 0; button < kKeysPerSet; ++button) {
            const std::string key =
                "K" + std::to_string(button + 1) + "_" + std::to_string(set + 1);
            const std::string value = ini.GetString(name, key, "", kDefaultValueChars);
            if (ParseDefaultKeyEntry(value, d.keys[set][button])) {
                ++counted;
            }
        }
        if (counted == 0) {
            if (set > 0) d.keys[set] = d.keys[0];
        } else if (counted < d.keyCount) {
            ShowSystemMessage("Key num to small", "Error");
        }
    }
}

void ReadMarks(const IniFile& ini, const std::string& name, D& d) {
    for (int n = 1; n <= kKeysPerSet; ++n) {
        const std::string key = NumberedKey("Mark", n);
        if (ini.GetString(name, key, "", kListValueChars).empty()) break;
        auto v = ReadList(ini, name, key, 10, 5);
        if (v.size() != 4) {
            ShowSystemMessage("Mark value error", "Error");
            continue;
        }
        // Unsigned sums wrap instead of overflowing.
        d.marks[n - 1] = {static_cast<int>(v[0]), static_cast<int>(v[1]),
                          static_cast<int>(v[0] + v[2]), static_cast<int>(v[1] + v[3])};
    }
}

}  // namespace

const std::array<std::uint32_t, kMaxDpiLevels> kBuiltInDpiColours = {
    Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(0, 0, 255),     Rgb(255, 255, 0),
    Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255), Rgb(255, 128, 0),
};

bool ReadDeviceSection(const IniFile& ini, int number, const AppOptions& options, D& d,
                       std::string* error) {
    const std::string name = NumberedKey("DEV_", number);
    d = DeviceSection{};
    d.Sensor = ini.GetInt(name, "Sensor", 0);
    if (d.Sensor == 0) return true;
    d.CID = ini.GetInt(name, "CID", 0);
    d.MID = ini.GetInt(name, "MID", 0);
    d.Name = ReadTextValue(ini, name, "Name", 40);
    ReadPointFields(ini, name, kPointKeys, d);
    if (d.ptRipple == Point{}) d.ptRipple = options.OldAdvDlg ? Point{818, 160} : Point{788, 435};

    for (int i = 0; i < 4; ++i) {
        d.RATE[i] = ini.GetInt(name, NumberedKey("RATE", i + 1), kDefaultRates[i]);
    }
    ReadIntFields(ini, name, kIntKeys, d);
    if (d.ShowMotionSync == 0) d.ShowMotionSync = options.ShowMotionSync;
    if (d.DpiLEDMode == 0) d.DpiLEDMode = kDefaultDpiLedMode;
    if (d.ShowDpi == 0) d.ShowDpiLED = 0;
    ReadSleepChoices(ini, name, d);
    for (int i = 0; i < 3; ++i) d.ExKey[i] = ini.GetInt(name, NumberedKey("ExKey", i + 1), 0);
    ReadDpiLimits(ini, name, d);

    // The level arrays hold eight entries; other counts would index past them.
    d.DM = std::clamp(ini.GetInt(name, "DM", 6), 1, kMaxDpiLevels);
    d.DPIH = ini.GetInt(name, "DPIH", 10);
    d.DEFLEVEL = std::clamp(ini.GetInt(name, "DEFLEVEL", 0), 0, d.DM - 1);

    if (SensorSteps* steps = TheSensorTables().Find(static_cast<std::uint32_t>(d.Sensor))) {
        ApplyTableOverrides(ini, name, *steps);
    } else {
        Warn("Can't find sensor");
    }
    ReadDefaultDpi(ini, name, d);
    ReadDpiColours(ini, name, d);
    d.KEYH = ini.GetInt(name, "KEYH", 10);

    d.MDNUM = ini.GetInt(name, "MDNUM", 9);
    if (d.MDNUM != 3 && d.MDNUM != 6 && d.MDNUM != 9) {
        DbgLog("ReadDevCfg err: %s MDNUM=%d", name.c_str(), d.MDNUM);
        if (error != nullptr)
            *error = StringPrintf("[%s] MDNUM=%d is not 3, 6 or 9", name.c_str(), d.MDNUM);
        return false;
    }
    d.profileCountCode = d.MDNUM / 3;
    d.KM = ini.GetInt(name, "KM", 32);
    if (d.KM % 2 != 0 || d.KM < 2 || d.KM > 2 * kKeysPerSet) {
        DbgLog("ReadDevCfg err: %s KM=%d", name.c_str(), d.KM);
        if (error != nullptr) {
            *error = StringPrintf("[%s] KM=%d is not an even number from 2 to %d", name.c_str(),
                                  d.KM, 2 * kKeysPerSet);
        }
        return false;
    }
    d.keyCount = d.KM / 2;
    ReadDefaultKeys(ini, name, d);
    ReadMarks(ini, name, d);
    return true;
}

void DescribeDeviceSection(const D& d, const ConfigValueVisitor& visit) {
    auto list = [](const auto& values, std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count && i < values.size(); ++i) {
            text += (i > 0 ? "," : "") + std::to_string(values[i]);
        }
        return text;
    };
    char sensor[16];
    std::snprintf(sensor, sizeof sensor, "0x%04X", static_cast<unsigned>(d.Sensor));
    visit("Sensor", sensor);
    visit("CID", std::to_string(d.CID));
    visit("MID", std::to_string(d.MID));
    visit("Name", d.Name);
    for (const auto& p : kPointKeys) visit(p.key, FormatPoint(d.*(p.field)));
    for (int i = 0; i < 4; ++i) {
        visit(NumberedKey("RATE", i + 1), FormatHexList({static_cast<std::uint32_t>(d.RATE[i])}));
    }
    for (const auto& f : kIntKeys) visit(f.key, std::to_string(d.*(f.field)));
    visit("SleepVal", list(d.SleepVal, static_cast<std::size_t>(d.SleepValCount)));
    for (int i = 0; i < 3; ++i) visit(NumberedKey("ExKey", i + 1), std::to_string(d.ExKey[i]));
    std::string limits;
    for (const auto& pair : d.DpiLimit) limits += (limits.empty() ? "" : ",") + list(pair, 2);
    visit("DpiLimit", limits);
    visit("DM", std::to_string(d.DM));
    visit("DPIH", std::to_string(d.DPIH));
    visit("DEFLEVEL", std::to_string(d.DEFLEVEL));
    visit("DPI", list(d.DPI, static_cast<std::size_t>(d.DM)));
    std::string colours;
    for (int i = 0; i < d.DM; ++i) colours += (i > 0 ? "," : "") + FormatColour(d.DC[i]);
    visit("DC", colours);
    visit("KEYH", std::to_string(d.KEYH));
    visit("MDNUM", std::to_string(d.MDNUM));
    visit("KM", std::to_string(d.KM));
    char entry[64];
    for (int set = 0; set < kKeySets; ++set) {
        for (int button = 0; button < kKeysPerSet; ++button) {
            const KeyAssignment& key = d.keys[set][button];
            if (key.dwFunID == 0 && key.nMatrixIndex == 0) continue;
            std::snprintf(
                entry, sizeof entry, "fun=%08X matrix=%u param=%X combo=%08X",
                static_cast<unsigned>(key.dwFunID), static_cast<unsigned>(key.nMatrixIndex),
                static_cast<unsigned>(key.dwParameter), static_cast<unsigned>(key.stCombo));
            visit("K" + std::to_string(button + 1) + "_" + std::to_string(set + 1), entry);
        }
    }
    for (int n = 0; n < kKeysPerSet; ++n) {
        const Rect& r = d.marks[n];
        if (r.IsEmpty()) continue;
        visit(NumberedKey("Mark", n + 1), std::to_string(r.left) + "," + std::to_string(r.top) +
                                              "," + std::to_string(r.right - r.left) + "," +
                                              std::to_string(r.bottom - r.top));
    }
}

}  // namespace vantor
