// The skin drawn at build time into the program folder: every picture the windows load is
// there, in the size their layouts expect.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>

#include "app/config/config.h"
#include "platform/paths.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_combo_box.h"

namespace vantor {
namespace {

TEST(DefaultSkinTest, EveryPictureExistsInItsLayoutSize) {
    struct Expected {
        const char* name;
        int width, height;
    };
    const Expected pictures[] = {
        {"key_nr.png", 1020, 700},  // page area (1,160)-(1019,699)
        {"adv_nr.png", 1018, 539},      {"led_nr.png", 1018, 539},
        {"msg_nr.png", 436, 150},  // close button (399,10)-(424,35), buttons to y 137
        {"msg2_nr.png", 396, 340},      {"progress_nr.png", 530, 150},
        {"progress_ov.png", 441, 22},   {"min_nr.png", 25, 25},
        {"exit_nr.png", 25, 25},        {"help_nr.png", 25, 25},
        {"combo3_nr.png", 111, 30},     {"combo_nr.png", 147, 30},
        {"combo2_nr.png", 83, 19},      {"button_nr.png", 222, 19},
        {"button2_nr.png", 80, 27},     {"reset_nr.png", 111, 27},
        {"check_nr.png", 11, 11},       {"check_dn.png", 11, 11},
        {"Check_nr.png", 11, 11},       {"Check_dn.png", 11, 11},
        {"radio_nr.png", 12, 12},       {"radio_dn.png", 12, 12},
        {"longbar_nr.png", 650, 29},    {"longbar_ov.png", 650, 29},
        {"dpibar_nr.png", 390, 29},     {"dpibar_ov.png", 390, 29},
        {"bar_nr.png", 261, 10},        {"bar_ov.png", 261, 10},
        {"key_time.png", 170, 30},      {"color.png", 173, 173},
        {"power_charging.png", 37, 43},
    };
    for (const Expected& e : pictures) {
        const QImage image = LoadSkinImage(QString::fromLatin1(e.name));
        EXPECT_EQ(image.size(), QSize(e.width, e.height)) << e.name;
    }
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(LoadSkinImage(QStringLiteral("navi%1_nr.png").arg(i)).size(), QSize(60, 49));
        EXPECT_EQ(LoadSkinImage(QStringLiteral("navi%1_dn.png").arg(i)).size(), QSize(60, 49));
        EXPECT_EQ(LoadSkinImage(QStringLiteral("power%1.png").arg(i)).size(), QSize(37, 43));
    }
    for (int i = 1; i <= 16; ++i) {
        EXPECT_FALSE(LoadSkinImage(QStringLiteral("number%1.png").arg(i)).isNull()) << i;
        EXPECT_EQ(LoadSkinImage(QStringLiteral("number/number%1.png").arg(i)).size(),
                  QSize(18, 18));
    }
    for (const char* name : {"slider.png", "mac_d.png", "mac_u.png", "mac_t.png", "mac_m.png",
                             "macro/open.png", "macro/close.png"}) {
        EXPECT_FALSE(LoadSkinImage(QString::fromLatin1(name)).isNull()) << name;
    }
}

TEST(DefaultSkinTest, ButtonsAndCombosHaveADisabledPictureOfTheirSize) {
    for (const char* name : {"button", "button2", "reset", "combo", "combo2", "combo3"}) {
        const QImage normal = LoadSkinImage(QString::fromLatin1(name) + "_nr.png");
        const QImage disabled = LoadSkinImage(QString::fromLatin1(name) + "_ds.png");
        EXPECT_EQ(disabled.size(), normal.size()) << name;
        EXPECT_NE(disabled, normal) << name;
    }
}

TEST(DefaultSkinTest, MenuRowsAreAsHighAsTheComboButtonPlacesThem) {
    // A drop-down that opens above its combo button ends at the button's top only when
    // the rows are as high as the button reckons.
    for (const char* name : {"menu_nr.png", "menu_ov.png", "menusub_nr.png", "menusub_ov.png"}) {
        EXPECT_EQ(LoadSkinImage(QString::fromLatin1(name)).height(), SkinnedComboBox::kRowHeight)
            << name;
    }
}

TEST(DefaultSkinTest, MousePicturesOfEveryDeviceSectionCarryItsMarks) {
    ASSERT_TRUE(DataInit(ProgramDir() + "cfg.ini"));
    int sections = 0;
    for (int index = 0; index < kDeviceSectionCount; ++index) {
        const DeviceSection& section = DeviceSectionAt(index);
        if (section.Sensor == 0) continue;
        ++sections;
        const QString folder = QStringLiteral("%1%2/")
                                   .arg(section.CID, 2, 16, QChar('0'))
                                   .arg(section.MID, 2, 16, QChar('0'));
        const QImage normal = LoadSkinImage(folder + "mouse_nr.png");
        const QImage pressed = LoadSkinImage(folder + "mouse_dn.png");
        ASSERT_FALSE(normal.isNull()) << folder.toStdString();
        EXPECT_EQ(pressed.size(), normal.size());
        EXPECT_EQ(LoadSkinImage(folder + "mouse_led.png").size(), normal.size());
        // The logo light's part of the lit picture lies on the glowing logo.
        const QImage logo = LoadSkinImage(folder + "mouse_logo.png");
        ASSERT_EQ(logo.size(), normal.size());
        EXPECT_GT(qAlpha(logo.pixel(180, 250)), 0);
        EXPECT_EQ(qAlpha(logo.pixel(180, 120)), 0);
        // Each mark lies inside the picture and its centre is drawn (not transparent)
        // and highlighted in the pressed picture.
        for (int i = 0; i < section.keyCount; ++i) {
            const Rect& mark = section.marks[i];
            SCOPED_TRACE(testing::Message() << folder.toStdString() << " Mark" << i + 1);
            ASSERT_TRUE(normal.rect().contains(
                QRect(QPoint(mark.left, mark.top), QPoint(mark.right - 1, mark.bottom - 1))));
            const QPoint centre((mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2);
            EXPECT_EQ(qAlpha(normal.pixel(centre)), 255);
            EXPECT_NE(normal.pixel(centre), pressed.pixel(centre));
        }
    }
    EXPECT_GE(sections, 2);
}

TEST(DefaultSkinTest, SeparateXAndYThumbsFitTheirHalfOfTheDpiRow) {
    const QImage row = LoadSkinImage(QStringLiteral("longbar_nr.png"));
    const QImage x = LoadSkinImage(QStringLiteral("slider1.png"));
    const QImage y = LoadSkinImage(QStringLiteral("slider2.png"));
    ASSERT_FALSE(x.isNull());
    EXPECT_EQ(x.size(), y.size());
    // The X thumb is centred on a quarter of the row, the Y thumb on three quarters.
    EXPECT_LE(x.height(), row.height() / 2);
    EXPECT_LE(LoadSkinImage(QStringLiteral("slider.png")).height(), row.height());
}

TEST(DefaultSkinTest, ProgressWindowShowsTheEmptyTrackOfItsBar) {
    const QImage window = LoadSkinImage(QStringLiteral("progress_nr.png"));
    ASSERT_FALSE(window.isNull());
    // Inside the restore bar (45, 101)-(486, 123) the track differs from the window above it.
    EXPECT_NE(window.pixel(265, 112), window.pixel(265, 90));
    EXPECT_NE(window.pixel(60, 112), window.pixel(60, 90));
}

TEST(DefaultSkinTest, WindowIconHoldsEverySizeTheDesktopAsksFor) {
    // appico.ico lies in the program folder, not in skins; every image in it must decode.
    QImageReader reader(QString::fromStdString(ProgramDir()) + "appico.ico");
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    std::vector<int> sizes;
    do {
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.width(), image.height());
        EXPECT_TRUE(image.hasAlphaChannel());
        sizes.push_back(image.width());
    } while (reader.jumpToNextImage());
    EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 64, 128, 256}));
    EXPECT_EQ(QImage(QString::fromStdString(ProgramDir()) + "appico.png").size(), QSize(256, 256));
}

}  // namespace
}  // namespace vantor
