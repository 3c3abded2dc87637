#include "store/modNote.h"

#include "dialogs/MessageBox.h"
#include "dialogs/clsCommonDialog.h"
#include "shell/AtomicFile.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "shell/Settings.h"
#include "shell/modFileFunctions.h"
#include "store/NoteDocument.h"
#include "store/NoteFileLock.h"
#include "store/RecentFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace {
const char* const kSaveMainContext = "modNote: SaveMainNote";
const char* const kLoadContext = "modNote: LoadNote";
const char* const kSaveContext = "modNote: SaveNote";
const char* const kAppendContext = "modNote: AppendNote";
const char* const kTakeMainContext = "modNote: TakeMainNotes";
const char* const kProcessContext = "modNote: ProcessXMLData";

// A read fails in the file or its XML, or later in a note's numbers.
const char* readContext(const AppError& error)
{
    return NoteDocument::failedOnField(error) ? kProcessContext : kLoadContext;
}

// Save replaces a file and asks first; Append adds to one, so it has nothing to confirm.
enum class StoreDialog { Open, Save, Append };

// The log context of the operation that asked for the file.
const char* contextOf(StoreDialog kind)
{
    switch (kind) {
    case StoreDialog::Open:
        return kLoadContext;
    case StoreDialog::Save:
        return kSaveContext;
    case StoreDialog::Append:
        return kAppendContext;
    }
    return kLoadContext;
}

