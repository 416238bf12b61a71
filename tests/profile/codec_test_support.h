// Helpers for the profile codec tests: an in-memory macro library and a log capture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/log.h"
#include "keys/macro_compare.h"
#include "keys/macro_library_access.h"
#include "keys/macro_record.h"
#include "tests/support/temp_dir.h"

namespace vantor::test {

class FakeMacroLibrary : public MacroLibraryAccess {
  public:
    const MacroRecord* FindMacroByName(std::string_view utf8Name) const override {
        for (const MacroRecord& m : macros) {
            if (MacroNameIs(m, utf8Name)) return &m;
        }
        return nullptr;
    }
    const MacroRecord* FindMacroById(std::uint32_t id) const override {
        for (const MacroRecord& m : macros) {
            if (m.dwMacroID == id) return &m;
        }
        return nullptr;
    }
    bool AddMacro(const MacroRecord& macro) override {
        if (refuseAdd) return false;
        macros.push_back(macro);
        ++adds;
        return true;
    }
    void ReplaceMacro(const MacroRecord& existing, const MacroRecord& content) override {
        for (MacroRecord& m : macros) {
            if (&m != &existing) continue;
            const MacroRecord old = m;
            m = content;
            m.dwMacroID = old.dwMacroID;
            for (int i = 0; i < kMacroNameUnits; ++i) m.szName[i] = old.szName[i];
        }
        ++replaces;
    }

    std::vector<MacroRecord> macros;
    bool refuseAdd = false;
    int adds = 0;
    int replaces = 0;
};

// A macro with the given events (code, kind, delay).
struct EventSpec {
    std::uint16_t code;
    std::uint16_t kind;
    std::uint32_t delay;
};

inline MacroRecord MakeMacro(std::uint32_t id, std::string_view name,
                             const std::vector<EventSpec>& events) {
    MacroRecord m{};
    m.dwMagicNumber = kMacroMagicNumber;
    m.dwMacroID = id;
    m.dwAuto = 1;
    m.nLoopCount = 1;
    SetMacroName(m, name);
    for (std::size_t i = 0; i < events.size() && i < kMacroEventSlots; ++i) {
        m.stEvents[i].wCode = events[i].code;
        m.stEvents[i].wKind = events[i].kind;
        m.stEvents[i].dwDelay = events[i].delay;
    }
    return m;
}

// Sends the diagnostic log to a temporary file for the life of the object.
class LogCapture {
  public:
    LogCapture() { LogSetup(2, dir_ / "Log.txt"); }
    ~LogCapture() { LogShutdown(); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string Text() const { return ReadText(dir_ / "Log.txt"); }
    bool Contains(std::string_view line) const { return Text().find(line) != std::string::npos; }

  private:
    TempDir dir_;
};

}  // namespace vantor::test
