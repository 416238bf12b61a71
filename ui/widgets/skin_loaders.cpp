#include "ui/widgets/skin_loaders.h"

#include <string>

#include "base/message_sink.h"
#include "base/skin_style.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

std::string InsertFileName(std::string_view format, const QString& file) {
    std::string text(format);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, file.toStdString());
    return text;
}

}  // namespace

QString DisabledPictureName(const QString& normal) {
    const QString suffix = QStringLiteral("_nr.png");
    if (!normal.endsWith(suffix)) return {};
    return normal.left(normal.size() - suffix.size()) + QStringLiteral("_ds.png");
}

namespace {

SkinnedButton* CreateButton(std::string_view messageFormat, QWidget* parent,
                            const QImage& parentBackground, const SkinButtonLayout& layout) {
    std::vector<QImage> pictures =
        LoadSkinPictures(messageFormat, {layout.normal, layout.hover, layout.pressed});
    if (pictures.empty()) return nullptr;

    const SkinStyle& style = CurrentSkinStyle();
    // The picture's size in both layouts: the 4K move doubles it later. Taking the whole
    // rectangle in 4K squashed or stretched every button whose rectangle differs from its
    // picture, and only in that layout.
    const QRect place(layout.rect.topLeft(), pictures[0].size());
    auto* button = new SkinnedButton(parent);
    button->setGeometry(place);
    button->SetStretch(Is4KLayout());
    button->SetImages(pictures[0], pictures[1], pictures[2],
                      LoadSkinImage(DisabledPictureName(layout.normal)));
    button->SetBackgroundImage(BackgroundCrop(parentBackground, place));
    button->SetControlId(layout.controlId);
    button->SetDebugFrame(style.debugFrames);
    if (!layout.caption.isEmpty()) {
        button->SetText(layout.caption);
        button->SetTextColors(ColorFromColorRef(style.buttonTextHover),
                              ColorFromColorRef(style.buttonTextNormal),
                              ColorFromColorRef(style.buttonTextPressed));
        if (style.buttonTips) button->SetToolTipText(layout.caption);
    }
    button->show();
    return button;
}

}  // namespace

std::vector<QImage> LoadSkinPictures(std::string_view messageFormat,
                                     std::initializer_list<QString> files) {
    std::vector<QImage> pictures;
    pictures.reserve(files.size());
    for (const QString& file : files) {
        QImage picture = LoadSkinImage(file);
        if (picture.isNull()) {
            ShowSystemMessage(InsertFileName(messageFormat, file), kLoaderCaption);
            return {};
        }
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

SkinnedButton* NewSmallPngButton(QWidget* parent, const QImage& parentBackground,
                                 const SkinButtonLayout& layout) {
    return CreateButton(kButtonPictureMissing, parent, parentBackground, layout);
}

SkinnedButton* NewSmallPngButton3(QWidget* parent, const QImage& parentBackground,
                                  const SkinButtonLayout& layout) {
    return CreateButton(kPopupButtonPictureMissing, parent, parentBackground, layout);
}

std::vector<QImage> LoadHSliderBarExPictures(std::initializer_list<QString> files) {
    return LoadSkinPictures(kHSliderBarPictureMissing, files);
}

std::vector<QImage> LoadSliderBarPictures(std::initializer_list<QString> files) {
    return LoadSkinPictures(kSliderBarPictureMissing, files);
}

}  // namespace vantor
