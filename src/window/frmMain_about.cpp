#include "shell/Paths.h"
#include "shell/Seams.h"
#include "shell/Settings.h"
#include "shell/WindowUtils.h"
#include "window/NoteHooks.h"
#include "window/frmAbout.h"
#include "window/frmMain.h"

#include <QFileInfo>
#include <QUrl>

namespace {
// The website setting as an address: a local page by its path, anything else as written.
QUrl websiteUrl(const QString& setting)
{
    const QString text = setting.trimmed();
    if (QFileInfo(text).isAbsolute())
        return QUrl::fromLocalFile(text);
    return QUrl::fromUserInput(text);
}
} // namespace

void frmMain::mnuMulitNote_Click()
{
    // Out of the band first, so the manager is not hidden behind a note that stays on top.
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    NoteHooks::showManager(*this);
    setOnTopFromRecord();
}

void frmMain::mnuAbout_Click()
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    frmAbout::showModal(this);
    setOnTopFromRecord();
}

void frmMain::mnuUlmar_Click()
{
    // A desktop that cannot open the page has nothing the user could act on: ignored.
    QString page = modMain::ReadSetting(modMain::Setting::Website);
    if (page.trimmed().isEmpty())
        page = AppPaths::installedDataFile(QStringLiteral("about.html"));
    const QUrl url = websiteUrl(page);
    if (url.isValid())
        (void)Seams::current().openUrl(url);
}
