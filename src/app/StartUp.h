#pragma once

#include <QString>
#include <QStringList>

namespace modMain {
// The program's arguments (argv[1..]) as one text, the way the shell passed them: joined by
// blanks. Taken from the raw argv, so options the toolkit knows are not lost.
QString commandLineText(int argc, const char* const* argv);

// What the command line asks for before any window exists. Only a whole command line of
// "--help", "-h", "--version" or one starting with "--" is an option, and never one that names a
// note file: a note called "-reverse -name.not" or "--x.not" opens as before.
enum class Request { Start, Help, Version, UnknownOption };
Request commandLineRequest(const QString& commandLine);

// The text that --help prints, and an unknown option prints to the error stream.
QString usageText();

// The most notes that open at login; older waiting notes stay kept in the main data file.
inline constexpr qsizetype kMostNotesAtLogin = 100;

// Opens the note windows for this start: the first note of a note file named on the command
// line, or the notes waiting in the main data file, or one blank note.
void Main(const QString& commandLine);
} // namespace modMain
