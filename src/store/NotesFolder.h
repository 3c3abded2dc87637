#pragma once

#include "shell/AppError.h"
#include "store/NoteRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The notes folder: a folder that a sync tool (Syncthing, Nextcloud, Dropbox) carries between
// machines, holding every open note as a note file "<id>.not" of one note. Only files: what
// the files mean for the open notes is decided above (manager/FolderNotes).
namespace NotesFolder {

// How long a note closed by hand stays in the folder's ".trash", to be taken back.
inline constexpr int kTrashDays = 30;

// The folder the setting names, absolute; empty when none is set.
QString configured();
// Stores the setting (an empty folder turns the notes folder off).
Result configure(const QString& folder);

// A fresh id, random and stable for the note's life: 16 lower-case hexadecimal digits.
QString newId();
// The id of a conflict copy of the note id: id, a marker naming it a conflict copy, and a
// time and random part that keep two copies of one note apart.
QString conflictId(const QString& id, const QDateTime& when);

// What a file of the folder is to Jottex.
enum class FileKind {
    Note,         // "<id>.not": a note
    ConflictCopy, // a conflict copy: Jottex's own, Syncthing's "*.sync-conflict-*", or
                  // Nextcloud's and Dropbox's "... (conflicted copy ...)": opened as a note, and
                  // captioned as a conflict copy
    Ignored,      // anything else: not a note file, half-written files of the sync engines
                  // (".syncthing.*.tmp", "~*", ".~lock*") and of Jottex's own atomic writes,
                  // hidden files and folders
};
// The kind of a file by its name alone.
FileKind kindOf(const QString& fileName);
// Whether a note of this id is a conflict copy: its caption says so.
bool isConflictCopy(const QString& id);

// The file of a note in folder.
QString pathOf(const QString& folder, const QString& id);
// The id a note file's name gives ("abc.not" -> "abc").
QString idOf(const QString& fileName);

// One note file found in the folder, with what tells a later change of it.
struct Entry {
    QString id;
    QString path;
    QDateTime modified;
    qint64 size = 0;
    // A file renamed over the old one (as the sync tools put their files in place) is a new
    // one even when its time and size match.
    quint64 inode = 0;

    bool operator==(const Entry&) const = default;
};
// The entry of one file; an entry of size -1 when it is not there.
Entry entryOf(const QString& id, const QString& path);
// The file Jottex keeps in a folder it uses, as Syncthing keeps ".stfolder": an unmounted disk
// leaves an empty mount point, which without it would read as every note removed.
QString markerPath(const QString& folder);
// Takes folder into use: creates it when needed, and its marker.
Result adopt(const QString& folder);
// Every note file of the folder (kinds Note and ConflictCopy), by name; only the folder is
// listed and the files' times and sizes taken, none is read. Fails when the folder cannot be
// listed (gone, unmounted, no permission) or has no marker.
Expected<QList<Entry>> scan(const QString& folder);

// The note a note file holds (its first note), with FolderId set to the file's id and FileName
// empty. Fails, without logging, when the file cannot be read or does not parse.
Expected<NoteRecord> read(const QString& path);
// The same in two steps: the file's bytes (refused beyond what a note file may be), and the
// note of bytes read from the file of id.
Expected<QByteArray> readBytes(const QString& path);
Expected<NoteRecord> fromBytes(const QByteArray& bytes, const QString& id);
// The record as its file carries it and reading the file gives it back: its stored fields
// only, without OnAllWorkspaces, FolderId (the file's name says it) and FileName.
NoteRecord asFileNote(NoteRecord record);
// The whole file of a record.
QByteArray bytesOf(const NoteRecord& record);
// Writes record as the whole file of its FolderId, atomically. Not logged. Fails without
// writing when the folder has lost its marker (unmounted).
Result write(const QString& folder, const NoteRecord& record);
Result writeBytes(const QString& folder, const QString& id, const QByteArray& bytes);
// A note closed by hand: its file moves to the folder's ".trash", so that the other machines
// lose it too and it can be taken back. A file that is already gone is no failure.
Result moveToTrash(const QString& folder, const QString& id);
// Removes the files in ".trash" older than kTrashDays at now.
void emptyOldTrash(const QString& folder, const QDateTime& now);
// Whether the folder takes files now: it exists with its marker and is writable.
bool writable(const QString& folder);

} // namespace NotesFolder
