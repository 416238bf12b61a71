// The colours and switches of the skinned controls that the configuration chooses. The
// configuration sets them once when it is read; the controls only read them, so that they
// need nothing of the configuration itself. Colours are COLORREF values (red in bits 0-7).
#pragma once

#include <cstdint>

namespace vantor {

struct SkinStyle {
    std::uint32_t buttonTextNormal = 0;
    std::uint32_t buttonTextHover = 0;
    std::uint32_t buttonTextPressed = 0;
    std::uint32_t menuTextNormal = 0;
    std::uint32_t menuTextHover = 0;
    std::uint32_t menuTextPressed = 0;
    // Pixels of this colour are outside a pop-up's outline; 0 keeps the whole picture.
    std::uint32_t popupMaskColour = 0;
    bool debugFrames = false;  // a frame around every button, for laying out a skin
    bool buttonTips = false;   // a captioned button shows its caption as a tooltip too
};

const SkinStyle& CurrentSkinStyle();
void SetSkinStyle(const SkinStyle& style);

}  // namespace vantor
