// Section OPT of cfg.ini: behaviour switches, numbers, colours, positions, rectangles,
// lighting options and the language list.
#include <algorithm>

#include "app/config/config.h"
#include "base/message_sink.h"

namespace vantor {
namespace {

constexpr const char* kOpt = "OPT";
using O = AppOptions;

constexpr IntField<O> kIntKeys[] = {
    {"Debug", &O::Debug, 0},
    {"Suwnd", &O::Suwnd, 1},
    {"ApplyNow", &O::ApplyNow, 0},
    {"BtnTips", &O::BtnTips, 0},
    {"MenuItems", &O::MenuItems, 13},
    {"TipForDebounce", &O::TipForDebounce, 0},
    {"OldAdvDlg", &O::OldAdvDlg, 0},
    {"EnhancePrecision", &O::EnhancePrecision, 1},
    {"Debounce", &O::Debounce, 12},
    {"DebounceRange", &O::DebounceRange, 0x1E00},
    {"ShowWelcome", &O::ShowWelcome, 0},
    {"ShowProfile", &O::ShowProfile, 1},
    {"ComboRec", &O::ComboRec, 1},
    {"FontSize", &O::FontSize, 12},
    {"ShowPower", &O::ShowPower, 0},
    {"ShowPower", &O::ShowPowerSecondRead, 1},
    {"SyncChangeDpiLevel", &O::SyncChangeDpiLevel, 0},
    {"ShowMacro", &O::ShowMacro, 1},
    {"NoMatchPID", &O::NoMatchPID, 0},
    {"MinDelay", &O::MinDelay, 10},
    {"MacroDir", &O::MacroDir, 0},
    {"MacroOptX", &O::MacroOptX, 756},
    {"MacroHasMsKey", &O::MacroHasMsKey, 0},
    {"ListTrans", &O::ListTrans, 0},
    {"InsertBefore", &O::InsertBefore, 1},
    {"MinUIDelay", &O::MinUIDelay, 1},
};

// Read after VID, PID, PID2 and the texts.
constexpr IntField<O> kLaterIntKeys[] = {
    {"Sensor", &O::Sensor, 0x3050},
    {"Pop", &O::Pop, 0},
    {"TrayIcon", &O::TrayIcon, 2},
    {"GoWithNoDev", &O::GoWithNoDev, 0},
    {"ExitType", &O::ExitType, 0},
    {"ShowSys", &O::ShowSys, 1},
    {"ShowProSw", &O::ShowProSw, 1},
    {"ShowFireKey", &O::ShowFireKey, 1},
    {"KeyMask", &O::KeyMask, 0},
    {"UIDebug", &O::UIDebug, 0},
    {"ShowFWUpdate", &O::ShowFWUpdate, 0},
    {"ShowMotionSync", &O::ShowMotionSync, 0},
    {"Retry", &O::Retry, 3},
    {"ProSwitchEnable", &O::ProSwitchEnable, 1},
    {"InitOnReset", &O::InitOnReset, 0},
};

// Read after ComboName1..3.
constexpr IntField<O> kLayoutIntKeys[] = {
    {"BarY", &O::BarY, 3},     {"DpiBarY", &O::DpiBarY, 12}, {"DpiSliderY", &O::DpiSliderY, 3},
    {"ScaleY", &O::ScaleY, 4}, {"SliderY", &O::SliderY, 0},  {"MenuW", &O::MenuW, 0},
    {"NaviW", &O::NaviW, 0},   {"RateVSp", &O::RateVSp, 67},
};

struct ColourField {
    const char* key;
    std::uint32_t O::*field;
    std::uint32_t defaultValue;
};

constexpr ColourField kColourKeys[] = {
    {"Txt_clr", &O::Txt_clr, 0},
    {"Btn_txt_clr_nr", &O::Btn_txt_clr_nr, 0},
    {"Btn_txt_clr_ov", &O::Btn_txt_clr_ov, 0},
    {"Btn_txt_clr_dn", &O::Btn_txt_clr_dn, 0},
    {"Menu_txt_clr_nr", &O::Menu_txt_clr_nr, 0},
    {"Menu_txt_clr_ov", &O::Menu_txt_clr_ov, 0},
    {"Menu_txt_clr_dn", &O::Menu_txt_clr_dn, 0},
    {"LstBox_txt_clr_nr", &O::LstBox_txt_clr_nr, 0},
    {"LstBox_txt_clr_dn", &O::LstBox_txt_clr_dn, 0},
    {"LstBox_bkg_clr", &O::LstBox_bkg_clr, 0},
    {"LstBox_item_clr", &O::LstBox_item_clr, 0},
    {"clrEdit", &O::clrEdit, Rgb(20, 20, 20)},
    {"clrMask", &O::clrMask, 0},
    {"clrDpiMark", &O::clrDpiMark, Rgb(255, 0, 0)},
    {"clrMaskDialog", &O::clrMaskDialog, Rgb(0, 255, 0)},
    // clrTxtLedDlg and clrTxtAdvDlg default to Txt_clr and are read on their own.
    {"clrMacFrame", &O::clrMacFrame, 0},
};

constexpr PointField<O> kPointKeys[] = {
    {"ptMin", &O::ptMin, {952, 12}},
    {"ptApply", &O::ptApply, {867, 645}},
    {"ptNavi", &O::ptNavi, {25, 110}},
    {"ptKey", &O::ptKey, {72, 77}},
    {"ptMoveSpeed", &O::ptMoveSpeed, {630, 325}},
    {"ptScrollSpeed", &O::ptScrollSpeed, {630, 400}},
    {"ptDbClickSpeed", &O::ptDbClickSpeed, {630, 475}},
    {"ptPower", &O::ptPower, {949, 66}},
    {"ptProfile", &O::ptProfile, {111, 30}},
    {"ptDpiBar", &O::ptDpiBar, {120, 60}},
    {"ptDpiEft", &O::ptDpiEft, {153, 420}},
    {"ptDpiLight", &O::ptDpiLight, {100, 465}},
    {"ptDpiSpeed", &O::ptDpiSpeed, {100, 490}},
    {"ptLedEft", &O::ptLedEft, {130, 60}},
    {"ptLight", &O::ptLight, {558, 366}},
    {"ptSpeed", &O::ptSpeed, {558, 423}},
    {"ptGradit", &O::ptGradit, {143, 189}},
    {"ptResult", &O::ptResult, {80, 127}},
    {"ptRGBEdit", &O::ptRGBEdit, {150, 133}},
    {"ptLightOffOnMoving", &O::ptLightOffOnMoving, {558, 457}},
    {"ptSleep", &O::ptSleep, {558, 483}},
    {"ptGrid", &O::ptGrid, {100, 412}},
    {"ptRecord", &O::ptRecord, {756, 54}},
};

struct RectField {
    const char* key;
    Rect O::*field;
    Rect defaultValue;
};

constexpr RectField kRectKeys[] = {
    {"rcMacroList", &O::rcMacroList, {100, 85, 326, 464}},
    {"rcKeyList", &O::rcKeyList, {401, 85, 627, 464}},
    {"rcSupprotBtn", &O::rcSupprotBtn, {160, 400, 770, 430}},
    {"rcHomePageBtn", &O::rcHomePageBtn, {}},
    {"rcSys", &O::rcSys, {881, 406, 991, 514}},
    {"rcSubDlg", &O::rcSubDlg, {}},
};

struct LedOptionDefault {
    std::uint8_t param[5];
};

constexpr LedOptionDefault kLedOptionDefaults[kLedOptionCount] = {
    {{0, 6, 0, 0, 1}}, {{6, 6, 0, 0, 1}}, {{8, 10, 0, 0, 0}}, {{6, 6, 0, 0, 0}},
    {{6, 6, 0, 0, 1}}, {{6, 6, 0, 0, 0}}, {{0, 0, 0, 0, 0}},
};

constexpr std::array<std::uint32_t, 7> kLedOptionColours = {
    Rgb(255, 0, 0),   Rgb(0, 0, 255),   Rgb(0, 255, 0),   Rgb(128, 0, 255),
    Rgb(250, 198, 3), Rgb(250, 3, 106), Rgb(250, 1, 250),
};

LedOption ReadLedOption(const IniFile& ini, int number) {
    LedOption option;
    option.present = true;
    std::copy(std::begin(kLedOptionDefaults[number - 1].param),
              std::end(kLedOptionDefaults[number - 1].param), option.param.begin());
    option.colour = kLedOptionColours;

    const std::string key = NumberedKey("LedOpt", number);
    if (ini.GetString(kOpt, key, "", kByteListValueChars).empty()) return option;
    std::array<std::uint8_t, 29> bytes{};
    auto given = ReadByteList(ini, kOpt, key, bytes.size());
    std::copy(given.begin(), given.end(), bytes.begin());
    std::copy(bytes.begin(), bytes.begin() + 5, option.param.begin());
    if (given.size() > 5) {
        for (std::size_t c = 0; c < option.colour.size(); ++c) {
            option.colour[c] = Rgb(bytes[5 + 3 * c], bytes[6 + 3 * c], bytes[7 + 3 * c]);
        }
    }
    return option;
}

// bytes(N) whose default applies when the value yields no number; given bytes replace the
// leading defaults.
template <std::size_t N>
void ReadByteArray(const IniFile& ini, const char* key, std::array<std::uint8_t, N>& target,
                   const std::array<std::uint8_t, N>& defaults) {
    target = defaults;
    auto given = ReadByteList(ini, kOpt, key, N);
    std::copy(given.begin(), given.end(), target.begin());
}

std::vector<std::uint32_t> ReadProductIds(const IniFile& ini, const char* key) {
    return ReadList(ini, kOpt, key, 16, 10);
}

}  // namespace

SensorTableOptions ReadSensorTableOptions(const IniFile& ini) {
    SensorTableOptions options;
    options.sensor3325Step200 = ini.GetInt(kOpt, "3325Setp200", 0) != 0;
    options.sensor9000Max = ini.GetInt(kOpt, "Sensor9000Max", 12000);
    options.sensor3395Max = ini.GetInt(kOpt, "Sensor3395Max", 32000);
    return options;
}

AppOptions ReadOptions(const IniFile& ini) {
    AppOptions o;
    o.Sensor3325Setp200 = ini.GetInt(kOpt, "3325Setp200", 0);
    o.Sensor9000Max = ini.GetInt(kOpt, "Sensor9000Max", 12000);
    o.Sensor3395Max = ini.GetInt(kOpt, "Sensor3395Max", 32000);

    ReadIntFields(ini, kOpt, kIntKeys, o);
    o.VID = static_cast<std::uint16_t>(ini.GetInt(kOpt, "VID", 0x25A7) & 0xFFFF);
    o.PID = ReadProductIds(ini, "PID");
    o.PID2 = ReadProductIds(ini, "PID2");
    o.FontName = ReadTextValue(ini, kOpt, "FontName", 30);
    o.USBString = ReadTextValue(ini, kOpt, "USBString", 30);
    o.appdir = ReadTextValue(ini, kOpt, "appdir", 30);
    o.Title = ReadTextValue(ini, kOpt, "Title", 40);
    ReadIntFields(ini, kOpt, kLaterIntKeys, o);
    for (int i = 1; i <= 3; ++i)
        o.ComboName[i - 1] = ini.GetInt(kOpt, NumberedKey("ComboName", i), 0);
    ReadIntFields(ini, kOpt, kLayoutIntKeys, o);
    for (int i = 1; i <= kLedOptionCount; ++i) o.LedOpt[i - 1] = ReadLedOption(ini, i);
    ReadByteArray(ini, "PowerCritical", o.PowerCritical, {25, 50, 75, 100});
    ReadByteArray(ini, "LEDParam", o.LEDParam, {3, 10, 8, 255, 0, 255});

    for (const ColourField& c : kColourKeys) {
        o.*(c.field) = ReadColour(ini, kOpt, c.key, c.defaultValue);
    }
    o.clrTxtLedDlg = ReadColour(ini, kOpt, "clrTxtLedDlg", o.Txt_clr);
    o.clrTxtAdvDlg = ReadColour(ini, kOpt, "clrTxtAdvDlg", o.Txt_clr);
    ReadPointFields(ini, kOpt, kPointKeys, o);
    for (const RectField& r : kRectKeys) o.*(r.field) = ReadRect(ini, kOpt, r.key, r.defaultValue);
    return o;
}

std::vector<LanguageEntry> ReadLanguages(const IniFile& ini) {
    std::vector<LanguageEntry> languages;
    for (int n = 1; n <= kMaxLanguages; ++n) {
        const std::string value = ReadTextValue(ini, kOpt, NumberedKey("Lang", n), 260);
        if (value.empty()) break;
        const std::size_t comma = value.find(',');
        if (comma == std::string::npos || comma + 1 == value.size()) {
            ShowSystemMessage("Lang" + std::to_string(n) + " is invalidate", "Error");
            break;
        }
        // The language count is the number of leading entries with a name, so a nameless
        // entry ends the list like an empty one.
        if (comma == 0) break;
        languages.push_back({CutToChars(std::string_view(value).substr(0, comma), 29),
                             CutToChars(std::string_view(value).substr(comma + 1), 29)});
    }
    return languages;
}

void DescribeOptions(const AppOptions& o, const ConfigValueVisitor& visit) {
    auto describeInts = [&](const auto& fields) {
        for (const auto& f : fields) {
            // ShowPower is one key of the file, read twice; the value in use is the first.
            if (f.field == &O::ShowPowerSecondRead) continue;
            visit(f.key, std::to_string(o.*(f.field)));
        }
    };
    visit("3325Setp200", std::to_string(o.Sensor3325Setp200));
    visit("Sensor9000Max", std::to_string(o.Sensor9000Max));
    visit("Sensor3395Max", std::to_string(o.Sensor3395Max));
    describeInts(kIntKeys);
    visit("VID", FormatHexList({o.VID}));
    visit("PID", FormatHexList(o.PID));
    visit("PID2", FormatHexList(o.PID2));
    visit("FontName", o.FontName);
    visit("USBString", o.USBString);
    visit("appdir", o.appdir);
    visit("Title", o.Title);
    describeInts(kLaterIntKeys);
    for (int i = 1; i <= 3; ++i) {
        visit(NumberedKey("ComboName", i), std::to_string(o.ComboName[i - 1]));
    }
    describeInts(kLayoutIntKeys);
    for (int i = 1; i <= kLedOptionCount; ++i) {
        const LedOption& option = o.LedOpt[i - 1];
        std::string text;
        for (std::uint8_t p : option.param) text += std::to_string(p) + ",";
        for (std::size_t c = 0; c < option.colour.size(); ++c) {
            text += FormatColour(option.colour[c]) + (c + 1 < option.colour.size() ? "," : "");
        }
        visit(NumberedKey("LedOpt", i), text);
    }
    auto bytes = [](const auto& values) {
        std::string text;
        for (std::uint8_t v : values) text += (text.empty() ? "" : ",") + std::to_string(v);
        return text;
    };
    visit("PowerCritical", bytes(o.PowerCritical));
    visit("LEDParam", bytes(o.LEDParam));
    for (const ColourField& c : kColourKeys) visit(c.key, FormatColour(o.*(c.field)));
    visit("clrTxtLedDlg", FormatColour(o.clrTxtLedDlg));
    visit("clrTxtAdvDlg", FormatColour(o.clrTxtAdvDlg));
    for (const auto& p : kPointKeys) visit(p.key, FormatPoint(o.*(p.field)));
    for (const RectField& r : kRectKeys) visit(r.key, FormatRect(o.*(r.field)));
    for (std::size_t i = 0; i < o.languages.size(); ++i) {
        visit(NumberedKey("Lang", static_cast<int>(i) + 1),
              o.languages[i].name + "," + o.languages[i].folder);
    }
}

}  // namespace vantor
