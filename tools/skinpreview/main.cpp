// vantor-skinpreview OUTDIR [FILTER]: renders every registered control and pop-up into
// OUTDIR/<name>.png so the skin can be looked at without running the program.
// VANTOR_PREVIEW_LANG names the language folder of the texts (default "en");
// VANTOR_PREVIEW_4K=1 draws everything in the doubled 4K layout;
// VANTOR_PREVIEW_SCREEN=1 shows each window on the screen and takes the picture from there
// (run it on an X server to see what the window system makes of the outlines).
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <cstdio>
#include <string>

#include "app/config/config.h"
#include "base/file_io.h"
#include "base/message_sink.h"
#include "base/texts.h"
#include "platform/paths.h"
#include "tools/skinpreview/preview_registry.h"
#include "ui/widgets/skin.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: vantor-skinpreview OUTDIR [FILTER]\n");
        return 2;
    }
    const std::string filter = argc == 3 ? argv[2] : "";
    vantor::StderrMessageSink sink;
    vantor::SetMessageSink(&sink);
    if (!vantor::DataInit(vantor::ProgramDir() + "cfg.ini")) {
        std::fprintf(stderr, "vantor-skinpreview: cannot read cfg.ini\n");
        return 1;
    }
    vantor::Set4KLayout(!qgetenv("VANTOR_PREVIEW_4K").isEmpty());
    const QByteArray language = qgetenv("VANTOR_PREVIEW_LANG");
    vantor::LoadTexts(vantor::ProgramDir() + (language.isEmpty() ? "en" : language.toStdString()) +
                      "/text.xml");

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.absolutePath())) {
        std::fprintf(stderr, "vantor-skinpreview: cannot create %s\n", argv[1]);
        return 1;
    }
    int failures = 0;
    for (const vantor::preview::PreviewEntry& entry : vantor::preview::Entries()) {
        if (!filter.empty() && entry.name.find(filter) == std::string::npos) continue;
        const QImage image = entry.render();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const std::string path =
            out.filePath(QString::fromStdString(entry.name) + ".png").toStdString();
        if (image.isNull() || !image.save(&buffer, "PNG") ||
            !vantor::WriteFileAtomic(path, bytes.constData(),
                                     static_cast<std::size_t>(bytes.size()))) {
            std::fprintf(stderr, "vantor-skinpreview: %s failed\n", entry.name.c_str());
            ++failures;
            continue;
        }
        std::printf("%s\n", path.c_str());
    }
    return failures == 0 ? 0 : 1;
}
