#pragma once

#include <QString>
#include <QStringList>

namespace modMain {
// The program's arguments (argv[1..]) as one text, the way the shell passed them: joined by
// blanks. Taken from the raw argv, so options the toolkit knows are not lost.
QString commandLineText(int argc, const char* const* argv);

// What the command line asks for before any window exists. Only a whole command line of
// "--help", "-h", "--version", "--new", "--show-all", "--toggle", "--search" with or without
// text to search for, or "--notes-folder" with or without a folder, is one of the options, and
// one starting with "--" is an unknown option; never one that names a note file: a note called
// "-reverse -name.not" or "--x.not" opens as before. Only "--search" and "--notes-folder" take
// what follows them as their text, even when that ends in "not".
// The numbers travel from a later start to the running one: never renumber them.
enum class Request {
    Start = 0,
    Help = 1,
    Version = 2,
    UnknownOption = 3,
    NewNote = 4,
    ShowAll = 5,
    Toggle = 6,
    Search = 7,
    NotesFolder = 8,
};
Request commandLineRequest(const QString& commandLine);

// What a command line gives its request to work on: the text to search for, the note file or
// the notes folder (absolute, so that a program with another working folder finds it; an empty
// folder turns the notes folder off), or the plain arguments.
QString requestArgument(const QString& commandLine);

// Why "--notes-folder" cannot take folder (an absolute path, as requestArgument gives it), in
// one sentence for the error stream; empty when it can: an existing folder, or none at all.
QString notesFolderProblem(const QString& folder);

// The text that --help prints, and an unknown option prints to the error stream.
QString usageText();

// Who started this run: the user (a launcher, a shell, the login's autostart entry), or a
// session manager restoring an earlier session as "jottex -session <id>".
enum class Starter { User, SessionManager };
// Whether the arguments are a session manager's restart: exactly "-session <id>", naming no note
// file. The toolkit is then given them, to rejoin that session.
Starter starterOf(int argc, const char* const* argv);

// The most notes that open at login; older waiting notes stay kept in the main data file.
inline constexpr qsizetype kMostNotesAtLogin = 100;

// Opens the note windows for this start: the first note of a note file named on the command
// line, or the notes of the notes folder, then those waiting in the main data file and those of
// runs that ended abnormally (each note once), or one blank note. A session manager's
// start brings back the waiting notes as any start does but opens no blank note: false when
// it opened nothing, and the program has nothing to do.
bool Main(const QString& commandLine, Starter starter = Starter::User);

// A start by the user that asks for one of the desktop's commands and finds no running Jottex:
// it starts as Main does, with what the command adds (a new note beside the waiting ones, the
// search window, the notes folder it names). False when it opened nothing.
bool Start(Request request, const QString& argument);

// What a later start handed over to this running program: its note file or a new note, or one
// of the desktop's commands.
void Perform(Request request, const QString& argument);
} // namespace modMain
