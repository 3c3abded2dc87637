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

    bool operator==(const Entry&) const = default;
};
// Every note file of the folder (kinds Note and ConflictCopy), by id; fails when the folder
// cannot be listed (gone, unmounted, no permission).
Expected<QList<Entry>> scan(const QString& folder);

// The note a note file holds (its first note), with FolderId set to the file's id and FileName
// empty. Fails, without logging, when the file cannot be read or does not parse.
Expected<NoteRecord> read(const QString& path);
// Writes record as the whole file of its FolderId, atomically, without OnAllWorkspaces and
// FolderId (the file's name says it). Not logged.
Result write(const QString& folder, const NoteRecord& record);
// A note closed by hand: its file moves to the folder's ".trash", so that the other machines
// lose it too and it can be taken back. A file that is already gone is no failure.
Result moveToTrash(const QString& folder, const QString& id);
// Removes the files in ".trash" older than kTrashDays at now.
void emptyOldTrash(const QString& folder, const QDateTime& now);
// Whether the folder takes files now: it exists and is writable.
bool writable(const QString& folder);

} // namespace NotesFolder
