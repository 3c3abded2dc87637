#pragma once

struct AppError;
class Result;
class QString;
class QWidget;

// What the user decides about the notes folder (manager/FolderNotes): from a note's "Notes
// Folder..." item, or a folder handed over by "jottex --notes-folder". Every box shows over
// owner (null: over no note in particular), above every note, and tells a failure in one
// sentence.
namespace NotesFolderChoice {
// With no folder in use, the folder chooser, and the folder chosen is used. With one in use, a
// box that names it and offers to choose another, to stop using it, or to cancel. Asked again
// while one of its boxes shows, it does nothing.
void ask(QWidget* owner);

// Uses folder (empty: none). False, told over owner, when the folder cannot be used: it
// takes no files.
bool switchTo(QWidget* owner, const QString& folder);

// Stores folder (empty: none) as the notes folder of a start that is about to open its notes,
// when it takes files. The failure is logged, for the caller to tell.
Result storeForStart(const QString& folder);

// Tells over owner why folder (empty: none) could not become the notes folder.
void tellFailure(QWidget* owner, const QString& folder, const AppError& error);
} // namespace NotesFolderChoice
