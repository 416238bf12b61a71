// vantorctl read / show / profile / reset: the current record and the on-board profiles.
#include "app/config/config.h"
#include "device/usb_driver.h"
#include "keys/macro_library.h"
#include "profile/set_flags.h"
#include "tools/vantorctl/record_view.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {
namespace {

constexpr int kOnBoardProfiles = 4;

// Reads the active profile and prints it; the tail of read, profile and reset.
int ReadAndPrint(const Context& context, CliSession& session) {
    std::string error;
    if (!session.ReadActiveProfile(&error)) return session.Close(Failure(error));
    return session.Close(PrintCurrentRecord(context, session));
}

}  // namespace

int ConnectOrClose(CliSession& session) {
    const int result = session.Connect();
    return result == kExitOk ? kExitOk : session.Close(result);
}

int PrintRecord(const Context& context, const ProfileStore& store, const MacroList& macros,
                int curDpiLevel, bool stored) {
    const ProfileFile* record = store.Current();
    if (record == nullptr) return Failure("there is no current profile");
    const ButtonLabelContext labels(macros);
    RecordView view;
    view.record = record;
    view.profileIndex = store.CurrentIndex();
    view.curDpiLevel = curDpiLevel;
    view.buttonCount = CurrentDevice().keyCount;
    view.dpiLevelSlots = CurrentDevice().DM;
    view.keys = &labels.Context();
    view.shown = CurrentModelSettings();
    view.stored = stored;
    if (context.options.json) {
        PrintJson(RecordJson(view));
    } else {
        for (const std::string& line : RecordLines(view)) Print(context, line);
    }
    return kExitOk;
}

int PrintCurrentRecord(const Context& context, CliSession& session) {
    return PrintRecord(context, session.Store(), session.Library().Macros(), session.CurDpiLevel(),
                       false);
}

int RunRead(Context& context) {
    if (!context.args.empty()) return UsageError("usage: vantorctl read");
    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    return ReadAndPrint(context, session);
}

// The stored profile of the model used last, without the mouse: it may be in use by
// another program, or not connected at all.
int RunShow(Context& context) {
    if (!context.args.empty()) return UsageError("usage: vantorctl show");
    ProfileStore store(context.startup.dataDir);
    (void)store.LoadCID();  // no CID.dct yet: the first device section stays current
    if (!store.LoadPro()) {
        return Failure("no profile of this mouse is stored in " + store.ProfileFilePath() +
                       " yet ('vantorctl read' reads it from the mouse)");
    }
    MacroLibrary library(store.DataDir() + "Mac/", Options().MacroDir);
    library.LoadLibrary(true);
    return PrintRecord(context, store, library.Macros(), -1, true);
}

int RunProfile(Context& context) {
    const std::optional<long long> number =
        context.args.size() == 1 ? ParseNumber(context.args[0]) : std::nullopt;
    if (!number || *number < 1 || *number > kOnBoardProfiles) {
        return UsageError("usage: vantorctl profile N (N from 1 to 4)");
    }
    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    if (session.Driver().SetCurProfile(static_cast<std::uint8_t>(*number - 1)) != 1) {
        return session.Close(
            Failure("the mouse refused to switch to profile " + std::to_string(*number)));
    }
    return ReadAndPrint(context, session);
}

int RunReset(Context& context) {
    if (!context.args.empty()) return UsageError("usage: vantorctl reset");
    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    std::string error;
    if (!session.EnsureRecord(&error)) return session.Close(Failure(error));
    // The reset command alone; the mouse restores its defaults and the fresh read below
    // brings them into the record.
    if (!session.Apply(SET_RESET, kSetIndexAll)) {
        return session.Close(Failure("the mouse did not take the reset command"));
    }
    session.SetCurDpiLevel(CurrentDevice().DEFLEVEL);
    return ReadAndPrint(context, session);
}

}  // namespace vantor::cli
