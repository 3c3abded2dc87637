#pragma once

#include <functional>

class frmMain;

// What a note window starts that lives on a floor above it. The program installs these at
// start; with none installed the command does nothing.
namespace NoteHooks {
// Shows the one Multi-Note Manager, owned by the note that asked for it.
using ShowManager = std::function<void(frmMain& owner)>;
void setShowManager(ShowManager hook);
void showManager(frmMain& owner);

// Asks the user about the notes folder, in boxes owned by the note that asked.
using ChooseNotesFolder = std::function<void(frmMain& owner)>;
void setChooseNotesFolder(ChooseNotesFolder hook);
void chooseNotesFolder(frmMain& owner);
} // namespace NoteHooks
