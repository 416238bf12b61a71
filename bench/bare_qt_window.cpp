// The floor the window program is measured against: a bare Qt widgets program with one
// label in a window of the main window's size, built with the same compiler, flags and Qt.
// Whatever it costs to start, to map a window and to keep it on screen, every Qt program
// pays; bench/floor_bench.sh runs it beside vantor and prints the ratios.
#include <QApplication>
#include <QLabel>

namespace {

// The size of the main window's background picture, so that both programs keep a window
// surface of the same size.
constexpr int kWindowWidth = 1020;
constexpr int kWindowHeight = 700;

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("bare Qt window"));
    label.setAlignment(Qt::AlignCenter);
    label.resize(kWindowWidth, kWindowHeight);
    label.show();
    return QApplication::exec();
}
