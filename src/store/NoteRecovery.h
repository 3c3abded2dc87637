#pragma once

#include "store/NoteRecord.h"

#include <QList>
#include <QString>

// Every open note, kept on disk a moment after it changes, so that a crash, a kill or a lost
// X connection loses nothing typed more than a few seconds before. One file per running
// process ("session-<pid>.recovery" in the data folder), in the note-file format, removed
// when the program ends normally.
namespace NoteRecovery {

// How long after a change the file is written; later changes ride along.
inline constexpr int WriteDelayMs = 2000;

// Where the records of the open notes come from, in window order. The floor that holds the
// note windows installs it; with none installed no note is open.
using RecordSource = NoteRecordList (*)();
void setRecordSource(RecordSource source);
// The records the installed source gives now.
NoteRecordList openRecords();

// This process's file.
QString path();
// Something about a note changed: write within WriteDelayMs.
void noteChanged();
// A note was closed by the user: with none left open the run ended normally and the file
// goes now; otherwise the rest are written within WriteDelayMs.
void noteClosed();
// Writes every open note now (or removes the file when none is open).
void writeNow();
// The program ends normally: its notes are kept elsewhere or were closed on purpose.
void remove();

// For a logout finished off the interface thread; safe from any thread. The document the last
// write gave (empty when no note was open). From this call on the interface thread neither
// writes nor removes the file: it is the caller's, to remove once its notes are kept.
QByteArray takeOver();
// After takeOver: the notes are kept elsewhere.
void removeTakenOver();

// Files left by runs that did not end normally: their process is gone.
QStringList orphanedFiles();
// The pid a recovery file names, or 0.
qint64 processOf(const QString& file);

} // namespace NoteRecovery
