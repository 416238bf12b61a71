// SettingsPage: one page of the main window's page area. The main window creates every page
// hidden in the page area, shows exactly one at a time and tells all of them about the
// device, the record and the language through these operations.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include "profile/profile_record.h"
#include "ui/pages/page_host.h"

namespace vantor {

// Where a page draws its title (in TitleFont), in page coordinates of the normal layout.
inline constexpr QRect kPageTitleRect{20, 2, 400, 26};

class SettingsPage : public QWidget {
  public:
    // `background` is the main window's background under the page area, so a page blends
    // into the skin. `host` is the main window (or a test's stand-in) and outlives the page.
    SettingsPage(QWidget* parent, PageHost& host, const QImage& background)
        : QWidget(parent), host_(host), background_(background) {}

    // The controls for the current device section (which settings the model shows).
    virtual void PrepareForDevice() {}
    // Shows the values of `record` (null: no current record).
    virtual void LoadFromRecord(const ProfileFile* record) { (void)record; }
    // Writes the page's values into `record`.
    virtual void StoreToRecord(ProfileFile* record) { (void)record; }
    // Re-reads every language text.
    virtual void RefreshTexts() {}
    // Lays the page out at twice its size; the main window has already doubled its frame.
    virtual void Layout4K() {}

    // Changes made on the mouse, for the pages that show them.
    virtual void MarkCurrentLevel(int level) { (void)level; }
    virtual void SelectReportRateFromDevice(int rateCode) { (void)rateCode; }
    virtual void RefreshLighting() {}

    // True while the page holds the window (the macro editor while it records).
    virtual bool IsRecording() const { return false; }

    const QImage& PageBackground() const { return background_; }

    PageHost& Host() const { return host_; }

  protected:
    PageHost& host_;
    QImage background_;
};

}  // namespace vantor
