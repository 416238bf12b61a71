// vantorctl macros: the macros of the library in the data folder.
#include "app/config/config.h"
#include "keys/macro_record.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {

int RunMacros(Context& context) {
    if (!context.args.empty()) return UsageError("usage: vantorctl macros");
    // The library lives in the data folder and does not need the mouse.
    MacroLibrary library(context.startup.dataDir + "Mac/", Options().MacroDir);
    library.LoadLibrary(true);
    const MacroList& macros = library.Macros();
    Json list = Json::Array();
    for (int i = 0; i < macros.Count(); ++i) {
        const MacroRecord& macro = macros.At(i);
        const std::string name = MacroName(macro);
        const int events = MacroEventCount(macro);
        if (context.options.json) {
            list.Push(Json::Object()
                          .Set("name", Json::String(name))
                          .Set("id", Json::String(Hex(macro.dwMacroID, 6)))
                          .Set("events", Json::Number(events)));
        } else {
            Print(context, name + " (id " + Hex(macro.dwMacroID, 6) + ", " +
                               std::to_string(events) + " events)");
        }
    }
    if (context.options.json) PrintJson(list);
    return kExitOk;
}

}  // namespace vantor::cli
