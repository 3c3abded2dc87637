#pragma once

#include <QString>
#include <QStringList>

namespace modMain {
// The program's arguments as one text, the way the shell passed them: joined by blanks.
QString commandLineText(const QStringList& arguments);

// Opens the note windows for this start: the first note of a note file named on the command
// line, or the notes waiting in the main data file, or one blank note.
void Main(const QString& commandLine);
} // namespace modMain
