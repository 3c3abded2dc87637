#pragma once

#include "store/NoteRecord.h"

class frmMain;

// The open note windows as the floors below see them: their records, and their changes
// reaching the recovery file.
namespace OpenNotes {
// The record of every open note, oldest window first, as a close would keep it.
NoteRecordList records();
// The recovery file follows the window's changes and closes, and reads the open notes
// from records(); the installed window hook sees the window too.
void watch(frmMain& window);
// Called for every note window made from now on, as it is made (before its note is loaded);
// a floor above that follows the windows installs it. Null: none.
using WindowHook = void (*)(frmMain& window);
void setWindowHook(WindowHook hook);
} // namespace OpenNotes
