#include "app/SessionEnd.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "app/ToolkitPlatform.h"
#include "manager/NoteTray.h"
#include "manager/NotesFolderChoice.h"
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
// Exit codes: a wrong option, no display to show the notes on, and a running Jottex that did
// not take the command handed to it.
constexpr int kUsageError = 2;
constexpr int kNoDisplay = 1;
constexpr int kNoAnswer = 3;

// The notes of this start, or what the command asks of a program that was not running yet.
bool openFirstWindows(modMain::Request request, const QString& commandLine,
                      modMain::Starter starter)
{
    if (request == modMain::Request::Start)
        return modMain::Main(starter == modMain::Starter::User ? commandLine : QString(), starter);
    return modMain::Start(request, modMain::requestArgument(commandLine));
}
} // namespace

int main(int argc, char* argv[])
{
    const ToolkitPlatform platform;
    const QString commandLine = modMain::commandLineText(argc, argv);
    const modMain::Request request = modMain::commandLineRequest(commandLine);
    // Answered before the toolkit starts: no display is needed to ask for the version.
    switch (request) {
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
    case modMain::Request::NotesFolder:
        // Refused before anything changes, here or in a running Jottex.
        if (const QString problem =
                modMain::notesFolderProblem(modMain::requestArgument(commandLine));
            !problem.isEmpty()) {
            std::fputs(problem.toLocal8Bit().constData(), stderr);
            return kUsageError;
        }
        break;
    case modMain::Request::Start:
    case modMain::Request::NewNote:
    case modMain::Request::ShowAll:
    case modMain::Request::Toggle:
    case modMain::Request::Search:
        break;
    }
    const modMain::Starter starter = modMain::starterOf(argc, argv);
    // Handed over before the toolkit starts: quick, and needs no display of its own.
    SingleInstance instance(starter);
    if (instance.role() == SingleInstance::Role::Later) {
        if (instance.handOver(request, modMain::requestArgument(commandLine)))
            return 0;
        std::fprintf(stderr, "jottex: the running Jottex (%s) did not answer.\n",
                     instance.socketPath().toLocal8Bit().constData());
        return kNoAnswer;
    }
    // The toolkit would abort with a message about its plugins.
    if (const QString missing = platform.missingDisplay(); !missing.isEmpty()) {
        std::fputs(missing.toLocal8Bit().constData(), stderr);
        return kNoDisplay;
    }
    // The toolkit sees only the program's name, and a session manager's "-session <id>", which
    // it takes to rejoin that session: "-reverse" or a note file called "-name.not" is the
    // user's argument, not a toolkit option to act on and remove.
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
    // The notes are the program, hidden ones too: closing the last window that shows (the search
    // window over hidden notes) must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    frmMain::setQuitWhenLastNoteCloses(true);
    NoteHooks::setShowManager([](frmMain& owner) { frmNoteManager::showFor(&owner); });
    NoteHooks::setChooseNotesFolder([](frmMain& owner) { NotesFolderChoice::ask(&owner); });
    const std::unique_ptr<NoteTray> tray = NoteTray::install(&SessionEnd::endSession);
    instance.serve(&modMain::Perform);
    // A session manager's start with no note to bring back has nothing to show.
    if (!openFirstWindows(request, commandLine, starter))
        return 0;
    return QApplication::exec();
}
