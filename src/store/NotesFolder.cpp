#include "store/NotesFolder.h"

#include "shell/AtomicFile.h"
#include "shell/Settings.h"
#include "store/NoteDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <array>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kSuffix = QStringLiteral(".not");
const QString kTrash = QStringLiteral(".trash");
const QString kMarker = QStringLiteral(".jottex-folder");
// Jottex's own conflict copies: "<id>.conflict-<time>-<random>".
const QString kOwnConflict = QStringLiteral(".conflict-");

// What the sync engines put into the names of the conflict files they make.
constexpr std::array kConflictMarks{
    ".sync-conflict-", // Syncthing: "<name>.sync-conflict-<date>-<time>-<device>.not"
    "conflicted copy", // Nextcloud "<name> (conflicted copy <date>).not", Dropbox
                       // "<name> (<machine>'s conflicted copy <date>).not"
};

// Names the engines and editors give files on their way in or out: never a note.
bool isTransient(const QString& fileName)
{
    return fileName.startsWith(QLatin1Char('.')) || fileName.startsWith(QLatin1Char('~'));
}

AppError folderError(int number, const QString& folder)
{
    AppError error = AppError::fromNumber(number, QStringLiteral("NotesFolder"));
    error.description += QStringLiteral(": ") + QDir::toNativeSeparators(folder);
    return error;
}
} // namespace

QString NotesFolder::configured()
{
    const QString folder = modMain::ReadSetting(modMain::Setting::NotesFolder);
    return folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
}

Result NotesFolder::configure(const QString& folder)
{
    const QString absolute =
        folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
    return modMain::WriteSetting(modMain::Setting::NotesFolder, absolute);
}

QString NotesFolder::newId()
{
    return QStringLiteral("%1").arg(QRandomGenerator::system()->generate64(), 16, 16,
                                    QLatin1Char('0'));
}

QString NotesFolder::conflictId(const QString& id, const QDateTime& when)
{
    const QString random = QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(0x10000), 4,
                                                    16, QLatin1Char('0'));
    return id + kOwnConflict + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QLatin1Char('-') +
           random;
}

NotesFolder::FileKind NotesFolder::kindOf(const QString& fileName)
{
    if (isTransient(fileName) || !fileName.endsWith(kSuffix, Qt::CaseInsensitive) ||
        fileName.size() == kSuffix.size())
        return FileKind::Ignored;
    return isConflictCopy(idOf(fileName)) ? FileKind::ConflictCopy : FileKind::Note;
}

