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

// This process's file.
QString path();
// Something about a note changed: write within WriteDelayMs.
void noteChanged();
// Writes every open note now (or removes the file when none is open).
void writeNow();
// The program ends normally: its notes are kept elsewhere or were closed on purpose.
void remove();

// Files left by runs that did not end normally: their process is gone.
QStringList orphanedFiles();
// The pid a recovery file names, or 0.
qint64 processOf(const QString& file);

} // namespace NoteRecovery
