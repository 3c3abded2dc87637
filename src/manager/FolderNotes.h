#pragma once

#include "shell/AppError.h"
#include "store/NoteRecord.h"

#include <QString>

// The open notes kept in the notes folder (store/NotesFolder) and the folder kept in step with
// them while the program runs: each open note is written there a moment after it changes, a
// note closed by hand goes to the folder's trash, and files that another machine's sync tool
// adds, changes or removes open, update or close their notes, unless the note has a change of
// its own: then both versions stay, the other one as a conflict copy. With no folder set, none
// of this happens.
namespace FolderNotes {

// Whether a notes folder is in use.
bool active();
// The folder in use; empty when none is.
QString folder();

// At start, before the notes kept at the last logout: follows the configured folder and opens
// every note of it. False when none opened (or no folder is set).
bool openAtStart();

// Switches to folder (stored in the setting; empty turns the notes folder off): every open note
// gets its file there, and the notes there that are not open yet open.
Result use(const QString& folder);

// A record about to open from the main data file or a recovery file: false when the same note
// is open from the folder already, so it must not open twice.
bool shouldOpen(const NoteRecord& record);

// At the end of the session: writes the open notes that belong to the folder there, on this
// thread, before it returns. Returns the records the folder did not take (those of notes
// without an id yet, and all of them when the folder cannot be written), for the main data
// file. From then on the folder is left alone: the notes closing next change nothing there.
NoteRecordList keepAtSessionEnd(const NoteRecordList& records);

} // namespace FolderNotes
