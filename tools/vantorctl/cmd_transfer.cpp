// vantorctl export FILE / import FILE: a profile with the macros its buttons use, as the
// main window's export and import buttons do, with the file named on the command line.
#include "app/config/config.h"
#include "app/store/profile_export.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {
namespace {

// The store's windows answered from the command line: the file dialogs return the named
// file, questions are confirmed (the user named the file), and messages become the error.
class CommandLineStoreUi : public StoreUi {
  public:
    explicit CommandLineStoreUi(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> AskSavePath(const FileDialogRequest&) override { return path_; }
    std::optional<std::string> AskOpenPath(const FileDialogRequest&) override { return path_; }
    void ShowMessage(const std::string& text) override { message = text; }
    bool Ask(const std::string&) override { return true; }
    std::optional<std::string> AskText(const std::string&, int) override { return std::nullopt; }
    std::string message;

  private:
    std::string path_;
};

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

int RunExport(Context& context) {
    if (context.args.size() != 1) return UsageError("usage: vantorctl export FILE");
    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    std::string error;
    if (!session.EnsureRecord(&error)) return session.Close(Failure(error));
    CommandLineStoreUi ui(context.args[0]);
    std::string problem;
    if (!ExportProfile(session.Store(), session.CurDpiLevel(), session.Library().Macros(), ui,
                       &problem)) {
        const std::string reason = !problem.empty() ? problem : Trimmed(ui.message);
        return session.Close(
            Failure("cannot export to " + context.args[0] + (reason.empty() ? "" : ": " + reason)));
    }
    // The export stored the active level into the record; keep the file in step.
    session.SaveRecord();
    return session.Close(kExitOk);
}

int RunImport(Context& context) {
    if (context.args.size() != 1) return UsageError("usage: vantorctl import FILE");
    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    std::string error;
    if (!session.EnsureRecord(&error)) return session.Close(Failure(error));
    CommandLineStoreUi ui(context.args[0]);
    const ProfileFile before = *session.Store().Current();
    const ImportOutcome outcome = ImportProfile(session.Store(), session.Library(),
                                                /*firstReadDone=*/true, CurrentDevice().DM, ui);
    if (!outcome.imported) {
        const std::string reason = !outcome.problem.empty() ? outcome.problem : Trimmed(ui.message);
        return session.Close(
            Failure("cannot import " + context.args[0] + (reason.empty() ? "" : ": " + reason)));
    }
    if (!outcome.macroWriteProblem.empty()) {
        // The buttons would play macros that are not on disk: neither the mouse nor the
        // profile file takes the import.
        *session.Store().Current() = before;
        return session.Close(
            Failure("cannot import " + context.args[0] + ": " + outcome.macroWriteProblem));
    }
    session.SetCurDpiLevel(outcome.curDpiLevel);
    return session.Close(
        session.ApplyAndSave(before, kImportApplyFlags, kImportApplyIndex, "the imported profile"));
}

}  // namespace vantor::cli
