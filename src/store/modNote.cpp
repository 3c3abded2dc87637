#include "store/modNote.h"

#include "dialogs/clsCommonDialog.h"
#include "shell/AtomicFile.h"
#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "shell/Settings.h"
#include "shell/modFileFunctions.h"
#include "store/NoteDocument.h"

#include <optional>

namespace {
enum class StoreDialog { Open, Save };

// The store's file dialog; the chosen path, or nothing when the user cancelled.
std::optional<QString> askForNoteFile(StoreDialog kind, QWidget* owner)
{
    clsCommonDialog dialog;
    dialog.setOwnerHandle(owner);
    dialog.setDialogTitle(QStringLiteral("Select a file: "));
    dialog.setDefaultExt(QStringLiteral("not"));
    dialog.setFilter(QStringLiteral("Jottex Note (*.not)|*.not"));
    dialog.setFlags(clsCommonDialog::OFN_EXPLORER | clsCommonDialog::OFN_HIDEREADONLY);
    dialog.setInitDir(
        modMain::ReadSetting(modMain::Setting::LastFolder, modFileFunctions::GetDesktopPath()));
    const qint32 result = kind == StoreDialog::Open ? dialog.ShowOpen() : dialog.ShowSave();
    if (result == 0)
        return std::nullopt;
    const QString path = dialog.FileName();
    // A folder that cannot be remembered is no reason to give up the save itself.
    (void)modMain::WriteSetting(modMain::Setting::LastFolder, modFileFunctions::GetFolder(path));
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

// Appends to an existing file; failures are the caller's to log.
Failure appendToFile(const NoteRecord& record, const QString& path)
{
    Expected<QDomDocument> document = NoteDocument::parseFile(path);
    if (!document)
        return document.error();
    if (document.value().documentElement().isNull())
        return AppError::fromNumber(ErrorNumber::ObjectNotSet);
    NoteDocument::appendNote(document.value(), record);
    return AtomicFile::write(path, NoteDocument::serialize(document.value()));
}
} // namespace

QString modNote::SaveNote(const NoteRecord& record, const QString& fileName, QWidget* owner)
{
    const auto path = namedOrChosen(fileName, StoreDialog::Save, owner);
    if (!path)
        return NoneSentinel;
    // Written beside the old file and renamed over it, so a failed save never loses the note
    // that was there.
    if (Failure failure = AtomicFile::write(*path, NoteDocument::wholeDocument(record))) {
        logFailure("modNote: SaveNote", *failure);
        return NoneSentinel;
    }
    return *path;
}

QString modNote::AppendNote(const NoteRecord& record, const QString& fileName, QWidget* owner)
{
    const auto path = namedOrChosen(fileName, StoreDialog::Save, owner);
    if (!path || !modFileFunctions::FileExists(*path))
        return QString();
    if (Failure failure = appendToFile(record, *path))
        logFailure("modNote: AppendNote", *failure);
    return QString();
}

void modNote::SaveMainNote(const NoteRecord& record)
{
    const QString path = AppPaths::mainDataFile();
    if (modFileFunctions::FileExists(path)) {
        AppendNote(record, path);
        return;
    }
    if (Failure failure = AtomicFile::write(path, NoteDocument::wholeDocument(record)))
        logFailure("modNote: SaveMainNote", *failure);
}

NoteRecordList modNote::LoadNote(bool isMain, const QString& fileName, QWidget* owner)
{
    const auto path =
        isMain ? AppPaths::mainDataFile() : namedOrChosen(fileName, StoreDialog::Open, owner);
    if (!path)
        return {};
    const Expected<QDomDocument> document = NoteDocument::parseFile(*path);
    if (!document) {
        logFailure("modNote: LoadNote", document.error());
        return {};
    }
    return ProcessXMLData(document.value(), *path);
}

NoteRecordList modNote::ProcessXMLData(const QDomDocument& document, const QString& path)
{
    const Expected<NoteRecordList> records = NoteDocument::records(document, path);
    if (!records) {
        logFailure("modNote: ProcessXMLData", records.error());
        return {};
    }
    return records.value();
}
