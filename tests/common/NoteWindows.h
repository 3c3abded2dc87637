#pragma once

class frmMain;

// Note windows as the window tests make and clear them.
namespace NoteWindows {
// A blank note, shown, as "New" makes one.
frmMain* newNote();
// Deletes every open note window without its closing steps.
void deleteAll();
} // namespace NoteWindows
