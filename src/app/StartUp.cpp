#include "app/StartUp.h"

#include "dialogs/MessageBox.h"
#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "shell/modFileFunctions.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"
#include "window/frmMain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
// One pair of surrounding quotes goes; nothing else is parsed.
QString withoutSurroundingQuotes(QString text)
{
    if (text.startsWith(QLatin1Char('"')))
        text.remove(0, 1);
    if (text.endsWith(QLatin1Char('"')))
        text.chop(1);
    return text;
}

bool namesNoteFile(const QString& path)
{
    return path.right(3).compare(QLatin1String("not"), Qt::CaseInsensitive) == 0;
}

void openBlankNote()
{
    frmMain::create(NoteOrigin::NewNote)->show();
}

// The first note of a note file, tied to that file. False when the file gave no note.
bool openNoteFile(const QString& path)
{
    const NoteRecordList list = modNote::LoadNote(false, path);
    if (list.isEmpty())
        return false;
    NoteRecord record = list.first();
    record.FileName = path;
    frmMain::create(NoteOrigin::NoteFile, record)->show();
    return true;
}

// Every note of a list on the desktop, in list order, tied to no note file.
void openKeptNotes(NoteRecordList list)
{
    for (NoteRecord& record : list) {
        record.FileName.clear();
        frmMain::create(NoteOrigin::StoredRecord, record)->show();
    }
}

// The notes that waited and were not opened leave the file only when every one of them is
// elsewhere; the others are taken out of it, and the user hears once where the rest are.
void leaveUnopenedWaiting(const NoteRecordList& list, qsizetype unopened)
{
    const QString mainDataFile = AppPaths::mainDataFile();
    if (unopened == 0) {
        QFile::remove(mainDataFile);
        return;
    }
    // When the opened notes cannot be taken out, they stay in the file too: the next logout
    // keeps them twice rather than losing one.
    (void)modNote::TakeMainNotes(unopened, list.sliced(unopened));
    // Written again, so this run's recovery file is not older than the file it complements.
    NoteRecovery::writeNow();
    const QList<frmMain*> windows = frmMain::openWindows();
    MessageBox::show(windows.isEmpty() ? nullptr : windows.last(), QMessageBox::Information,
                     QStringLiteral("Jottex"),
                     QStringLiteral("The last logout kept %1 notes. The newest %2 are open; the "
                                    "other %3 were not opened and stay kept in %4. To see them, "
                                    "open that file in the Multi-Note Manager.")
                         .arg(list.size())
                         .arg(list.size() - unopened)
                         .arg(unopened)
                         .arg(QDir::toNativeSeparators(mainDataFile)),
                     QMessageBox::Ok);
}

// The notes that waited in the main data file, in file order, up to kMostNotesAtLogin of the
// newest. A file grown to thousands (a flood, a script) would otherwise open as many windows
// and keep the desktop busy for minutes. Each logout adds its notes at the end, so the last
// ones are the newest; the older ones wait in the file, and the next logout adds the open
// ones after them again, so the same notes open next time. The opened ones leave the file only when
// they are on the desktop and kept in this run's recovery file.
bool restoreWaitingNotes()
{
    const NoteRecordList list = modNote::LoadNote(true, QString());
    if (list.isEmpty())
        return false;
    const qsizetype unopened = std::max<qsizetype>(0, list.size() - modMain::kMostNotesAtLogin);
    openKeptNotes(list.sliced(unopened));
    NoteRecovery::writeNow();
    const QString mainDataFile = AppPaths::mainDataFile();
    const QDateTime kept = QFileInfo(mainDataFile).lastModified();
    leaveUnopenedWaiting(list, unopened);
    // What a run that ended abnormally kept before this logout is in the main data file too.
    for (const QString& orphan : NoteRecovery::orphanedFiles()) {
        if (QFileInfo(orphan).lastModified() <= kept)
            QFile::remove(orphan);
    }
    return true;
}

// The notes of runs that ended without a logout or a last close: a crash, a kill, the X
// server going away. Restored as the main data file's notes would be.
bool restoreOrphanedNotes()
{
    bool restored = false;
    for (const QString& orphan : NoteRecovery::orphanedFiles()) {
        const NoteRecordList list = modNote::LoadNote(false, orphan);
        if (list.isEmpty())
            continue;
        openKeptNotes(list);
        NoteRecovery::writeNow();
        QFile::remove(orphan);
        modMain::WriteLogEntry(QStringLiteral("modMain: Main"), QStringLiteral("0"),
                               QStringLiteral("Restored %1 notes of a run that did not end "
                                              "normally (process %2)")
                                   .arg(list.size())
                                   .arg(NoteRecovery::processOf(orphan)));
        restored = true;
    }
    return restored;
}
} // namespace

QString modMain::commandLineText(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments.join(QLatin1Char(' '));
}

modMain::Request modMain::commandLineRequest(const QString& commandLine)
{
    if (namesNoteFile(withoutSurroundingQuotes(commandLine)))
        return Request::Start;
    if (commandLine == QLatin1String("--help") || commandLine == QLatin1String("-h"))
        return Request::Help;
    if (commandLine == QLatin1String("--version"))
        return Request::Version;
    if (commandLine.startsWith(QLatin1String("--")))
        return Request::UnknownOption;
    return Request::Start;
}

QString modMain::usageText()
{
    return QStringLiteral(
        "Usage: jottex [FILE.not]\n"
        "       jottex --help | --version\n"
        "\n"
        "Sticky notes on the desktop. With FILE.not, opens the first note of that\n"
        "file; without it, brings back the notes kept at the last logout, or opens\n"
        "one blank note.\n"
        "\n"
        "  -h, --help     show this text and exit\n"
        "      --version  show the version and exit\n");
}

void modMain::Main(const QString& commandLine)
{
    bool opened = false;
    if (!commandLine.isEmpty()) {
        const QString path = withoutSurroundingQuotes(commandLine);
        opened = namesNoteFile(path) && openNoteFile(path);
    } else if (modFileFunctions::FileExists(AppPaths::mainDataFile())) {
        opened = restoreWaitingNotes();
    } else {
        opened = restoreOrphanedNotes();
    }
    if (!opened)
        openBlankNote();
}
