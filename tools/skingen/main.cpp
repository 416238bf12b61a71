// vantor-skingen OUTDIR CFG: draws the default skin into OUTDIR, with the mouse pictures
// of every device section of the configuration file CFG.
#include <QGuiApplication>
#include <cstdio>

#include "app/config.h"
#include "app/message_sink.h"
#include "tools/skingen/skin_pictures.h"

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vantor-skingen OUTDIR CFG\n");
        return 2;
    }
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
