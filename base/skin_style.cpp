#include "base/skin_style.h"

namespace vantor {
namespace {

SkinStyle& Style() {
    static SkinStyle style;
    return style;
}

}  // namespace

const SkinStyle& CurrentSkinStyle() {
    return Style();
}

void SetSkinStyle(const SkinStyle& style) {
    Style() = style;
}

}  // namespace vantor
