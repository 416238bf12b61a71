// The loaders every page uses to create its skinned controls. A loader checks the
// pictures first: when one cannot be decoded it shows a plain message box naming the file
// (caption "Warrning") and creates nothing, and the window goes on without the control.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <initializer_list>
#include <string_view>
#include <vector>

class QWidget;

namespace vantor {

class SkinnedButton;

// Message texts of the loaders; "%s" stands for the file name.
inline constexpr std::string_view kButtonPictureMissing = "NewSmallPngButton. file %s not exist";
inline constexpr std::string_view kPopupButtonPictureMissing =
    "NewSmallPngButton3. file %s not exist";
inline constexpr std::string_view kHSliderBarPictureMissing =
    "NewSmallPngHSliderBarEx Error. file %s not exist";
inline constexpr std::string_view kSliderBarPictureMissing =
    "NewSmallPngSliderBar Error. file %s not exist";
inline constexpr std::string_view kLoaderCaption = "Warrning";

// Decodes every named skin picture in order. On the first that cannot be decoded shows
// `messageFormat` with that file name through ShowSystemMessage, captioned "Warrning",
// and returns an empty list; otherwise returns the pictures.
std::vector<QImage> LoadSkinPictures(std::string_view messageFormat,
                                     std::initializer_list<QString> files);

// What a page asks for when it creates an image button.
struct SkinButtonLayout {
    QString normal;   // e.g. "button2_nr.png"
    QString hover;    // may name the same file as `normal`
    QString pressed;  // may name the same file as `normal`
    QRect rect;       // in the page's unscaled coordinates
    QString caption;  // empty: no caption
    int controlId = 0;
};

// The optional disabled picture beside a normal one: "button2_nr.png" -> "button2_ds.png";
// empty for a name without the "_nr.png" ending.
QString DisabledPictureName(const QString& normal);

// Creates an image button on `parent` at the rectangle's top-left corner with the size of
// its normal picture; in the 4K layout it stretches its pictures sharply when the 4K move
// doubles it later. Its background is
// the crop of `parentBackground` under it. A disabled picture (DisabledPictureName) is
// used when the skin has one; it is optional and reported by nobody. The caption gets the
// Btn_txt_clr colours and, with BtnTips, becomes the tool tip; UIDebug switches on the debug frame.
// Returns null after the "NewSmallPngButton" message when a picture is missing.
SkinnedButton* NewSmallPngButton(QWidget* parent, const QImage& parentBackground,
                                 const SkinButtonLayout& layout);
// The same for the buttons of pop-up windows, reporting "NewSmallPngButton3".
SkinnedButton* NewSmallPngButton3(QWidget* parent, const QImage& parentBackground,
                                  const SkinButtonLayout& layout);

// Picture checks of the slider bar loaders (the bar, its thumb, ...).
std::vector<QImage> LoadHSliderBarExPictures(std::initializer_list<QString> files);
std::vector<QImage> LoadSliderBarPictures(std::initializer_list<QString> files);

}  // namespace vantor
