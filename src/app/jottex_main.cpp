#include "app/SessionEnd.h"
#include "app/StartUp.h"
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

int main(int argc, char* argv[])
{
    // Notes place themselves and stay on top, which Wayland does not allow a client to do;
    // run through XWayland unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

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
        return 2;
    case modMain::Request::Start:
        break;
    }
    // The toolkit sees only the program's name: "-reverse" or a note file called
    // "-name.not" is the user's argument, not a toolkit option to act on and remove.
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Jottex"));
    QApplication::setOrganizationName(QStringLiteral("Ulmar"));
    Translations::install();
    QApplication::setWindowIcon(Artwork::appIcon());
    RichText::installFontSubstitutes();
    SessionEnd::install();
    CaretBlink::install();
    frmMain::setQuitWhenLastNoteCloses(true);
    NoteHooks::setShowManager([](frmMain& owner) { frmNoteManager::showFor(&owner); });
    modMain::Main(commandLine);
    return QApplication::exec();
}
