// Arbitrary bytes as an imported profile file: the import must refuse or clamp, never read
// or write outside its buffers, and never write outside the macro folder. An imported
// profile is written into the mouse next, so its writes must stay inside device memory.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "app/config/config.h"
#include "app/store/profile_export.h"
#include "app/store/profile_store.h"
#include "base/file_io.h"
#include "keys/macro_library.h"
#include "profile/profile_decoder.h"
#include "profile/profile_writes.h"
#include "profile/sensor_tables.h"

namespace {

class SilentUi : public vantor::StoreUi {
  public:
    std::optional<std::string> AskSavePath(const vantor::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskOpenPath(const vantor::FileDialogRequest&) override {
        return std::nullopt;
    }
    void ShowMessage(const std::string&) override {}
    bool Ask(const std::string&) override { return false; }
    std::optional<std::string> AskText(const std::string&, int) override { return std::nullopt; }
};

std::string NewTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qxa-fuzz-XXXXXX").string();
    return std::string(mkdtemp(pattern.data())) + "/";
}

// The data folder holds only what the import writes; the configuration lives elsewhere.
std::string DataDir() {
    static const std::string dir = NewTempDir();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool initialised = [] {
        vantor::TheSensorTables().Build(vantor::SensorTableOptions{});
        // Every key but the data folder's name at its default.
        const std::string cfg = NewTempDir() + "cfg.ini";
        if (!vantor::WriteFileAtomic(cfg, std::string("[OPT]\nappdir=Vantor\n"))) return false;
        return vantor::DataInit(cfg);
    }();
    (void)initialised;
    const std::string root = DataDir() + "Mac/";
    std::filesystem::remove_all(root);

    // Building default profiles waits for fresh clock ids, so the store is made once and
    // its current profile restored before every input.
    static vantor::ProfileStore store(DataDir());
    static const vantor::ProfileFile original = [] {
        store.LoadPro();
        return *store.Current();
    }();
    *store.Current() = original;
    vantor::MacroLibrary library(root, 0);
    SilentUi ui;
    const vantor::ImportOutcome outcome =
        vantor::ImportProfileImage({data, size}, store, library, 8, ui);
    if (outcome.imported) {
        const vantor::ProfileFile& profile = *store.Current();
        if (profile.nKeySet < 0 || profile.nKeySet > 2) __builtin_trap();
        if (profile.nDpiLevels < 1 || profile.nDpiLevels > 8) __builtin_trap();
        if (outcome.curDpiLevel < 0 || outcome.curDpiLevel >= 8) __builtin_trap();

        vantor::CodecContext context;
        context.sensor = profile.dwSensor;
        context.dpiLevelCount = vantor::kDpiLevels;
        context.showLogoEffect = true;
        const vantor::ProfileWritePlan plan =
            vantor::BuildProfileWrites(profile, 0x7FFFF & ~vantor::SET_RESET, vantor::kSetIndexAll,
                                       outcome.curDpiLevel, context, &library);
        for (const vantor::WriteStep& step : plan.steps) {
            const auto* write = std::get_if<vantor::MemoryWriteStep>(&step);
            if (write != nullptr &&
                write->address + write->bytes.size() > vantor::kDeviceMemorySize) {
                __builtin_trap();
            }
        }
        std::vector<std::uint8_t> memory(vantor::kDeviceMemorySize, 0);
        // Only the bounds of the writes matter here, not whether each step succeeded.
        (void)vantor::RunWritesOnMemory(plan, memory, true);
    }
    // Everything the import wrote lies directly in the macro folder.
    for (const auto& entry : std::filesystem::directory_iterator(DataDir())) {
        if (entry.path().filename() != "Mac") __builtin_trap();
    }
    return 0;
}
