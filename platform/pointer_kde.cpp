// Pointer settings of KDE Plasma, kept in its configuration files: kcminputrc [Mouse] holds the
// pointer speed (XLbInptPointerAcceleration, -1 ... 1) and the acceleration profile
// (XLbInptAccelProfileFlat), kdeglobals [KDE] the double-click time (DoubleClickInterval) and
// the wheel scroll lines (WheelScrollLines). A key that is missing holds Plasma's default.
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
    KdePointerBackend(std::string configDir, std::function<void(const KdeConfigChanges&)> notify)
        : configDir_(std::move(configDir)), notify_(std::move(notify)) {}

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

        if (PointerSpeedValid(wanted.speed)) {
            const double unit = PointerSpeedToUnit(wanted.speed);
            auto text =
                input.Get(kMouseGroup, "XLbInptPointerAcceleration", UnitText(kDefaultSpeed));
            std::optional<double> current = text ? ParseDouble(*text) : std::nullopt;
            if (!current || !SameUnitSpeed(*current, unit)) {
                Write(input, kMouseGroup, "XLbInptPointerAcceleration", UnitText(unit));
            }
        } else {
            DbgLog("pointer: pointer speed %d is out of range, not set", wanted.speed);
        }

        DbgLog("pointer: KDE has no pointer trails, %d not set", wanted.trails);
        if (!changes_.empty() && notify_) notify_(changes_);
        return written_;
    }

  private:
    void Write(const KdeFile& file, const char* group, const char* key, const std::string& value) {
        if (!WriteIniString(file.path, group, key, value)) {
            DbgLog("pointer: could not write %s in %s", key, file.path.c_str());
            failed_ = true;
            return;
        }
        written_.emplace_back(key);
        const std::string name = file.path.substr(file.path.rfind('/') + 1);
        changes_[name][group].emplace_back(key);
    }

    std::string configDir_;
    std::function<void(const KdeConfigChanges&)> notify_;
    std::vector<std::string> written_;
    KdeConfigChanges changes_;
};

}  // namespace

std::unique_ptr<PointerBackend> MakeKdePointerBackend(
    std::string configDir, std::function<void(const KdeConfigChanges&)> notify) {
    return std::make_unique<KdePointerBackend>(std::move(configDir), std::move(notify));
}

}  // namespace vantor
