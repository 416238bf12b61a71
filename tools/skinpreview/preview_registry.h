// Registry of the preview program: each control family adds one file
// tools/skinpreview/preview_<family>.cpp with render functions registered like this:
//
//     VANTOR_PREVIEW(button_push_states) {
//         SkinnedButton button;
//         ...
//         return vantor::preview::Grab(&button);
//     }
//
// `vantor-skinpreview OUTDIR [FILTER]` runs every registered function (whose name contains
// FILTER) with a QApplication, cfg.ini and the English texts loaded, and writes each
// picture to OUTDIR/<name>.png. A function that returns a null image is reported and
// skipped.
#pragma once

#include <QImage>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace vantor::preview {

using RenderFunction = std::function<QImage()>;

struct PreviewEntry {
    std::string name;
    RenderFunction render;
};

// Adds a render function; returns true so it can initialise a static.
bool Register(const std::string& name, RenderFunction render);
const std::vector<PreviewEntry>& Entries();

// The widget as shown: laid out, polished and painted into an image.
QImage Grab(QWidget* widget);

// Several pictures side by side on the skin's window colour, `gap` pixels apart.
QImage Row(const std::vector<QImage>& pictures, int gap = 12);

}  // namespace vantor::preview

#define VANTOR_PREVIEW_CONCAT2(a, b) a##b
#define VANTOR_PREVIEW_CONCAT(a, b) VANTOR_PREVIEW_CONCAT2(a, b)
#define VANTOR_PREVIEW(name)                                                              \
    static QImage VANTOR_PREVIEW_CONCAT(RenderPreview_, name)();                          \
    [[maybe_unused]] static const bool VANTOR_PREVIEW_CONCAT(registeredPreview_, name) =  \
        ::vantor::preview::Register(#name, &VANTOR_PREVIEW_CONCAT(RenderPreview_, name)); \
    static QImage VANTOR_PREVIEW_CONCAT(RenderPreview_, name)()
