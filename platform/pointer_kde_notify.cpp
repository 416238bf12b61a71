// The D-Bus signals that make a running Plasma session take changed settings files: the
// configuration watchers' "ConfigChanged" on /<file name> (group -> changed keys), and the
// global settings' "notifyChange" with "settings changed" for the mouse category, on which
// Plasma's programs read the double-click time and wheel lines again.
#include <gio/gio.h>

#include <cstdlib>
#include <string>

#include "base/file_io.h"
#include "base/log.h"
#include "platform/pointer_backend.h"

namespace vantor {
namespace {

constexpr int kSettingsChanged = 3;  // KGlobalSettings change type
constexpr int kMouseSettings = 0;    // its settings category for the mouse

// Only a session that has a bus gets one: without this check GLib may start a bus of its own.
bool SessionBusAvailable() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != '\0') return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && *runtime == '/' && FileExists(std::string(runtime) + "/bus");
}

// a{saay}: group -> key names as byte arrays without a terminating zero.
GVariant* ChangesVariant(const std::map<std::string, std::vector<std::string>>& groups) {
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a{saay}"));
    for (const auto& [group, keys] : groups) {
        GVariantBuilder names;
        g_variant_builder_init(&names, G_VARIANT_TYPE("aay"));
        for (const std::string& key : keys) {
            g_variant_builder_add_value(
                &names, g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, key.data(), key.size(), 1));
        }
        g_variant_builder_add(&builder, "{s@aay}", group.c_str(), g_variant_builder_end(&names));
    }
    return g_variant_builder_end(&builder);
}

void Emit(GDBusConnection* bus, const std::string& path, const char* interface, const char* member,
          GVariant* arguments) {
    GError* error = nullptr;
    if (!g_dbus_connection_emit_signal(bus, nullptr, path.c_str(), interface, member, arguments,
                                       &error)) {
        DbgLog("pointer: D-Bus signal %s.%s failed: %s", interface, member,
               error != nullptr ? error->message : "");
        g_clear_error(&error);
    }
}

}  // namespace

void NotifyKdeConfigChanged(const KdeConfigChanges& changes) {
    if (changes.empty()) return;
    if (!SessionBusAvailable()) {
        DbgLog("pointer: no session bus, Plasma is not told about the changed settings");
        return;
    }
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (bus == nullptr) {
        DbgLog("pointer: session bus: %s", error != nullptr ? error->message : "");
        g_clear_error(&error);
        return;
    }
    for (const auto& [file, groups] : changes) {
        Emit(bus, "/" + file, "org.kde.kconfig.notify", "ConfigChanged",
             g_variant_new("(@a{saay})", ChangesVariant(groups)));
    }
    Emit(bus, "/KGlobalSettings", "org.kde.KGlobalSettings", "notifyChange",
         g_variant_new("(ii)", kSettingsChanged, kMouseSettings));
    if (!g_dbus_connection_flush_sync(bus, nullptr, &error)) {
        DbgLog("pointer: session bus flush: %s", error != nullptr ? error->message : "");
        g_clear_error(&error);
    }
    g_object_unref(bus);
}

}  // namespace vantor
