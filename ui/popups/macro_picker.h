// MacroPicker: the macro picker of the button page, a tree of the macro library on
// "msg2_nr.png" from which the user picks the macro for a button. A third button asks for
// the macro page instead (result kPickMacroPage).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ui/widgets/skinned_popup.h"

namespace vantor {

class SkinnedButton;
class SkinnedTree;

constexpr std::int32_t kPickMacroPage = -1;

class MacroPicker : public SkinnedPopup {
    Q_OBJECT

  public:
    // `macroRoot` is the library root folder; `macroDir` the MacroDir option (0: only the
    // macros directly in the root, else folders too). The tree is filled as the library
    // loader fills it; the macro list is not touched.
    MacroPicker(const std::string& macroRoot, int macroDir, QWidget* parent = nullptr);

    // Rejected at once when the background picture is missing.
    int exec() override;

    // After OK: the picked macro id (bits 0-23); kPickMacroPage after the macro-page button.
    std::int32_t Result() const { return result_; }

    SkinnedTree* Tree() const { return tree_; }
    SkinnedButton* OkButton() const { return ok_; }
    SkinnedButton* CancelButton() const { return cancel_; }
    SkinnedButton* CloseButton() const { return close_; }
    SkinnedButton* MacroPageButton() const { return macroPage_; }

    void OnOk();

  protected:
    void PaintContent(QPainter& painter) override;
    void OnEnterKey() override { OnOk(); }

  private:
    void FillTree(const std::string& macroRoot, int macroDir);

    std::int32_t result_ = 0;
    SkinnedTree* tree_ = nullptr;
    SkinnedButton* ok_ = nullptr;
    SkinnedButton* cancel_ = nullptr;
    SkinnedButton* close_ = nullptr;
    SkinnedButton* macroPage_ = nullptr;
};

// The picked macro id, kPickMacroPage, or nothing on cancel.
std::optional<std::int32_t> PickMacro(const std::string& macroRoot, int macroDir,
                                      QWidget* parent = nullptr);

}  // namespace vantor
