#pragma once

class QString;

// What the desktop asks of every note at once: the tray icon's menu, the keys bound to
// "jottex --new" and the like, and a second start handing its command line over.
namespace AllNotes {
// A blank note, placed as a note made from the main menu is.
void newNote();
// Every note shown and raised: minimised ones restored, hidden ones shown, and any note that lies
// off every screen brought onto the nearest one.
void showAll();
// Every note out of sight until showAll or toggle brings them back.
void hideAll();
// Hides the notes when they show, shows them all when they are hidden.
void toggle();
// True between hideAll and the next showAll, while no note shows: a note made or opened
// meanwhile is in sight, and the next toggle hides it with the rest.
bool hidden();
// The search window, with text already searched for when not empty.
void search(const QString& text);
} // namespace AllNotes
