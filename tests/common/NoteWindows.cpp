#include "NoteWindows.h"

#include "window/frmMain.h"

frmMain* NoteWindows::newNote()
{
    frmMain* window = frmMain::create(NoteOrigin::NewNote);
    window->show();
    return window;
}

void NoteWindows::deleteAll()
{
    for (frmMain* window : frmMain::openWindows()) {
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete window;
    }
}
