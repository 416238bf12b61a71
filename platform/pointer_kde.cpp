// Pointer settings of KDE Plasma, kept in its configuration files: kcminputrc [Mouse] holds the
// pointer speed (XLbInptPointerAcceleration, -1 ... 1) and the acceleration profile
// (XLbInptAccelProfileFlat) of an X11 session, kdeglobals [KDE] the double-click time
// (DoubleClickInterval) and the wheel scroll lines (WheelScrollLines). On Wayland the
// compositor keeps speed and profile per device, in kcminputrc
// [Libinput][<vendor>][<product>][<name>] (PointerAcceleration, -1 ... 1;
// PointerAccelerationProfile, libinput's profile bit: 1 flat, 2 adaptive), read when the
// device appears and again on the mouse-settings change signal. A key that is missing holds
// Plasma's default.
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/file_io.h"
#include "base/ini.h"
#include "base/log.h"
#include "platform/pointer_backend.h"

namespace vantor {
namespace {

constexpr const char* kInputFile = "kcminputrc";
constexpr const char* kGlobalsFile = "kdeglobals";
constexpr const char* kMouseGroup = "Mouse";
constexpr const char* kGlobalsGroup = "KDE";

// Plasma's values for keys that are not in the files.
constexpr double kDefaultSpeed = 0.0;
constexpr bool kDefaultFlat = false;
constexpr int kDefaultDoubleClickMs = 400;
constexpr int kDefaultWheelLines = 3;
constexpr int kProfileFlat = 1;
constexpr int kProfileAdaptive = 2;

// The name of a device's group, as the INI functions take nested KDE groups.
std::string DeviceGroup(const PointerInput& pointer) {
    return "Libinput][" + std::to_string(pointer.vendor) + "][" + std::to_string(pointer.product) +
           "][" + pointer.name;
}

// A nested group as KDE's change signal names it: its parts joined by 0x1D.
std::string NotifiedGroupName(std::string group) {
    for (std::size_t at = group.find("]["); at != std::string::npos; at = group.find("][", at)) {
        group.replace(at, 2, "\x1d");
    }
    return group;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// KDE's boolean forms.
std::optional<bool> ParseBool(std::string_view text) {
    const std::string lower = Lower(text);
    if (lower == "true" || lower == "on" || lower == "yes" || lower == "1") return true;
    if (lower == "false" || lower == "off" || lower == "no" || lower == "0") return false;
    return std::nullopt;
}

// -1 ... 1 at three decimals, as Plasma's settings show it.
std::string UnitText(double unit) {
    const double rounded = std::round(unit * 1000.0) / 1000.0;
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, rounded);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

// One configuration file as read once before writing. `readable` is false when the file
// exists but cannot be read; every value then counts as unknown.
struct KdeFile {
    std::string path;
    bool readable = true;
    IniFile ini;

    static KdeFile Load(std::string path) {
        KdeFile file{std::move(path), true, IniFile()};
        if (!FileExists(file.path)) return file;
        auto bytes = ReadWholeFile(file.path, kMaxIniFileBytes);
        if (!bytes) {
            DbgLog("pointer: cannot read %s", file.path.c_str());
            file.readable = false;
            return file;
        }
        file.ini = IniFile::Parse(
            std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        return file;
    }

    // The key's text; nothing when the file cannot be read; `fallback` when the key is absent.
    std::optional<std::string> Get(const char* group, const char* key,
                                   const std::string& fallback) const {
        if (!readable) return std::nullopt;
        return ini.Get(group, key).value_or(fallback);
    }
};

class KdePointerBackend final : public PointerBackend {
  public:
    KdePointerBackend(std::string configDir, std::vector<PointerInput> pointers,
                      std::function<void(const KdeConfigChanges&)> notify)
        : configDir_(std::move(configDir)),
          pointers_(std::move(pointers)),
          notify_(std::move(notify)) {}

    std::vector<std::string> Apply(const PointerSettings& wanted) override {
        written_.clear();
        changes_.clear();
        failed_ = false;
        const KdeFile input = KdeFile::Load(configDir_ + kInputFile);
        const KdeFile globals = KdeFile::Load(configDir_ + kGlobalsFile);

        if (DoubleClickTimeValid(wanted.doubleClickMs)) {
            auto text = globals.Get(kGlobalsGroup, "DoubleClickInterval",
                                    std::to_string(kDefaultDoubleClickMs));
            std::optional<int> current = text ? ParseInt(*text) : std::nullopt;
            if (current != wanted.doubleClickMs) {
                Write(globals, kGlobalsGroup, "DoubleClickInterval",
                      std::to_string(wanted.doubleClickMs));
            }
        } else {
            DbgLog("pointer: double-click time %d ms is out of range, not set",
                   wanted.doubleClickMs);
        }

        if (wanted.wheelLines == PointerSettings::kOneScreen) {
            DbgLog("pointer: KDE has no one-screen wheel scrolling, wheel lines not set");
        } else if (WheelLinesValid(wanted.wheelLines)) {
            auto text =
                globals.Get(kGlobalsGroup, "WheelScrollLines", std::to_string(kDefaultWheelLines));
            std::optional<int> current = text ? ParseInt(*text) : std::nullopt;
            if (current != wanted.wheelLines) {
                Write(globals, kGlobalsGroup, "WheelScrollLines",
                      std::to_string(wanted.wheelLines));
            }
        } else {
            DbgLog("pointer: wheel scroll lines %d are out of range, not set", wanted.wheelLines);
        }

        const bool wantFlat = !wanted.enhancePrecision;
        auto flatText =
            input.Get(kMouseGroup, "XLbInptAccelProfileFlat", kDefaultFlat ? "true" : "false");
        std::optional<bool> flat = flatText ? ParseBool(*flatText) : std::nullopt;
        if (flat != wantFlat) {
            Write(input, kMouseGroup, "XLbInptAccelProfileFlat", wantFlat ? "true" : "false");
        }

        const bool speedValid = PointerSpeedValid(wanted.speed);
        const double unit = PointerSpeedToUnit(wanted.speed);
        if (speedValid) {
            WriteSpeed(input, kMouseGroup, "XLbInptPointerAcceleration", unit);
        } else {
            DbgLog("pointer: pointer speed %d is out of range, not set", wanted.speed);
        }
        for (const PointerInput& pointer : pointers_) {
            if (!UsableInputName(pointer.name)) continue;
            const std::string group = DeviceGroup(pointer);
            const int profile = wantFlat ? kProfileFlat : kProfileAdaptive;
            auto profileText = input.Get(group.c_str(), "PointerAccelerationProfile",
                                         std::to_string(kProfileAdaptive));
            if ((profileText ? ParseInt(*profileText) : std::nullopt) != profile) {
                Write(input, group.c_str(), "PointerAccelerationProfile", std::to_string(profile));
            }
            if (speedValid) WriteSpeed(input, group.c_str(), "PointerAcceleration", unit);
        }

        DbgLog("pointer: KDE has no pointer trails, %d not set", wanted.trails);
        if (!changes_.empty() && notify_) notify_(changes_);
        return written_;
    }

  private:
    // Writes the speed `unit` unless the file holds it already.
    void WriteSpeed(const KdeFile& file, const char* group, const char* key, double unit) {
        auto text = file.Get(group, key, UnitText(kDefaultSpeed));
        std::optional<double> current = text ? ParseDouble(*text) : std::nullopt;
        if (!current || !SameUnitSpeed(*current, unit)) Write(file, group, key, UnitText(unit));
    }

    void Write(const KdeFile& file, const char* group, const char* key, const std::string& value) {
        if (!WriteIniString(file.path, group, key, value)) {
            DbgLog("pointer: could not write %s in %s", key, file.path.c_str());
            failed_ = true;
            return;
        }
        written_.emplace_back(key);
        const std::string name = file.path.substr(file.path.rfind('/') + 1);
        changes_[name][NotifiedGroupName(group)].emplace_back(key);
    }

    std::string configDir_;
    std::vector<PointerInput> pointers_;
    std::function<void(const KdeConfigChanges&)> notify_;
    std::vector<std::string> written_;
    KdeConfigChanges changes_;
};

}  // namespace

std::unique_ptr<PointerBackend> MakeKdePointerBackend(
    std::string configDir, std::vector<PointerInput> pointers,
    std::function<void(const KdeConfigChanges&)> notify) {
    return std::make_unique<KdePointerBackend>(std::move(configDir), std::move(pointers),
                                               std::move(notify));
}

}  // namespace vantor
