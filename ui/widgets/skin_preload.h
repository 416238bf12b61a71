// Decodes skin pictures on a thread of their own before they are first needed, so that
// the window thread takes them ready-made (a mouse picture costs a few milliseconds to
// decode, at the moment the mouse is found).
#pragma once

#include <QImage>
#include <QString>
#include <optional>
#include <vector>

namespace vantor {

// Starts decoding the pictures at `paths` (full paths) with DecodeSkinPicture. One batch
// at a time: a call while a batch is being decoded is ignored.
void PreloadSkinPictures(std::vector<QString> paths);

// The preloaded picture of `path`, waiting for it when it is still being decoded; nothing
// when it was not asked for. A picture is handed out once.
std::optional<QImage> TakePreloadedSkinPicture(const QString& path);

// Frees the pictures nobody took (the mouse found was another model), after waiting for
// the ones still being decoded.
void DropPreloadedSkinPictures();

}  // namespace vantor
