#pragma once

#include "shell/AppError.h"
#include "store/NoteRecord.h"

#include <QList>
#include <QString>

// Every open note, kept on disk a moment after it changes, so that a crash, a kill or a lost
// X connection loses nothing typed more than a few seconds before. One file per running
// process ("session-<pid>.recovery" in the data folder), in the note-file format, removed
// when the program ends normally. When the data folder refuses the file (full, read-only), a
// spare folder of this user's under the system's temporary folder takes it instead.
namespace NoteRecovery {

// How long after a change the file is written; later changes ride along.
inline constexpr int WriteDelayMs = 2000;

// Where the records of the open notes come from, in window order. The floor that holds the
// note windows installs it; with none installed no note is open.
using RecordSource = NoteRecordList (*)();
void setRecordSource(RecordSource source);
// The records the installed source gives now.
NoteRecordList openRecords();

// This process's file in the data folder.
QString path();
// Where the file goes when the data folder refuses it.
QString sparePath();
// Something about a note changed: write within WriteDelayMs. The records are read from the
// windows then; the document is made and written on a pooled thread, so that a long note does
// not hold up the typing, and dropped there when a later write or a removal came first.
void noteChanged();
// A note was closed by the user: with none left open the run ended normally and the file
// goes now; otherwise the rest are written within WriteDelayMs.
void noteClosed();
// Writes every open note now (or removes the file when none is open). The failure (logged,
// and told to the user once) when the notes reached neither the data folder nor the spare one.
Result writeNow();
// The main data file could not take records, the open notes at the end of the session: they
// are kept in this run's file instead, as they are now, for the next start to bring back; the
// log says where.
Result keepInstead(const NoteRecordList& records, const AppError& why);
// The program ends normally: its notes are kept elsewhere or were closed on purpose. Files
// this run took over from ended runs go as well, since their notes were open in this run.
void remove();

// For a logout finished off the interface thread; safe from any thread. The document the last
// write gave (empty when no note was open). From this call on the interface thread neither
// writes nor removes the file: it is the caller's, to remove once its notes are kept.
QByteArray takeOver();
// After takeOver: the notes are kept elsewhere.
void removeTakenOver();

// Files left by runs that did not end normally, oldest first: their process is gone. Files
// that an ended run had taken over count as well.
QStringList orphanedFiles();
// Takes an orphan over for this run, so that no other copy starting now restores it too: it is
// renamed to a name of this process. The name it has now; the orphan's own name when the folder
// allows no rename (read-only), so it can still be read; empty when another copy took it first.
QString claim(const QString& orphan);
// The notes of a file this run claimed are safely elsewhere: it goes, and the log says why.
void release(const QString& claimed, const QString& why);
// The notes of a recovery file, or why it cannot be read.
Expected<NoteRecordList> read(const QString& file);
// A claimed file that cannot be read is kept for rescue by hand, under a name no start takes
// up again; the log says where.
void setAside(const QString& claimed, const AppError& why);
// A file under this run's own name before this run wrote one is an earlier run's that had the
// same pid (a start at login often gets the same number): it is renamed as an ended run's, so
// that it is restored, not overwritten. For the start, before any note opens.
void setAsideEarlierRun();
// The pid a recovery file names (the run that owns it now), or 0.
qint64 processOf(const QString& file);

} // namespace NoteRecovery
