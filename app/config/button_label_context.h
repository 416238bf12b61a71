// The key context of the current device section: what button labels and assignments need
// from the configuration (combination names, extra keys, DPI steps of the sensor, the
// default key records) and the macro library. Used by the button page and vantorctl.
#pragma once

#include "keys/assignment.h"
#include "keys/macro_list.h"

namespace vantor {

// Holds its own copy of the default key records so the context stays valid.
class ButtonLabelContext {
  public:
    explicit ButtonLabelContext(const MacroList& macros);
    ButtonLabelContext(const ButtonLabelContext&) = delete;
    ButtonLabelContext& operator=(const ButtonLabelContext&) = delete;

    const KeyContext& Context() const { return context_; }
    const KeySets& DefaultKeys() const { return defaults_; }

  private:
    KeySets defaults_{};
    KeyContext context_;
};

}  // namespace vantor
