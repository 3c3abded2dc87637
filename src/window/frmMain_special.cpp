#include "special/cClipboardViewer.h"
#include "special/cCustomClipboard.h"
#include "window/NoteMenus.h"
#include "window/frmMain.h"

#include <QAction>
#include <QTimer>

// The special-note engine: one timer per note drives the live display of its kind.

void frmMain::ResetSpecialNote()
{
    for (int index : {0, 1})
        if (QAction* item = menuItem(NoteMenus::mnuSave, index))
            item->setEnabled(true);
}
