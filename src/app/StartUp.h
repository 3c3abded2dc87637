#pragma once

#include <QString>
#include <QStringList>

namespace modMain {
// The program's arguments (argv[1..]) as one text, the way the shell passed them: joined by
// blanks. Taken from the raw argv, so options the toolkit knows are not lost.
QString commandLineText(int argc, const char* const* argv);

// Opens the note windows for this start: the first note of a note file named on the command
// line, or the notes waiting in the main data file, or one blank note.
void Main(const QString& commandLine);
} // namespace modMain
