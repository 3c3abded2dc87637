// The note window's menus and keys: the menu images, the check-mark families and the released
// keys, which run the menu items whose key they are.
#include "shell/WindowUtils.h"
#include "window/NoteHooks.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QAction>
#include <QKeyEvent>

QAction* frmMain::menuItem(const char* name, int index) const
{
    return m_menus.action(name, index);
}

QMenu* frmMain::menu(const char* name) const
{
    return m_menus.menu(name);
}

void frmMain::triggerMenuItem(const char* name, int index)
{
    // A disabled item's key does nothing, as its menu item does.
    if (!m_menus.isEnabled(name, index))
        return;
    const NoteMenus::Entry* entry = NoteMenus::find(name, index);
    if (entry && entry->handler)
        entry->handler(*this, index);
}

bool frmMain::isItemChecked(const char* name, int index) const
{
    return m_menus.isChecked(name, index);
}

void frmMain::setItemChecked(const char* name, int index, bool checked)
{
    m_menus.setChecked(name, index, checked);
}

void frmMain::setItemEnabled(const char* name, int index, bool enabled)
{
    m_menus.setEnabled(name, index, enabled);
}

void frmMain::setItemVisible(const char* name, int index, bool visible)
{
    m_menus.setVisible(name, index, visible);
}

bool frmMain::toggleItem(const char* name, int index)
{
    return m_menus.toggle(name, index);
}

void frmMain::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    handleKeyRelease(event->key(), event->modifiers());
}

void frmMain::handleKeyRelease(int key, Qt::KeyboardModifiers modifiers)
{
    for (const NoteMenus::Entry* entry : NoteMenus::keyTable()) {
        if (entry->key.matches(key, modifiers)) {
            triggerMenuItem(entry->name, entry->index);
            return;
        }
    }
}

void frmMain::mnuAutoSave_Click()
{
    m_Note.AutoSave = toggleItem(NoteMenus::mnuAutoSave);
}

void frmMain::mnuNewNoteSaveOnClose_Click()
{
    m_Note.SaveNewNoteOnClose = toggleItem(NoteMenus::mnuNewNoteSaveOnClose);
    if (m_Note.FileName.isEmpty()) {
        if (m_Note.SaveNewNoteOnClose && !m_rtb->Text().isEmpty()) {
            setChanged(true);
        } else if (!m_Note.SaveNewNoteOnClose) {
            setChanged(false);
            m_Note.TracksChanges = false;
        }
    }
}

void frmMain::mnuSaveSettings_Click()
{
    toggleItem(NoteMenus::mnuSaveSettings);
    SaveSettings();
}

void frmMain::mnuNotesFolder_Click()
{
    // Out of the band first, so that no note that stays on top covers the boxes.
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    NoteHooks::chooseNotesFolder(*this);
    setOnTopFromRecord();
}
