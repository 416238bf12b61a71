#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QWidget>

#include "base/log.h"
#include "tests/support/temp_dir.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/window_outline.h"

namespace vantor {
namespace {

class Scoped4K {
  public:
    explicit Scoped4K(bool on) : old_(Is4KLayout()) { Set4KLayout(on); }
    ~Scoped4K() { Set4KLayout(old_); }

  private:
    bool old_;
};

TEST(FourKLayoutTest, DecisionFromTheUsableScreenWithItsLogLine) {
    test::TempDir dir;
    const std::string logPath = dir / "Log.txt";
    LogSetup(2, logPath);
    struct Case {
        int width, height;
        bool expected;
        bool logsTooSmall;
    };
    const Case cases[] = {
        {3840, 2160, true, false}, {3500, 1451, true, false},  {3500, 1450, false, true},
        {3500, 1400, false, true}, {3499, 2160, false, false}, {1920, 1080, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        test::WriteText(logPath, "");
        EXPECT_EQ(Wants4KLayout(c.width, c.height), c.expected);
        const bool logged = test::ReadText(logPath).find(
                                "Screen size too small, not set 4K flag") != std::string::npos;
        EXPECT_EQ(logged, c.logsTooSmall);
    }
    LogShutdown();
}

// A font height names the whole character cell: the largest font whose ascent plus
// descent is at most that high.
void ExpectCellHeight(const QFont& font, int cellHeight) {
    SCOPED_TRACE(testing::Message() << "cell " << cellHeight);
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.ascent() + metrics.descent(), cellHeight);
    EXPECT_LT(font.pixelSize(), cellHeight);
    QFont larger = font;
    larger.setPixelSize(font.pixelSize() + 1);
    const QFontMetrics largerMetrics(larger);
    EXPECT_GT(largerMetrics.ascent() + largerMetrics.descent(), cellHeight);
}

TEST(FourKLayoutTest, FontsFollowTheFlag) {
    {
        Scoped4K on(true);
        ExpectCellHeight(TitleFont(), 34);
        ExpectCellHeight(SelectorFont(), 24);
        ExpectCellHeight(FallbackFont(), 26);
        EXPECT_EQ(FallbackFont().weight(), 500);
    }
    Scoped4K off(false);
    ExpectCellHeight(TitleFont(), 24);
    EXPECT_EQ(TitleFont().weight(), 700);
    ExpectCellHeight(SelectorFont(), 14);
    ExpectCellHeight(FallbackFont(), 16);
    EXPECT_EQ(FallbackFont().weight(), 400);
    EXPECT_EQ(FallbackFont().family(), QStringLiteral("MS Shell Dlg"));
}

TEST(FourKLayoutTest, MoveDoublesEveryCoordinateInTheParent) {
    QWidget parent;
    QWidget child(&parent);
    child.setGeometry(QRect(QPoint(399, 10), QSize(25, 25)));
    Move4K(&child);
    EXPECT_EQ(child.geometry(), QRect(QPoint(798, 20), QSize(50, 50)));
    EXPECT_EQ(Doubled(QRect(1, 160, 1019, 540)), QRect(2, 320, 2038, 1080));
}

TEST(ApplicationFontTest, MissingNameOrFileLeavesTheFallback) {
    test::TempDir dir;
    test::ScopedEnv program("VANTOR_PROGRAM_DIR", dir.path());
    EXPECT_FALSE(LoadApplicationFont("", 14));
    EXPECT_FALSE(LoadApplicationFont("Orbit", 14));  // no appfont.ttf
    test::WriteText(dir / "appfont.ttf", "not a font");
    EXPECT_FALSE(LoadApplicationFont("Orbit", 14));
    EXPECT_FALSE(HasApplicationFont());
    EXPECT_EQ(WindowFont(), FallbackFont());
}

TEST(SkinImagesTest, ScaledCopyRepeatsEachPixelWithSharpEdges) {
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, 0xFFFF0000);
    picture.setPixel(1, 0, 0xFF00FF00);
    picture.setPixel(0, 1, 0xFF0000FF);
    picture.setPixel(1, 1, 0x00000000);
    const QImage scaled = ScaledCopy(picture, 2).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(scaled.size(), QSize(4, 4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(scaled.pixel(x, y), picture.pixel(x / 2, y / 2)) << x << "," << y;
        }
    }
    EXPECT_TRUE(ScaledCopy(picture, 0).isNull());
    EXPECT_TRUE(ScaledCopy(QImage(), 2).isNull());
}

TEST(SkinImagesTest, BackgroundCropTakesThePartUnderTheRectangle) {
    QImage background(10, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) background.setPixel(x, y, qRgb(x * 10, y * 10, 0));
    }
    const QImage crop =
        BackgroundCrop(background, QRect(8, 3, 4, 2)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(crop.size(), QSize(4, 2));
    EXPECT_EQ(crop.pixel(0, 0), qRgb(80, 30, 0));
    EXPECT_EQ(crop.pixel(1, 1), qRgb(90, 40, 0));
    EXPECT_EQ(qAlpha(crop.pixel(2, 0)), 0);  // beyond the background
    EXPECT_TRUE(BackgroundCrop(background, QRect()).isNull());
}

TEST(SkinImagesTest, BackgroundViewReadsThePixelsInPlaceOrFallsBackToACrop) {
    QImage background(10, 10, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) background.setPixel(x, y, qRgb(x * 10, y * 10, 0));
    }
    const QRect inside(2, 3, 4, 5);
    const QImage view = BackgroundView(background, inside);
    EXPECT_EQ(view, BackgroundCrop(background, inside));
    EXPECT_EQ(view.constBits(), background.constScanLine(3) + 2 * sizeof(QRgb));

