#include "app/session/startup.h"

#include <ctime>
#include <filesystem>
#include <system_error>

#include "app/config/config.h"
#include "base/file_io.h"
#include "base/ini.h"
#include "base/log.h"
#include "base/message_sink.h"
#include "base/texts.h"
#include "platform/paths.h"

namespace vantor {
namespace {

constexpr std::size_t kMaxTitleChars = 39;

void LogLaunchBanner(const std::string& title) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DbgLog("--------------------------------------------------");
    DbgLog("Launch %04d-%d-%d %d:%d, v1.0 AppTitle=%s", local.tm_year + 1900, local.tm_mon + 1,
           local.tm_mday, local.tm_hour, local.tm_min, title.c_str());
}

// Temporary files that saves interrupted by a crash or a power cut left in the data folder
// and in the macro folders below it (links are not followed into other folders).
void RemoveInterruptedSaves(const std::string& dataDir) {
    RemoveStaleTempFiles(dataDir);
    std::error_code ec;
    const std::string macros = dataDir + "Mac";
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(macros, ec))) return;
    RemoveStaleTempFiles(macros);
    for (std::filesystem::recursive_directory_iterator it(macros, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) RemoveStaleTempFiles(it->path().string());
    }
}

std::string PrepareDataFolder(const std::string& appdir) {
    std::string folder = DataDirFor(appdir);
    DbgLog("Mk AppData=%s", folder.c_str());
    int error = 0;
    if (!MakeDirectoryPath(folder, &error)) DbgLog("CreateDirectory err=%d", error);
    RemoveInterruptedSaves(folder);
    return folder;
}

}  // namespace

bool InitProgramData(int argc, const char* const* argv, StartupState* state) {
    (void)argv;
    state->programDir = ProgramDir();
    LoadTexts(state->programDir + "text.xml");
    if (!DataInit(state->programDir + "cfg.ini")) {
        ShowSystemMessage("     Data Init failed.     \n" + DataInitError(), "Error");
        return false;
    }
    const std::string& configured = Options().Title;
    state->title = CutToChars(configured.empty() ? Text("tc_title") : configured, kMaxTitleChars);
    LogLaunchBanner(state->title);
    DbgLog("nArgs=%d", argc);
    state->startedWithArguments = argc > 1;
    state->dataDir = PrepareDataFolder(Options().appdir);
    return true;
}

InstanceClaim ClaimSingleInstance(SingleInstance& instance, const StartupState& state) {
    const InstanceClaim claim = instance.Acquire();
    if (claim == InstanceClaim::kFailed) DbgLog("SingleInstance: %s", instance.Error().c_str());
    if (claim != InstanceClaim::kRunning) return claim;
    long running = instance.Notify({state.title, kTrayNotifyMessage, 0, kTrayNotifyLParam});
    DbgLog("ALREADY_EXISTS, hWnd=%lx", static_cast<unsigned long>(running));
    if (running != 0) return claim;
    // Nobody took the message: the running copy is ending (it has stopped listening and lets
    // go of the lock as it ends). This start waits for it rather than end unseen.
    const InstanceClaim after = instance.WaitForRelease(kInstanceExitWait);
    DbgLog("SingleInstance: %s", after == InstanceClaim::kRunning
                                     ? "the running copy did not end"
                                     : "started after the running copy had ended");
    return after;
}

void LogProgramExit() {
    DbgLog("Driver exit");
}

}  // namespace vantor
