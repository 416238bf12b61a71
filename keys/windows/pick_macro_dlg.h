// CPickMacroDlg: the macro picker of the button page, a tree of the macro library on
// "msg2_nr.png" from which the user picks the macro for a button. A third button asks for
// the macro page instead (result kPickMacroPage).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "controls/skinned_dialog.h"

namespace vantor {

class CPngBtn;
class CTreeCtrlEx;

constexpr std::int32_t kPickMacroPage = -1;

class CPickMacroDlg : public CSkinnedDialog {
    Q_OBJECT

  public:
    // `macroRoot` is the library root folder; `macroDir` the MacroDir option (0: only the
    // macros directly in the root, else folders too). The tree is filled as the library
    // loader fills it; the macro list is not touched.
    CPickMacroDlg(const std::string& macroRoot, int macroDir, QWidget* parent = nullptr);

    // Rejected at once when the background picture is missing.
    int exec() override;

    // After OK: the picked macro id (bits 0-23); kPickMacroPage after the macro-page button.
    std::int32_t Result() const { return result_; }

    CTreeCtrlEx* Tree() const { return tree_; }
    CPngBtn* OkButton() const { return ok_; }
    CPngBtn* CancelButton() const { return cancel_; }
    CPngBtn* CloseButton() const { return close_; }
    CPngBtn* MacroPageButton() const { return macroPage_; }

    void OnOk();

  protected:
    void PaintContent(QPainter& painter) override;
    void OnEnterKey() override { OnOk(); }

  private:
    void FillTree(const std::string& macroRoot, int macroDir);

    std::int32_t result_ = 0;
    CTreeCtrlEx* tree_ = nullptr;
    CPngBtn* ok_ = nullptr;
    CPngBtn* cancel_ = nullptr;
    CPngBtn* close_ = nullptr;
    CPngBtn* macroPage_ = nullptr;
};

// The picked macro id, kPickMacroPage, or nothing on cancel.
std::optional<std::int32_t> PickMacro(const std::string& macroRoot, int macroDir,
                                      QWidget* parent = nullptr);

}  // namespace vantor
