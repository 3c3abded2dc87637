#include "app/SessionEnd.h"
#include "app/StartUp.h"
#include "app/ToolkitPlatform.h"
#include "manager/NoteTray.h"
#include "manager/frmNoteManager.h"
#include "richtext/RichText.h"
#include "shell/Translations.h"
#include "shell/version.h"
#include "window/Artwork.h"
#include "window/CaretBlink.h"
#include "window/NoteHooks.h"
#include "window/frmMain.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace {
// Exit codes: a wrong option, and no display to show the notes on.
constexpr int kUsageError = 2;
constexpr int kNoDisplay = 1;
} // namespace

int main(int argc, char* argv[])
{
    const ToolkitPlatform platform;
    const QString commandLine = modMain::commandLineText(argc, argv);
    // Answered before the toolkit starts: no display is needed to ask for the version.
    switch (modMain::commandLineRequest(commandLine)) {
    case modMain::Request::Help:
        std::fputs(modMain::usageText().toLocal8Bit().constData(), stdout);
        return 0;
    case modMain::Request::Version:
        std::printf("jottex %s\n", Version::Text);
        return 0;
    case modMain::Request::UnknownOption:
        std::fprintf(stderr, "jottex: unknown option %s\n%s", commandLine.toLocal8Bit().constData(),
                     modMain::usageText().toLocal8Bit().constData());
        return kUsageError;
    case modMain::Request::Start:
        break;
    }
    // The toolkit would abort with a message about its plugins.
    if (const QString missing = platform.missingDisplay(); !missing.isEmpty()) {
        std::fputs(missing.toLocal8Bit().constData(), stderr);
        return kNoDisplay;
    }
    // The toolkit sees only the program's name, and a session manager's "-session <id>", which
    // it takes to rejoin that session: "-reverse" or a note file called "-name.not" is the
    // user's argument, not a toolkit option to act on and remove.
    const modMain::Starter starter = modMain::starterOf(argc, argv);
    int toolkitArgc = starter == modMain::Starter::SessionManager ? argc : 1;
    QApplication app(toolkitArgc, argv);
    platform.restoreUserEnvironment();
    QApplication::setApplicationName(QStringLiteral("Jottex"));
    QApplication::setOrganizationName(QStringLiteral("Ulmar"));
    Translations::install();
    QApplication::setWindowIcon(Artwork::appIcon());
    RichText::installFontSubstitutes();
    SessionEnd::install();
    CaretBlink::install();
    frmMain::setQuitWhenLastNoteCloses(true);
    NoteHooks::setShowManager([](frmMain& owner) { frmNoteManager::showFor(&owner); });
    const std::unique_ptr<NoteTray> tray = NoteTray::install(&SessionEnd::endSession);
    // A session manager's start with no note to bring back has nothing to show.
    if (!modMain::Main(starter == modMain::Starter::User ? commandLine : QString(), starter))
        return 0;
    return QApplication::exec();
}
