#include "app/StartUp.h"

#include "dialogs/MessageBox.h"
#include "manager/AllNotes.h"
#include "manager/FolderNotes.h"
#include "manager/NotesFolderChoice.h"
#include "shell/AtomicFile.h"
#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "shell/modFileFunctions.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"
#include "window/frmMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>

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

// The options that are a whole command line; a few may be followed by a blank and their text.
enum class OptionText { None, MayFollow };
struct Option {
    QLatin1StringView word;
    modMain::Request request;
    OptionText text = OptionText::None;
};
constexpr std::array kOptions{
    Option{QLatin1StringView("--help"), modMain::Request::Help},
    Option{QLatin1StringView("-h"), modMain::Request::Help},
    Option{QLatin1StringView("--version"), modMain::Request::Version},
    Option{QLatin1StringView("--new"), modMain::Request::NewNote},
    Option{QLatin1StringView("--show-all"), modMain::Request::ShowAll},
    Option{QLatin1StringView("--toggle"), modMain::Request::Toggle},
    Option{QLatin1StringView("--search"), modMain::Request::Search, OptionText::MayFollow},
    Option{QLatin1StringView("--notes-folder"), modMain::Request::NotesFolder,
           OptionText::MayFollow},
};

// The option the command line starts with, followed by a blank and its text, which may end in
// "not" as any word may; null when there is none.
const Option* textOption(const QString& commandLine)
{
    for (const Option& option : kOptions) {
        if (option.text == OptionText::MayFollow && commandLine.startsWith(option.word) &&
            commandLine.mid(option.word.size(), 1) == QLatin1String(" "))
            return &option;
    }
    return nullptr;
}

