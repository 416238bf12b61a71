// A program folder of plain one-colour skin pictures for the pop-up window tests, with the
// English texts loaded, so the tests do not depend on the look of the shipped skin.
#pragma once

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <string>

#include "base/texts.h"
#include "tests/support/temp_dir.h"

namespace vantor::test {

inline void WriteSkinPicture(const std::string& programDir, const QString& name, int width,
                             int height, QColor colour) {
    const QString path = QString::fromStdString(programDir + "skins/") + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    image.save(path, "PNG");
}

class PopupTestSkin {
  public:
    PopupTestSkin() : env_("VANTOR_PROGRAM_DIR", dir_.path()) {
        const std::string& d = dir_.path();
        WriteSkinPicture(d, "msg_nr.png", 436, 150, QColor(30, 32, 38));
        WriteSkinPicture(d, "msg2_nr.png", 396, 340, QColor(30, 32, 38));
        WriteSkinPicture(d, "button2_nr.png", 80, 27, QColor(60, 120, 200));
        WriteSkinPicture(d, "exit_nr.png", 25, 25, QColor(200, 60, 60));
        WriteSkinPicture(d, "Check_nr.png", 11, 11, QColor(90, 90, 90));
        WriteSkinPicture(d, "Check_dn.png", 11, 11, QColor(0, 200, 0));
        WriteSkinPicture(d, "progress_nr.png", 530, 150, QColor(20, 20, 20));
        WriteSkinPicture(d, "progress_ov.png", 530, 150, QColor(0, 180, 255));
        WriteSkinPicture(d, "macro/open.png", 16, 16, QColor(220, 200, 90));
        WriteSkinPicture(d, "macro/close.png", 16, 16, QColor(180, 160, 60));
        LoadTexts(SourceDataDir() + "en/text.xml");
    }
    const std::string& ProgramDir() const { return dir_.path(); }

  private:
    TempDir dir_;
    ScopedEnv env_;
};

}  // namespace vantor::test