// Where the file dialogs open: the folder last chosen, while it is there; else the desktop,
// or the home folder for a user without one.
QString startFolder()
{
    QString last = modMain::ReadSetting(modMain::Setting::LastFolder, QString());
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString desktop = modFileFunctions::GetDesktopPath();
    return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

// The store's file dialog; the chosen path, or nothing when the user cancelled.
std::optional<QString> askForNoteFile(StoreDialog kind, QWidget* owner)
{
    clsCommonDialog dialog;
    dialog.setOwnerHandle(owner);
    dialog.setDialogTitle(QCoreApplication::translate("modNote", "Select a file: "));
    dialog.setDefaultExt(QStringLiteral("not"));
    dialog.setFilter(QCoreApplication::translate("modNote", "Jottex Note (*.not)") +
                     QStringLiteral("|*.not"));
    qint32 flags = clsCommonDialog::OFN_EXPLORER | clsCommonDialog::OFN_HIDEREADONLY;
    if (kind == StoreDialog::Save)
        flags |= clsCommonDialog::OFN_OVERWRITEPROMPT;
    dialog.setFlags(flags);
    dialog.setInitDir(startFolder());
    const qint32 result = kind == StoreDialog::Open ? dialog.ShowOpen() : dialog.ShowSave();
    if (result == 0)
        return std::nullopt;
    const QString path = dialog.FileName();
    // A folder that cannot be remembered is no reason to give up the file itself: logged only.
    const Result remembered =
        modMain::WriteSetting(modMain::Setting::LastFolder, modFileFunctions::GetFolder(path));
    if (remembered.failed())
        modMain::WriteLogEntry(QString::fromLatin1(contextOf(kind)), remembered.error());
    return path;
}

// The file named, or when there is no name the one the user picks.
std::optional<QString> namedOrChosen(const QString& fileName, StoreDialog kind, QWidget* owner)
{
    if (!fileName.isEmpty())
        return fileName;
    return askForNoteFile(kind, owner);
}

void logFailure(const char* context, const AppError& error)
{
    modMain::WriteLogEntry(QString::fromLatin1(context), error);
}

void report(modNote::WriteFailure* failure, const QString& path, const AppError& error)
{
    if (failure)
        *failure = modNote::WriteFailure{path, error};
}

// Bytes reach the disk only once they read back, so no save leaves a file the next load
// refuses.
Result writeChecked(const QString& path, const QByteArray& bytes)
{
    const Expected<QDomDocument> check = NoteDocument::parse(bytes);
    if (check.failed())
        return check.error();
    return AtomicFile::write(path, bytes);
}

// The note as a note file carries it: the note alone, without where this desktop shows it and
// its name in the notes folder, which only the main data file keeps.
NoteRecord asFileNote(NoteRecord record)
{
    record.OnAllWorkspaces = false;
    record.FolderId.clear();
    return record;
}

// What a save to a named file writes: a file of several notes keeps all but its first.
QByteArray bytesForNamedSave(const NoteRecord& record, const QString& path)
{
    if (modFileFunctions::FileExists(path)) {
        Expected<QDomDocument> existing = NoteDocument::parseFile(path);
        if (existing.ok() && NoteDocument::noteCount(existing.value()) > 1) {
            NoteDocument::replaceFirstNote(existing.value(), record);
            return NoteDocument::serialize(existing.value());
        }
    }
    return NoteDocument::wholeDocument(record);
}

// Appends to an existing file; failures are the caller's to log.
Result appendToFile(const NoteRecord& record, const QString& path)
{
    NoteFileLock lock(path);
    if (Result locked = lock.lock(); locked.failed())
        return locked;
    Expected<QDomDocument> document = NoteDocument::parseFile(path);
    if (document.failed())
        return document.error();
    NoteDocument::appendNote(document.value(), record);
    return writeChecked(path, NoteDocument::serialize(document.value()));
}

// A main data file that cannot be read is kept, under a name that says when, for rescue by
// hand; every later logout would otherwise fail on it and drop its notes.
void setAside(const char* context, AppError error, const QString& path)
{
    const QString base =
        path + QStringLiteral(".bad-") + Clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    if (QFile::rename(path, target))
        error.description += QStringLiteral(" The file was moved to ") + target + QLatin1Char('.');
    else
        error.description += QStringLiteral(" The file could not be moved aside.");
    logFailure(context, error);
}

// The main data file with records added; one that cannot be read is set aside first.
QByteArray mainFileWith(const NoteRecordList& records, const QString& path)
{
    if (!modFileFunctions::FileExists(path))
        return NoteDocument::noteList(records);
    Expected<QDomDocument> existing = NoteDocument::parseFile(path);
    if (existing.failed()) {
        setAside(kSaveMainContext, existing.error(), path);
        return NoteDocument::noteList(records);
    }
    for (const NoteRecord& record : records)
        NoteDocument::appendNote(existing.value(), record);
    return NoteDocument::serialize(existing.value());
}

// The main data file without the notes taken, when they are still where they were read.
Result withoutNotes(const QString& path, qsizetype from, const NoteRecordList& taken)
{
    Expected<QDomDocument> document = NoteDocument::parseFile(path);
    if (document.failed())
        return document.error();
    const Expected<NoteRecordList> now = NoteDocument::records(document.value(), path);
    if (now.failed())
        return now.error();
    if (from < 0 || now.value().size() < from + taken.size() ||
        now.value().sliced(from, taken.size()) != taken) {
        AppError error = AppError::fromNumber(ErrorNumber::PathFileAccessError);
        error.description +=
            QStringLiteral(" (%1 changed after it was read; it stays as it is)").arg(path);
        return error;
    }
    NoteDocument::removeNotes(document.value(), from, taken.size());
    return writeChecked(path, NoteDocument::serialize(document.value()));
}

NoteRecordList loadMainFile()
{
    const QString path = AppPaths::mainDataFile();
    // A data folder that takes no lock file (read-only) is read all the same: nothing can
    // change the file, and its notes are shown rather than hidden.
    NoteFileLock lock(path);
    if (Result locked = lock.lock(); locked.failed()) {
        logFailure(kLoadContext, locked.error());
        return {};
    }
    const Expected<NoteRecordList> records = NoteDocument::readRecordsFile(path);
    if (records.failed()) {
        if (records.error().number == ErrorNumber::FileNotFound)
            logFailure(kLoadContext, records.error());
        else
            setAside(readContext(records.error()), records.error(), path);
        return {};
    }
    return records.value();
}
} // namespace