// A folder as the running program can find it from its own working folder; empty stays empty.
QString absoluteFolder(const QString& folder)
{
    if (folder.trimmed().isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

// The note opened last, the owner of a box that no note asked for; null when none is open.
frmMain* newestWindow()
{
    const QList<frmMain*> windows = frmMain::openWindows();
    return windows.isEmpty() ? nullptr : windows.last();
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

// Every note of a list on the desktop, in list order, tied to no note file, but for those open
// from the notes folder already: the last logout or a crashed run kept them there too. How many
// opened.
qsizetype openKeptNotes(NoteRecordList list)
{
    qsizetype opened = 0;
    for (NoteRecord& record : list) {
        if (!FolderNotes::shouldOpen(record))
            continue;
        record.FileName.clear();
        frmMain::create(NoteOrigin::StoredRecord, record)->show();
        ++opened;
    }
    return opened;
}

// The waiting notes that were opened leave the main data file; those not opened stay there.
void takeOpenedFromWaiting(const NoteRecordList& list, qsizetype unopened)
{
    if (unopened == 0) {
        QFile::remove(AppPaths::mainDataFile());
        return;
    }
    // When the opened notes cannot be taken out, they stay in the file too: the next logout
    // keeps them twice rather than losing one.
    (void)modNote::TakeMainNotes(unopened, list.sliced(unopened));
}

// The user hears once, after every kept note is back, where the notes not opened are.
void tellUnopenedWaiting(qsizetype kept, qsizetype unopened)
{
    if (unopened == 0)
        return;
    MessageBox::show(newestWindow(), QMessageBox::Information, QStringLiteral("Jottex"),
                     QCoreApplication::translate(
                         "StartUp", "The last logout kept %1 notes. The newest %2 are open; the "
                                    "other %3 were not opened and stay kept in %4. To see them, "
                                    "open that file in the Multi-Note Manager.")
                         .arg(kept)
                         .arg(kept - unopened)
                         .arg(unopened)
                         .arg(QDir::toNativeSeparators(AppPaths::mainDataFile())),
                     QMessageBox::Ok);
}

// The notes that waited in the main data file, in file order, except the unopened oldest. A
// file grown to thousands (a flood, a script) would otherwise open as many windows and keep
// the desktop busy for minutes. Each logout adds its notes at the end, so the last ones are
// the newest, and the next logout adds the open ones after the waiting ones again, so the
// same notes open next time. The opened ones leave the file only when they are kept in this
// run's recovery file, or open from the notes folder.
bool restoreWaitingNotes(const NoteRecordList& list, qsizetype unopened)
{
    if (list.isEmpty())
        return false;
    const qsizetype opened = openKeptNotes(list.sliced(unopened));
    if (NoteRecovery::writeNow().ok())
        takeOpenedFromWaiting(list, unopened);
    return opened > 0;
}

// Two records hold the same note when all that a note file keeps of them is the same.
bool sameNote(const NoteRecord& a, const NoteRecord& b)
{
    return a.Data == b.Data && a.Color == b.Color && a.TimeDate == b.TimeDate && a.Left == b.Left &&
           a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
}

// The records of list that are not in kept, which loses each one found: a note kept twice in
// one place is two notes.
NoteRecordList notesNotIn(const NoteRecordList& list, NoteRecordList& kept)
{
    NoteRecordList rest;
    for (const NoteRecord& record : list) {
        const auto found = std::find_if(kept.cbegin(), kept.cend(), [&](const NoteRecord& other) {
            return sameNote(record, other);
        });
        if (found != kept.cend())
            kept.erase(found);
        else
            rest.append(record);
    }
    return rest;
}

// The notes of one orphaned recovery file this run claimed, except those kept elsewhere
// already. The file goes once they are in this run's own recovery file.
bool restoreOrphan(const QString& claimed, qint64 process, NoteRecordList& alreadyKept)
{
    const Expected<NoteRecordList> kept = NoteRecovery::read(claimed);
    if (kept.failed()) {
        NoteRecovery::setAside(claimed, kept.error());
        return false;
    }
    const NoteRecordList fresh = notesNotIn(kept.value(), alreadyKept);
    alreadyKept.append(fresh);
    const qsizetype opened = openKeptNotes(fresh);
    const qsizetype known = kept.value().size() - opened;
    if (opened > 0) {
        modMain::WriteLogEntry(QStringLiteral("modMain: Main"), QStringLiteral("0"),
                               QStringLiteral("Restored %1 notes of a run that did not end "
                                              "normally (process %2)")
                                   .arg(opened)
                                   .arg(process));
    }
    if (opened == 0 || NoteRecovery::writeNow().ok()) {
        NoteRecovery::release(claimed, QStringLiteral("%1 of its notes are restored in this run, "
                                                      "%2 were kept in jottex.dat, another "
                                                      "recovery file or the notes folder")
                                           .arg(opened)
                                           .arg(known));
    }
    return opened > 0;
}

// The notes of runs that ended without a logout or a last close: a crash, a kill, the X
// server going away, a logout that could not write the main data file. Each file is claimed
// first, so that two copies starting together restore it once; notes the main data file
// (waiting) holds already are not restored twice.
bool restoreOrphanedNotes(NoteRecordList alreadyKept)
{
    bool restored = false;
    for (const QString& orphan : NoteRecovery::orphanedFiles()) {
        const qint64 process = NoteRecovery::processOf(orphan);
        const QString claimed = NoteRecovery::claim(orphan);
        if (!claimed.isEmpty() && restoreOrphan(claimed, process, alreadyKept))
            restored = true;
    }
    return restored;
}

// Temporary files of saves whose writer was killed half-way, in this program's own folders and
// beside the note file the command line names; a save in progress in another copy stays.
void removeAbandonedSaves(const QString& noteFile)
{
    AtomicFile::removeLeftoversIn(AppPaths::appDirectory());
    AtomicFile::removeLeftoversIn(QFileInfo(AppPaths::hiveFile()).absolutePath());
    AtomicFile::removeLeftovers(AppPaths::autostartFile());
    if (!noteFile.isEmpty())
        AtomicFile::removeLeftovers(noteFile);
}

// A folder in the main data file's place fails every logout, which keeps the notes in the
// recovery file but can tell no one then: this start does.
void warnOfBlockedMainFile()
{
    if (QFileInfo(AppPaths::mainDataFile()).isDir()) {
        modMain::ReportUnwritableDataFolder(
            QCoreApplication::translate(
                "StartUp", "a folder named jottex.dat stands where its notes file belongs"),
            NoteRecovery::path());
    }
}

// The notes of the notes folder, then those waiting in the main data file, then those of runs
// that ended abnormally.
bool restoreKeptNotes()
{
    warnOfBlockedMainFile();
    // First, so that a note the folder holds opens from its file and not a second time from a
    // copy the last logout or a crashed run kept.
    const bool restoredFolder = FolderNotes::openAtStart();
    const NoteRecordList waiting = modFileFunctions::FileExists(AppPaths::mainDataFile())
                                       ? modNote::LoadNote(true, QString())
                                       : NoteRecordList();
    const qsizetype unopened = std::max<qsizetype>(0, waiting.size() - modMain::kMostNotesAtLogin);
    const bool restoredWaiting = restoreWaitingNotes(waiting, unopened);
    const bool restoredOrphans = restoreOrphanedNotes(waiting);
    tellUnopenedWaiting(waiting.size(), unopened);
    return restoredFolder || restoredWaiting || restoredOrphans;
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
    if (const Option* option = textOption(commandLine))
        return option->request;
    if (namesNoteFile(withoutSurroundingQuotes(commandLine)))
        return Request::Start;
    for (const Option& option : kOptions) {
        if (commandLine == option.word)
            return option.request;
    }
    if (commandLine.startsWith(QLatin1String("--")))
        return Request::UnknownOption;
    return Request::Start;
}

QString modMain::requestArgument(const QString& commandLine)
{
    if (const Option* option = textOption(commandLine)) {
        const QString text = commandLine.mid(option->word.size() + 1);
        return option->request == Request::NotesFolder ? absoluteFolder(text) : text.trimmed();
    }
    if (commandLineRequest(commandLine) != Request::Start)
        return {};
    const QString path = withoutSurroundingQuotes(commandLine);
    return namesNoteFile(path) ? QFileInfo(path).absoluteFilePath() : commandLine;
}

QString modMain::notesFolderProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || info.isDir())
        return {};
    const QString shown = QDir::toNativeSeparators(folder);
    if (!info.exists())
        return QStringLiteral("jottex: the notes folder %1 does not exist.\n").arg(shown);
    return QStringLiteral("jottex: %1 is not a folder, so it cannot be the notes folder.\n")
        .arg(shown);
}

modMain::Starter modMain::starterOf(int argc, const char* const* argv)
{
    constexpr int kSessionArgc = 3; // the program, "-session", the id
    if (argc != kSessionArgc || qstrcmp(argv[1], "-session") != 0 ||
        namesNoteFile(withoutSurroundingQuotes(commandLineText(argc, argv))))
        return Starter::User;
    return Starter::SessionManager;
}

QString modMain::usageText()
{
    return QStringLiteral(
        "Usage: jottex [FILE.not]\n"
        "       jottex --new | --show-all | --toggle | --search [TEXT]\n"
        "       jottex --notes-folder [DIR]\n"
        "       jottex --help | --version\n"
        "\n"
        "Sticky notes on the desktop. With FILE.not, opens the first note of that\n"
        "file; without it, brings back the notes kept at the last logout, or opens\n"
        "one blank note. One Jottex runs in a session: a later start hands its\n"
        "command to it (FILE.not opens there, no argument opens a new note) and\n"
        "exits.\n"
        "\n"
        "      --new            open a new note\n"
        "      --show-all       show and raise every note\n"
        "      --toggle         hide every note, or show them again\n"
        "      --search [TEXT]  open the search window, searching for TEXT\n"
        "      --notes-folder [DIR]\n"
        "                       keep every note as a file in the folder DIR, which a\n"
        "                       sync tool (Syncthing, Nextcloud, Dropbox) can carry to\n"
        "                       other computers; without DIR, stop using one\n"
        "  -h, --help           show this text and exit\n"
        "      --version        show the version and exit\n"
        "\n"
        "Without a running Jottex, the five commands start it first.\n"
        "\n"
        "Exit status: 0 done or handed over, 1 no X display, 2 wrong option,\n"
        "3 the running Jottex did not answer.\n");
}

namespace {
// The notes of a start before any blank one: the note file's, or the kept ones. False when it
// opened none.
bool openStartNotes(const QString& commandLine)
{
    NoteRecovery::setAsideEarlierRun();
    const QString path = withoutSurroundingQuotes(commandLine);
    removeAbandonedSaves(namesNoteFile(path) ? path : QString());
    if (!commandLine.isEmpty())
        return namesNoteFile(path) && openNoteFile(path);
    return restoreKeptNotes();
}
} // namespace

bool modMain::Main(const QString& commandLine, Starter starter)
{
    bool opened = openStartNotes(commandLine);
    if (!opened && starter == Starter::User) {
        openBlankNote();
        opened = true;
    }
    return opened;
}

namespace {
// The folder becomes the setting first, so that this start is a plain start with it. A folder
// that cannot be used is told once the notes are open.
bool startWithFolder(const QString& folder)
{
    const Result stored = NotesFolderChoice::storeForStart(folder);
    const bool opened = modMain::Main(QString());
    if (stored.failed())
        NotesFolderChoice::tellFailure(newestWindow(), folder, stored.error());
    return opened;
}
} // namespace

bool modMain::Start(Request request, const QString& argument)
{
    switch (request) {
    case Request::NewNote:
        // The new note comes beside the waiting ones, not instead of a blank one.
        (void)openStartNotes(QString());
        AllNotes::newNote();
        return true;
    case Request::Search:
        (void)Main(QString());
        AllNotes::search(argument);
        return true;
    case Request::NotesFolder:
        return startWithFolder(argument);
    case Request::Start:
    case Request::ShowAll:
    case Request::Toggle:
    case Request::Help:
    case Request::Version:
    case Request::UnknownOption:
        break;
    }
    return Main(QString());
}

namespace {
// A note opened for a key the user pressed elsewhere takes the keyboard: the user means to
// type into it.
void activateNewest()
{
    frmMain* newest = newestWindow();
    if (!newest)
        return;
    newest->raise();
    newest->activateWindow();
}

void openHandedOver(const QString& argument)
{
    if (namesNoteFile(argument)) {
        AtomicFile::removeLeftovers(argument);
        if (openNoteFile(argument))
            return;
    }
    AllNotes::newNote();
}
} // namespace

void modMain::Perform(Request request, const QString& argument)
{
    switch (request) {
    case Request::Start:
        openHandedOver(argument);
        activateNewest();
        return;
    case Request::NewNote:
        AllNotes::newNote();
        activateNewest();
        return;
    case Request::ShowAll:
        AllNotes::showAll();
        return;
    case Request::Toggle:
        AllNotes::toggle();
        return;
    case Request::Search:
        AllNotes::search(argument);
        return;
    case Request::NotesFolder:
        (void)NotesFolderChoice::switchTo(newestWindow(), argument);
        return;
    case Request::Help:
    case Request::Version:
    case Request::UnknownOption:
        return;
    }
}
