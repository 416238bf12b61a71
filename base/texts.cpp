#include "base/texts.h"

#include <cerrno>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include "base/file_io.h"
#include "base/log.h"
#include "base/message_sink.h"
#include "base/xml_reader.h"

namespace vantor {

namespace {

// Every text is a child element of the root element of this name.
constexpr const char* kSection = "config";

void AppendFamily(std::vector<std::string>& keys, const char* prefix, int count) {
    for (int i = 1; i <= count; ++i) keys.push_back(prefix + std::to_string(i));
}

std::vector<std::string> BuildKeys() {
    std::vector<std::string> keys = {
        "tc_title",          "tc_lodtips",    "tc_fwver",      "tc_appdata",     "tc_config",
        "tc_exit",           "tc_version",    "tc_restore",    "tc_reset",       "tc_ok",
        "tc_cancel",         "tc_apply",      "tc_profile",    "tc_tips",        "tc_sensor_tips",
        "tc_str1",           "tc_str2",       "tc_str3",       "tc_page1",       "tc_page2",
        "tc_page3",          "tc_page4",      "tc_macro_stop", "tc_macro_start", "tc_macro_list",
        "tc_macro_key_list", "tc_macro_auto", "tc_macro_loop", "tc_macro_loop1", "tc_macro_loop2",
        "tc_macro_loop3"};
    AppendFamily(keys, "tc_macro_msg", 22);
    for (const char* key : {"tc_msfun",
                            "tc_click",
                            "tc_menu",
                            "tc_middle",
                            "tc_forward",
                            "tc_back",
                            "tc_dbclick",
                            "tc_rdbclick",
                            "tc_scrollup",
                            "tc_scrolldown",
                            "tc_mac_def",
                            "tc_key_off",
                            "tc_PL",
                            "tc_stop",
                            "tc_pre_media",
                            "tc_next_media",
                            "tc_vol_up",
                            "tc_vol_dw",
                            "tc_mute",
                            "tc_kbmedia_forward",
                            "tc_kbmedia_back",
                            "tc_kbmedia_stop",
                            "tc_kbmedia_search",
                            "tc_kbmedia_mail",
                            "tc_kbmedia_main",
                            "tc_kbmedia_explore",
                            "tc_kbmedia_cal",
                            "tc_kbmedia_refresh",
                            "tc_kbmedia_favor",
                            "tc_kbmedia_msel",
                            "tc_combokey",
                            "tc_media",
                            "tc_combo_tips",
                            "tc_web",
                            "tc_mainweb",
                            "tc_dpi",
                            "tc_dpiadd",
                            "tc_dpisub",
                            "tc_dpiloop",
                            "tc_dpirange",
                            "tc_three",
                            "tc_fire",
                            "tc_rgb",
                            "tc_snipe",
                            "tc_singlekey",
                            "tc_windows",
                            "tc_shift",
                            "tc_reportsw",
                            "tc_customkey",
                            "tc_rgbsw",
                            "tc_error",
                            "tc_prosw"}) {
        keys.emplace_back(key);
    }
    AppendFamily(keys, "tc_msg", 38);
    AppendFamily(keys, "tc_mode", 3);
    AppendFamily(keys, "tc_led_mode", 7);
    AppendFamily(keys, "tc_led_eft", 4);
    AppendFamily(keys, "tc_adv_str", 30);
    AppendFamily(keys, "tc_tip", 5);
    AppendFamily(keys, "tc_ex", 3);
    AppendFamily(keys, "tc_comboname", 2);
    AppendFamily(keys, "tc_lod", 2);
    keys.emplace_back("tc_debounce_tips");
    // Texts of the Linux program's own additions follow the table's 200.
    keys.emplace_back("tc_autostart");
    keys.emplace_back("tc_export");
    keys.emplace_back("tc_import");
    keys.emplace_back("tc_sysmissing");  // the desktop has no mouse settings program
    // The rules that switch the on-board profile with the application in front.
    for (const char* key :
         {"tc_rules", "tc_rules_on", "tc_rules_list", "tc_rules_up", "tc_rules_down",
          "tc_rules_remove", "tc_rules_app", "tc_rules_add", "tc_rules_default", "tc_rules_keep",
          "tc_rules_na", "tc_rules_damaged", "tc_rules_save"}) {
        keys.emplace_back(key);
    }
    keys.emplace_back("tc_nomouse");
    keys.emplace_back("tc_mouseoff");
    keys.emplace_back("tc_noaccess");
    keys.emplace_back("tc_lock_effect");
    keys.emplace_back("tc_lock_cable");
    keys.emplace_back("tc_lock_profile");
    keys.emplace_back("tc_note_export");
    keys.emplace_back("tc_note_import");
    keys.emplace_back("tc_note_macro_export");
    keys.emplace_back("tc_note_macro_import");
    // Saves and reads that failed.
    for (const char* key :
         {"tc_save_failed", "tc_err_disk_full", "tc_err_no_access", "tc_err_read_only",
          "tc_save_exit_ask", "tc_damaged_kept", "tc_read_failed", "tc_not_mouse",
          "tc_read_corrected", "tc_partly_written"}) {
        keys.emplace_back(key);
    }
    return keys;
}

// Position of each key in TextKeys().
const std::unordered_map<std::string_view, std::size_t>& KeyPositions() {
    static const auto positions = [] {
        std::unordered_map<std::string_view, std::size_t> map;
        const auto& keys = TextKeys();
        for (std::size_t i = 0; i < keys.size(); ++i) map.emplace(keys[i], i);
        return map;
    }();
    return positions;
}

// Readers share the lock; a reload builds the new table first and only swaps it in under
// the exclusive lock, so a reader sees either the old or the new table, never a mix.
std::shared_mutex g_tableLock;
std::shared_ptr<const std::vector<std::string>> g_table;

// The texts of the document: the first child of the first top-level `config` element with
// a key's name gives that key's text. One walk over the children gives the same result as
// a search per key.
std::vector<std::string> ReadTable(XmlReader& reader) {
    const auto& positions = KeyPositions();
    std::vector<std::string> texts(TextKeys().size());
    std::vector<bool> filled(texts.size(), false);
    reader.Reset();
    if (!reader.FindElem(kSection) || !reader.IntoElem()) return texts;
    while (reader.FindElem()) {
        const auto found = positions.find(reader.GetTagName());
        if (found == positions.end() || filled[found->second]) continue;
        filled[found->second] = true;
        texts[found->second] = reader.GetData();
    }
    return texts;
}

}  // namespace

const std::vector<std::string>& TextKeys() {
    static const std::vector<std::string> keys = BuildKeys();
    return keys;
}

void LoadTexts(const std::string& path) {
    XmlReader reader;
    // A file that cannot be read leaves every text empty; the result line says why. A file
    // that is there but refused (a FIFO, a folder) is worth telling the user about.
    int error = 0;
    if (!reader.Load(path, &error) && error != ENOENT) {
        ShowSystemMessage(DescribeReadError(path, error), "Warning");
    }
    DbgLog("LoadTexts %s: %s", path.c_str(), reader.Result().c_str());
    auto table = std::make_shared<const std::vector<std::string>>(ReadTable(reader));
    std::unique_lock lock(g_tableLock);
    g_table = std::move(table);
}

std::string Text(std::string_view key) {
    const auto& positions = KeyPositions();
    const auto found = positions.find(key);
    if (found == positions.end()) return {};
    std::shared_lock lock(g_tableLock);
    if (!g_table) return {};
    return (*g_table)[found->second];
}

std::string TextOr(std::string_view key, std::string_view fallback) {
    std::string text = Text(key);
    return text.empty() ? std::string(fallback) : text;
}

}  // namespace vantor
