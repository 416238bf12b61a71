// The groups of pictures that make up the default skin.
#pragma once

#include <vector>

#include "tools/skingen/skin_pictures.h"

namespace vantor::skingen {

void AddWindowPictures(std::vector<SkinPicture>& out);
void AddControlPictures(std::vector<SkinPicture>& out);

}  // namespace vantor::skingen
