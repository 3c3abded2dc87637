#pragma once

#include "store/NoteRecord.h"

class frmMain;

// The open note windows as the floors below see them: their records, and their changes
// reaching the recovery file.
namespace OpenNotes {
// The record of every open note, oldest window first, as a close would keep it.
NoteRecordList records();
// The recovery file follows the window's changes and closes, and reads the open notes
// from records().
void watch(frmMain& window);
} // namespace OpenNotes