bool NotesFolder::isConflictCopy(const QString& id)
{
    if (id.contains(kOwnConflict))
        return true;
    for (const char* mark : kConflictMarks) {
        if (id.contains(QLatin1String(mark), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString NotesFolder::pathOf(const QString& folder, const QString& id)
{
    return folder + QLatin1Char('/') + id + kSuffix;
}

QString NotesFolder::idOf(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    return name.endsWith(kSuffix, Qt::CaseInsensitive) ? name.chopped(kSuffix.size()) : name;
}

QString NotesFolder::markerPath(const QString& folder)
{
    return folder + QLatin1Char('/') + kMarker;
}

Result NotesFolder::adopt(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return folderError(ErrorNumber::PathNotFound, folder);
    QFile marker(markerPath(folder));
    if (marker.exists())
        return {};
    errno = 0;
    if (!marker.open(QIODevice::WriteOnly))
        return AppError::fromErrno(errno != 0 ? errno : EACCES, QStringLiteral("NotesFolder"));
    marker.write("Jottex keeps its notes in this folder, one file <id>.not for each.\n");
    return {};
}

Expected<QList<NotesFolder::Entry>> NotesFolder::scan(const QString& folder)
{
    // An unmounted disk leaves its mount point behind, empty: without the marker the folder
    // is not there, rather than every note removed.
    if (!QFileInfo::exists(markerPath(folder)))
        return folderError(ErrorNumber::PathNotFound, folder);
    QDir dir(folder);
    if (!dir.isReadable())
        return folderError(ErrorNumber::PermissionDenied, folder);
    QList<Entry> entries;
    const QStringList files = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    entries.reserve(files.size());
    for (const QString& name : files) {
        if (kindOf(name) == FileKind::Ignored)
            continue;
        entries.append(entryOf(idOf(name), folder + QLatin1Char('/') + name));
    }
    return entries;
}

NotesFolder::Entry NotesFolder::entryOf(const QString& id, const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {id, path, {}, -1, 0};
    const qint64 ms = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
    return {id, path, QDateTime::fromMSecsSinceEpoch(ms), qint64(status.st_size),
            quint64(status.st_ino)};
}

Expected<QByteArray> NotesFolder::readBytes(const QString& path)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return AppError::fromErrno(errno != 0 ? errno : ENOENT, QStringLiteral("NotesFolder"));
    if (file.size() > NoteDocument::kMaxFileBytes)
        return AppError::fromNumber(ErrorNumber::InvalidFileFormat, QStringLiteral("NotesFolder"));
    return file.readAll();
}

Expected<NoteRecord> NotesFolder::fromBytes(const QByteArray& bytes, const QString& id)
{
    const Expected<NoteRecordList> records = NoteDocument::readRecords(bytes, QString());
    if (records.failed())
        return records.error();
    if (records.value().isEmpty())
        return AppError::fromNumber(ErrorNumber::InvalidFileFormat, QStringLiteral("NotesFolder"));
    NoteRecord record = records.value().first();
    record.FolderId = id;
    record.FileName.clear();
    record.OnAllWorkspaces = false;
    return record;
}

Expected<NoteRecord> NotesFolder::read(const QString& path)
{
    const Expected<QByteArray> bytes = readBytes(path);
    if (bytes.failed())
        return bytes.error();
    return fromBytes(bytes.value(), idOf(path));
}

NoteRecord NotesFolder::asFileNote(NoteRecord record)
{
    record.OnAllWorkspaces = false;
    record.FolderId.clear();
    record.FileName.clear();
    return NoteDocument::readBack(record);
}

QByteArray NotesFolder::bytesOf(const NoteRecord& record)
{
    return NoteDocument::wholeDocument(asFileNote(record));
}

Result NotesFolder::write(const QString& folder, const NoteRecord& record)
{
    return writeBytes(folder, record.FolderId, bytesOf(record));
}

Result NotesFolder::writeBytes(const QString& folder, const QString& id, const QByteArray& bytes)
{
    if (!QFileInfo::exists(markerPath(folder)))
        return folderError(ErrorNumber::PathNotFound, folder);
    return AtomicFile::write(pathOf(folder, id), bytes);
}

Result NotesFolder::moveToTrash(const QString& folder, const QString& id)
{
    const QString from = pathOf(folder, id);
    if (!QFileInfo::exists(from))
        return {};
    const QString trash = folder + QLatin1Char('/') + kTrash;
    if (!QDir().mkpath(trash))
        return folderError(ErrorNumber::PathNotFound, trash);
    QString to = pathOf(trash, id);
    // A note closed, taken back and closed again keeps both versions.
    for (int copy = 2; QFileInfo::exists(to); ++copy)
        to = pathOf(trash, id + QStringLiteral(" (%1)").arg(copy));
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return AppError::fromErrno(errno, QStringLiteral("NotesFolder"));
    // Its days in the trash count from now, not from the note's last change.
    QFile moved(to);
    if (moved.open(QIODevice::ReadWrite))
        moved.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return {};
}

void NotesFolder::emptyOldTrash(const QString& folder, const QDateTime& now)
{
    const QDateTime oldest = now.addDays(-kTrashDays);
    const QFileInfoList files =
        QDir(folder + QLatin1Char('/') + kTrash).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files) {
        if (file.lastModified() < oldest)
            QFile::remove(file.filePath());
    }
}

bool NotesFolder::writable(const QString& folder)
{
    return QFileInfo::exists(markerPath(folder)) &&
           ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}
