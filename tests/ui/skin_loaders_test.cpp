#include "ui/widgets/skin_loaders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QWidget>

#include "base/message_sink.h"
#include "base/texts.h"
#include "base/version.h"
#include "tests/support/temp_dir.h"
#include "ui/shell/about_window.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_preload.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

// A program folder with its own small skin pictures and a sink that records messages.
class SkinFolderTest : public testing::Test {
  protected:
    SkinFolderTest() : program_("VANTOR_PROGRAM_DIR", dir_.path()) {
        SetMessageSink(&messages_);
        QDir().mkpath(QString::fromStdString(dir_ / "skins"));
    }
    ~SkinFolderTest() override {
        SetMessageSink(nullptr);
        Set4KLayout(false);
    }

    void Picture(const char* name, int width, int height, QRgb colour = qRgb(40, 40, 40)) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(dir_ / "skins/" + name)));
    }

    test::TempDir dir_;
    test::ScopedEnv program_;
    RecordingMessageSink messages_;
};

TEST_F(SkinFolderTest, MissingPictureNamesTheFileWithTheLoadersText) {
    Picture("ok_nr.png", 10, 10);
    struct Case {
        std::vector<QImage> (*load)(std::initializer_list<QString>);
        const char* expected;
    };
    const Case cases[] = {
        {&LoadHSliderBarExPictures, "NewSmallPngHSliderBarEx Error. file gone.png not exist"},
        {&LoadSliderBarPictures, "NewSmallPngSliderBar Error. file gone.png not exist"},
    };
    for (const Case& c : cases) {
        messages_.messages.clear();
        EXPECT_TRUE(c.load({"ok_nr.png", "gone.png", "also_gone.png"}).empty());
        ASSERT_EQ(messages_.messages.size(), 1u) << "only the first missing file is reported";
        EXPECT_EQ(messages_.messages[0].first, c.expected);
        EXPECT_EQ(messages_.messages[0].second, "Warrning");
    }
    EXPECT_EQ(LoadSliderBarPictures({"ok_nr.png", "ok_nr.png"}).size(), 2u);
}

TEST_F(SkinFolderTest, ButtonIsLeftOutWhenAnyOfItsThreePicturesIsMissing) {
    Picture("b_nr.png", 30, 20);
    Picture("b_ov.png", 30, 20);
    QWidget page;
    const SkinButtonLayout layout{"b_nr.png", "b_ov.png", "b_dn.png", QRect(5, 6, 80, 27), {}, 7};
    EXPECT_EQ(NewSmallPngButton(&page, QImage(), layout), nullptr);
    EXPECT_EQ(NewSmallPngButton3(&page, QImage(), layout), nullptr);
    ASSERT_EQ(messages_.messages.size(), 2u);
    EXPECT_EQ(messages_.messages[0].first, "NewSmallPngButton. file b_dn.png not exist");
    EXPECT_EQ(messages_.messages[1].first, "NewSmallPngButton3. file b_dn.png not exist");
    EXPECT_TRUE(page.findChildren<SkinnedButton*>().isEmpty());
}