    // Beyond the edge, or another pixel format: a copy with the transparent rest.
    const QImage edge = BackgroundView(background, QRect(8, 3, 4, 2));
    EXPECT_EQ(edge, BackgroundCrop(background, QRect(8, 3, 4, 2)));
    const QImage plain = background.convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(BackgroundView(plain, inside), BackgroundCrop(plain, inside));
    EXPECT_TRUE(BackgroundView(background, QRect()).isNull());
}

TEST(SkinImagesTest, ColorRefHasRedInTheLowByte) {
    EXPECT_EQ(ColorFromColorRef(0x00336699), QColor(0x99, 0x66, 0x33));
}

TEST(WindowOutlineTest, MaskCutsTransparentPixelsAndColoursWithinTheTolerance) {
    QImage picture(20, 10, QImage::Format_ARGB32);
    picture.fill(qRgb(1, 1, 1));
    picture.setPixel(0, 0, 0x00FFFFFF);        // transparent
    picture.setPixel(6, 5, qRgb(11, 11, 11));  // +10 on every channel: still mask
    picture.setPixel(5, 5, qRgb(12, 1, 1));    // red +11: window
    QWidget window;
    window.resize(20, 10);

    ApplyWindowOutline(&window, picture, 0, kMainWindowOutlineTolerance);
    EXPECT_TRUE(window.mask().isEmpty()) << "mask colour 0 means a rectangular window";

    ApplyWindowOutline(&window, picture, 0x010101, kMainWindowOutlineTolerance);
    EXPECT_EQ(window.mask(), QRegion(5, 5, 1, 1));
}

TEST(WindowOutlineTest, PixelsInsideTheOutlineArePaintedOpaque) {
    // Antialiased corner pixels: kept ones become opaque in their own colour (not darkened
    // towards black), dropped ones fully transparent, so no dark speck shows on any screen.
    QImage picture(3, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(200, 100, 50, 200));
    picture.setPixel(1, 0, qRgba(200, 100, 50, 100));
    picture.setPixel(2, 0, qRgba(200, 100, 50, 255));
    const QImage opaque = OpaqueWithinOutline(picture).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(opaque.pixel(0, 0), qRgba(200, 100, 50, 255));
    EXPECT_EQ(qAlpha(opaque.pixel(1, 0)), 0);
    EXPECT_EQ(opaque.pixel(2, 0), qRgba(200, 100, 50, 255));
    EXPECT_EQ(OutlineRegion(picture, 0x00FF00, 0), QRegion(0, 0, 1, 1) + QRegion(2, 0, 1, 1));
}

TEST(WindowOutlineTest, RegionOfAPictureLargerThanOneBatch) {
    // 300 rows of one run each cross several batches of 100 rectangles.
    QImage picture(4, 300, QImage::Format_ARGB32);
    picture.fill(qRgb(255, 0, 255));
    for (int y = 0; y < 300; ++y) picture.setPixel(y % 4, y, qRgb(20, 20, 20));
    const QRegion region = OutlineRegion(picture, 0xFF00FF, 0);
    EXPECT_EQ(region.rectCount(), 300);
    EXPECT_TRUE(region.contains(QPoint(3, 299)));
    EXPECT_FALSE(region.contains(QPoint(0, 299)));
}

}  // namespace
}  // namespace vantor