QString modNote::SaveNote(const NoteRecord& record, const QString& fileName, QWidget* owner,
                          WriteFailure* failure)
{
    const auto path = namedOrChosen(fileName, StoreDialog::Save, owner);
    if (!path)
        return NoneSentinel;
    // Read and written under the file's lock: notes another writer adds meanwhile are kept.
    NoteFileLock lock(*path);
    Result written = lock.lock();
    if (written.ok()) {
        // A file chosen in the dialog is replaced whole, as the dialog asked; a named file is
        // the note's own, and may hold further notes.
        const NoteRecord note = asFileNote(record);
        const QByteArray bytes =
            fileName.isEmpty() ? NoteDocument::wholeDocument(note) : bytesForNamedSave(note, *path);
        // Written beside the old file and renamed over it, so a failed save never loses the
        // note that was there.
        written = writeChecked(*path, bytes);
    }
    if (written.failed()) {
        logFailure(kSaveContext, written.error());
        report(failure, *path, written.error());
        return NoneSentinel;
    }
    return *path;
}

QString modNote::AppendNote(const NoteRecord& record, const QString& fileName, QWidget* owner,
                            WriteFailure* failure)
{
    const auto path = namedOrChosen(fileName, StoreDialog::Append, owner);
    if (!path)
        return QString();
    if (!modFileFunctions::FileExists(*path)) {
        report(failure, *path,
               AppError{ErrorNumber::FileNotFound, {}, QStringLiteral("File not found: ") + *path});
        return QString();
    }
    if (const Result appended = appendToFile(asFileNote(record), *path); appended.failed()) {
        logFailure(kAppendContext, appended.error());
        report(failure, *path, appended.error());
    }
    return QString();
}

void modNote::SaveMainNote(const NoteRecord& record)
{
    // SaveMainNotes logs its own failure, and a single note's save has no one to tell.
    (void)SaveMainNotes({record});
}

Result modNote::SaveMainNotes(const NoteRecordList& records)
{
    if (records.isEmpty())
        return {};
    const QString path = AppPaths::mainDataFile();
    NoteFileLock lock(path);
    Result failure = lock.lock();
    if (failure.ok())
        failure = writeChecked(path, mainFileWith(records, path));
    if (failure.failed())
        logFailure(kSaveMainContext, failure.error());
    return failure;
}

Result modNote::TakeMainNotes(qsizetype from, const NoteRecordList& taken)
{
    const QString path = AppPaths::mainDataFile();
    NoteFileLock lock(path);
    Result failure = lock.lock();
    if (failure.ok())
        failure = withoutNotes(path, from, taken);
    if (failure.failed())
        logFailure(kTakeMainContext, failure.error());
    return failure;
}

Result modNote::WriteNoteList(const NoteRecordList& records, const QString& path)
{
    return WriteNoteDocument(NoteDocument::noteList(records), path);
}

Result modNote::WriteNoteDocument(const QByteArray& bytes, const QString& path)
{
    return writeChecked(path, bytes);
}

NoteRecordList modNote::LoadNote(bool isMain, const QString& fileName, QWidget* owner)
{
    if (isMain)
        return loadMainFile();
    const auto path = ChooseFileToOpen(fileName, owner);
    if (!path)
        return {};
    return ReadOutcome(NoteDocument::readRecordsFile(*path));
}

std::optional<QString> modNote::ChooseFileToOpen(const QString& fileName, QWidget* owner)
{
    auto path = namedOrChosen(fileName, StoreDialog::Open, owner);
    // A name typed into the dialog may name nothing: the user hears of it, as the dialog
    // itself would tell.
    if (path && fileName.isEmpty() && !QFileInfo::exists(*path)) {
        MessageBox::show(
            owner, QMessageBox::Warning, QCoreApplication::translate("modNote", "Open"),
            QCoreApplication::translate(
                "modNote", "%1\r\nFile not found.\r\nCheck the file name and try again.")
                .arg(QDir::toNativeSeparators(*path)),
            QMessageBox::Ok);
        return std::nullopt;
    }
    // Every way of opening a note file passes here: the search reaches its notes later.
    if (path && QFileInfo::exists(*path))
        RecentFiles::record(*path);
    return path;
}

NoteRecordList modNote::ReadOutcome(const Expected<NoteRecordList>& records)
{
    if (records.failed()) {
        logFailure(readContext(records.error()), records.error());
        return {};
    }
    return records.value();
}

NoteRecordList modNote::ProcessXMLData(const QDomDocument& document, const QString& path)
{
    const Expected<NoteRecordList> records = NoteDocument::records(document, path);
    if (records.failed()) {
        logFailure(kProcessContext, records.error());
        return {};
    }
    return records.value();
}