TEST_F(SkinFolderTest, ButtonTakesItsPictureSizeInBothLayouts) {
    Picture("b_nr.png", 30, 20);
    QWidget page;
    const SkinButtonLayout layout{"b_nr.png", "b_nr.png", "b_nr.png", QRect(5, 6, 80, 27), "OK", 7};
    SkinnedButton* normal = NewSmallPngButton(&page, QImage(), layout);
    ASSERT_NE(normal, nullptr);
    EXPECT_EQ(normal->geometry(), QRect(5, 6, 30, 20));
    EXPECT_EQ(normal->ControlId(), 7);
    EXPECT_EQ(normal->Text(), QStringLiteral("OK"));

    // A rectangle of another size than the picture must not squash the button in 4K only:
    // the 4K move doubles the picture's size.
    Set4KLayout(true);
    SkinnedButton* large = NewSmallPngButton(&page, QImage(), layout);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(large->geometry(), QRect(5, 6, 30, 20));
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(SkinFolderTest, DisabledButtonShowsItsOwnPictureAndADimmedCaption) {
    Picture("b_nr.png", 30, 20, qRgb(40, 40, 40));
    Picture("b_ds.png", 30, 20, qRgb(90, 10, 10));
    Picture("c_nr.png", 30, 20, qRgb(40, 40, 40));  // no disabled picture: nothing reported
    QWidget page;
    SkinnedButton* withPicture = NewSmallPngButton(
        &page, QImage(), {"b_nr.png", "b_nr.png", "b_nr.png", QRect(0, 0, 30, 20), {}, 1});
    SkinnedButton* without = NewSmallPngButton(
        &page, QImage(), {"c_nr.png", "c_nr.png", "c_nr.png", QRect(0, 0, 30, 20), {}, 2});
    ASSERT_NE(withPicture, nullptr);
    ASSERT_NE(without, nullptr);
    EXPECT_TRUE(messages_.messages.empty());
    withPicture->setEnabled(false);
    EXPECT_EQ(withPicture->grab().toImage().pixel(15, 10), qRgb(90, 10, 10));

    // Without a picture of its own the face fades, unlike the darker pressed face.
    without->setEnabled(false);
    const QImage disabled = without->grab().toImage();
    EXPECT_NE(disabled.pixel(15, 10), qRgb(40, 40, 40));
    EXPECT_EQ(DisabledPictureName(QStringLiteral("combo_nr.png")), QStringLiteral("combo_ds.png"));
    EXPECT_EQ(DisabledPictureName(QStringLiteral("slider.png")), QString());
}

TEST_F(SkinFolderTest, AboutBoxWithoutBackgroundClosesAtOnceWithoutMessage) {
    AboutWindow about;
    EXPECT_EQ(about.exec(), QDialog::Rejected);
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(SkinFolderTest, AboutBoxLayout) {
    Picture("msg_nr.png", 436, 150);
    Picture("exit_nr.png", 25, 25);
    Picture("reset_nr.png", 111, 27);
    test::WriteText(dir_ / "text.xml",
                    "<config><tc_msg21>About</tc_msg21><tc_version>V</tc_version>"
                    "<tc_fwver>FW</tc_fwver><tc_web>https://example.org</tc_web></config>");
    LoadTexts(dir_ / "text.xml");
    {
        AboutWindow about(nullptr, 0x1A);
        EXPECT_EQ(about.windowTitle(), QStringLiteral("VantorMsgTopWindow"));
        EXPECT_EQ(about.size(), QSize(436, 150));
        ASSERT_NE(about.CloseButton(), nullptr);
        EXPECT_EQ(about.CloseButton()->geometry(), QRect(399, 10, 25, 25));
        ASSERT_NE(about.FirmwareButton(), nullptr);
        EXPECT_TRUE(about.FirmwareButton()->isHidden());  // ShowFWUpdate is 0
        const auto lines = about.TextLines();
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[1].rect, QRect(60, 60, 360, 20));
        // The version number is the build's, after the language text.
        EXPECT_EQ(lines[1].text, QStringLiteral("V ") + QLatin1String(ProgramVersion()));
        EXPECT_EQ(lines[2].rect, QRect(60, 80, 360, 20));
        EXPECT_EQ(lines[2].text, QStringLiteral("FW 001a"));

        QString opened;
        about.SetLinkOpener([&](const QString& address) { opened = address; });
        emit about.LinkButton()->clicked();
        EXPECT_EQ(opened, QStringLiteral("https://example.org"));
    }
    {
        // Without a known device the firmware line is left out; in 4K everything doubles.
        Set4KLayout(true);
        AboutWindow about;
        EXPECT_EQ(about.size(), QSize(872, 300));
        EXPECT_EQ(about.CloseButton()->geometry(), QRect(798, 20, 50, 50));
        ASSERT_EQ(about.TextLines().size(), 2u);
        EXPECT_EQ(about.TextLines()[1].rect, QRect(120, 120, 720, 40));
    }
    test::WriteText(dir_ / "text.xml", "<config><tc_version>V1</tc_version></config>");
    LoadTexts(dir_ / "text.xml");
    Set4KLayout(false);
    AboutWindow about(nullptr, 0x1A);
    ASSERT_EQ(about.TextLines().size(), 2u);
    EXPECT_EQ(about.TextLines()[1].rect, QRect(60, 70, 360, 20)) << "no tc_fwver: y is 70";
}

// Pictures decoded ahead are the same as decoded on the spot, handed out once; a file
// missing from the skin stays missing, and a picture nobody asked for is decoded as usual.
TEST_F(SkinFolderTest, PreloadedPicturesAreTheLoadedOnesHandedOutOnce) {
    Picture("a.png", 30, 20, qRgb(200, 10, 10));
    Picture("b.png", 5, 6);
    PreloadSkinPictures({SkinPath("a.png"), SkinPath("gone.png")});
    const QImage a = LoadSkinImage("a.png");  // waits for the decoding thread if need be
    EXPECT_EQ(a.size(), QSize(30, 20));
    EXPECT_EQ(a.pixelColor(3, 3), QColor(200, 10, 10));
    EXPECT_EQ(a, DecodeSkinPicture(SkinPath("a.png")));
    EXPECT_FALSE(TakePreloadedSkinPicture(SkinPath("a.png")).has_value()) << "handed out once";
    EXPECT_TRUE(LoadSkinImage("gone.png").isNull());
    EXPECT_EQ(LoadSkinImage("b.png").size(), QSize(5, 6));

    PreloadSkinPictures({SkinPath("b.png")});
    DropPreloadedSkinPictures();  // once decoded, nobody took it
    EXPECT_FALSE(TakePreloadedSkinPicture(SkinPath("b.png")).has_value());
}

}  // namespace
}  // namespace vantor
