// Pointer settings in GSettings. GSettings aborts the process on a schema or key it does not
// know, so the schema is looked up first and every key is checked (presence, type, range)
// before it is read or written.
#include <gio/gio.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/log.h"
#include "platform/pointer_backend.h"

namespace vantor {
namespace {

// The accel-profile values: libinput's adaptive profile is pointer acceleration ("enhance
// pointer precision"), the flat profile moves the pointer by a constant factor. "default" lets
// libinput pick, which for mice is the adaptive profile.
constexpr const char* kAdaptive = "adaptive";
constexpr const char* kFlat = "flat";
constexpr const char* kDefault = "default";

class GSettingsPointerBackend final : public PointerBackend {
  public:
    GSettingsPointerBackend(GSettingsSchema* schema, GSettings* settings)
        : schema_(schema), settings_(settings) {}
    ~GSettingsPointerBackend() override {
        g_object_unref(settings_);
        g_settings_schema_unref(schema_);
    }
    GSettingsPointerBackend(const GSettingsPointerBackend&) = delete;
    GSettingsPointerBackend& operator=(const GSettingsPointerBackend&) = delete;

    std::vector<std::string> Apply(const PointerSettings& wanted) override {
        written_.clear();
        failed_ = false;
        if (DoubleClickTimeValid(wanted.doubleClickMs)) {
            const int current = ReadInt("double-click", -1);
            if (current != wanted.doubleClickMs) {
                Write("double-click", g_variant_new_int32(wanted.doubleClickMs));
            }
        } else {
            DbgLog("pointer: double-click time %d ms is out of range, not set",
                   wanted.doubleClickMs);
        }
        DbgLog("pointer: GSettings has no wheel scroll lines, %d not set", wanted.wheelLines);
        const std::string profile = ReadString("accel-profile");
        const bool currentAdaptive = profile == kAdaptive || profile == kDefault;
        const bool currentKnown = currentAdaptive || profile == kFlat;
        if (!currentKnown || currentAdaptive != wanted.enhancePrecision) {
            Write("accel-profile",
                  g_variant_new_string(wanted.enhancePrecision ? kAdaptive : kFlat));
        }
        if (PointerSpeedValid(wanted.speed)) {
            const double unit = PointerSpeedToUnit(wanted.speed);
            double current = 0;
            if (!ReadDouble("speed", &current) || !SameUnitSpeed(current, unit)) {
                Write("speed", g_variant_new_double(unit));
            }
        } else {
            DbgLog("pointer: pointer speed %d is out of range, not set", wanted.speed);
        }
        DbgLog("pointer: GSettings has no pointer trails, %d not set", wanted.trails);
        if (!written_.empty()) g_settings_sync();
        return written_;
    }

  private:
    // The key's current value when the schema has the key with the type `type`, else null.
    GVariant* Read(const char* key, const GVariantType* type) const {
        if (!g_settings_schema_has_key(schema_, key)) return nullptr;
        GVariant* value = g_settings_get_value(settings_, key);
        if (!g_variant_is_of_type(value, type)) {
            g_variant_unref(value);
            return nullptr;
        }
        return value;
    }

    int ReadInt(const char* key, int fallback) const {
        GVariant* value = Read(key, G_VARIANT_TYPE_INT32);
        if (value == nullptr) return fallback;
        const int result = g_variant_get_int32(value);
        g_variant_unref(value);
        return result;
    }

    bool ReadDouble(const char* key, double* out) const {
        GVariant* value = Read(key, G_VARIANT_TYPE_DOUBLE);
        if (value == nullptr) return false;
        *out = g_variant_get_double(value);
        g_variant_unref(value);
        return std::isfinite(*out);
    }

    std::string ReadString(const char* key) const {
        GVariant* value = Read(key, G_VARIANT_TYPE_STRING);
        if (value == nullptr) return {};
        std::string result = g_variant_get_string(value, nullptr);
        g_variant_unref(value);
        return result;
    }

    // Writes `value` (floating; always consumed) when the schema has the key, its type matches
    // and the value is in the key's range; a refused write (such as a locked key) is logged.
    void Write(const char* key, GVariant* value) {
        g_variant_ref_sink(value);
        if (!g_settings_schema_has_key(schema_, key)) {
            DbgLog("pointer: GSettings schema has no key %s, not set", key);
        } else {
            GSettingsSchemaKey* schemaKey = g_settings_schema_get_key(schema_, key);
            const bool fits =
                g_variant_is_of_type(value, g_settings_schema_key_get_value_type(schemaKey)) &&
                g_settings_schema_key_range_check(schemaKey, value);
            g_settings_schema_key_unref(schemaKey);
            if (!fits) {
                DbgLog("pointer: GSettings key %s does not take the value, not set", key);
                failed_ = true;
            } else if (!g_settings_set_value(settings_, key, value)) {
                DbgLog("pointer: GSettings key %s could not be written", key);
                failed_ = true;
            } else {
                written_.emplace_back(key);
            }
        }
        g_variant_unref(value);
    }

    GSettingsSchema* schema_;
    GSettings* settings_;
    std::vector<std::string> written_;
};

}  // namespace

std::unique_ptr<PointerBackend> MakeGSettingsPointerBackend(const char* schemaId) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source == nullptr ? nullptr : g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (schema == nullptr) {
        DbgLog("pointer: GSettings schema %s is not installed", schemaId);
        return nullptr;
    }
    if (g_settings_schema_get_path(schema) == nullptr) {  // a relocatable schema has no store
        DbgLog("pointer: GSettings schema %s has no fixed path", schemaId);
        g_settings_schema_unref(schema);
        return nullptr;
    }
    GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
    return std::make_unique<GSettingsPointerBackend>(schema, settings);
}

}  // namespace vantor
