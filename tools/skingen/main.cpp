// vantor-skingen OUTDIR CFG: draws the default skin into OUTDIR, with the mouse pictures
// of every device section of the configuration file CFG.
// vantor-skingen --icons PROGRAMDIR THEMEDIR NAME: draws the application icon into the
// program folder (appico.ico, appico.png) and into the hicolor icon theme folder THEMEDIR.
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "app/config/config.h"
#include "base/message_sink.h"
#include "tools/skingen/skin_pictures.h"

namespace {

int DrawIcons(char** argv) {
    QString error;
    if (!vantor::skingen::WriteAppIcons(QString::fromLocal8Bit(argv[2]),
                                        QString::fromLocal8Bit(argv[3]),
                                        QString::fromLocal8Bit(argv[4]), &error)) {
        std::fprintf(stderr, "vantor-skingen: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

int DrawSkin(char** argv) {
    vantor::StderrMessageSink sink;
    vantor::SetMessageSink(&sink);
    if (!vantor::DataInit(argv[2])) {
        std::fprintf(stderr, "vantor-skingen: %s has an unusable device section\n", argv[2]);
        return 1;
    }
    std::vector<vantor::skingen::SkinPicture> pictures = vantor::skingen::DrawDefaultSkin();
    for (int i = 0; i < vantor::kDeviceSectionCount; ++i) {
        const vantor::DeviceSection& section = vantor::DeviceSectionAt(i);
        if (section.Sensor == 0) continue;
        for (auto& picture : vantor::skingen::DrawMousePictures(section)) {
            pictures.push_back(std::move(picture));
        }
    }
    QString error;
    if (!vantor::skingen::WriteSkin(QString::fromLocal8Bit(argv[1]), pictures, &error)) {
        std::fprintf(stderr, "vantor-skingen: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "--icons") == 0) return DrawIcons(argv);
    if (argc == 3) return DrawSkin(argv);
    std::fprintf(stderr,
                 "usage: vantor-skingen OUTDIR CFG\n"
                 "       vantor-skingen --icons PROGRAMDIR THEMEDIR NAME\n");
    return 2;
}
