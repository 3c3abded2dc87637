// The note window's menus and keys: the menu images, the check-mark families and the table of
// released keys with the menu items they run.
#include "window/Artwork.h"
#include "window/NoteColors.h"
#include "window/NoteTextEdit.h"
#include "window/SelectionFormat.h"
#include "window/frmMain.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <array>

namespace {

enum class Needs { Any, Ctrl, ShiftNoCtrl, Neither, CtrlShift };

struct KeyAction {
    int key;
    Needs needs;
    const char* item; // the menu item whose handler runs
    int index;
};

// Tested in order; the first row whose key and modifiers match runs.
constexpr std::array kKeyActions{
    KeyAction{Qt::Key_F7, Needs::Any, NoteMenus::mnuCheckSpelling, -1},
    KeyAction{Qt::Key_F6, Needs::Ctrl, NoteMenus::mnuInsertDateTime, 2},
    KeyAction{Qt::Key_F6, Needs::ShiftNoCtrl, NoteMenus::mnuInsertDateTime, 1},
    KeyAction{Qt::Key_F6, Needs::Neither, NoteMenus::mnuInsertDateTime, 0},
    KeyAction{Qt::Key_O, Needs::Ctrl, NoteMenus::mnuOpen, -1},
    KeyAction{Qt::Key_N, Needs::Ctrl, NoteMenus::mnuNew, -1},
    KeyAction{Qt::Key_S, Needs::Ctrl, NoteMenus::mnuSave, 0},
    KeyAction{Qt::Key_P, Needs::Ctrl, NoteMenus::mnuPrint, -1},
    KeyAction{Qt::Key_Y, Needs::Ctrl, NoteMenus::mnuEmail, -1},
    KeyAction{Qt::Key_V, Needs::CtrlShift, NoteMenus::mnuEdit, 1},
};

bool modifiersMatch(Needs needs, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (needs) {
    case Needs::Any:
        return true;
    case Needs::Ctrl:
        return ctrl;
    case Needs::ShiftNoCtrl:
        return shift && !ctrl;
    case Needs::Neither:
        return !shift && !ctrl;
    case Needs::CtrlShift:
        return ctrl && shift;
    }
    return false;
}

// The place of value in a family's list, or -1 (no item checked).
template <typename List> int indexIn(const List& list, int value)
{
    const auto found = std::find(list.begin(), list.end(), value);
    return found == list.end() ? -1 : static_cast<int>(found - list.begin());
}
} // namespace

QAction* frmMain::menuItem(const char* name, int index) const
{
    return m_menus.actions.value(NoteMenus::objectName(name, index));
}

QMenu* frmMain::menu(const char* name) const
{
    return m_menus.menus.value(NoteMenus::objectName(name));
}

void frmMain::triggerMenuItem(const char* name, int index)
{
    // A disabled item's key does nothing, as its menu item does.
    if (const QAction* item = menuItem(name, index); item && !item->isEnabled())
        return;
    const NoteMenus::Entry* entry = NoteMenus::find(name, index);
    if (entry && entry->handler)
        entry->handler(*this, index);
}

void frmMain::SetupMenuIcons()
{
    for (const NoteMenus::Entry& entry : NoteMenus::entries()) {
        if (*entry.imageKey)
            setMenuIcon(entry.name, entry.index, QString::fromLatin1(entry.imageKey));
    }
    setMenuIcon(NoteMenus::mnuTop, -1,
                m_Note.IsOnTop ? QStringLiteral("Ontop") : QStringLiteral("Normal"));
}

void frmMain::setMenuIcon(const char* name, int index, const QString& imageKey)
{
    QAction* action = menuItem(name, index);
    if (!action)
        return;
    const QIcon icon = Artwork::menuIcon(imageKey);
    action->setIcon(action->isCheckable() ? Artwork::checkableMenuIcon(icon) : icon);
}

void frmMain::checkFamily(const char* name, int checkedIndex)
{
    const int count = NoteMenus::familySize(name);
    for (int i = 0; i < count; ++i) {
        if (QAction* action = menuItem(name, i))
            action->setChecked(i == checkedIndex);
    }
}

void frmMain::CheckFontSizeMenu(int size)
{
    checkFamily(NoteMenus::mnuFontSize, indexIn(SelectionFormat::kMenuPointSizes, size));
}

void frmMain::CheckTransparencyMenu(int alpha)
{
    checkFamily(NoteMenus::mnuTransparent, indexIn(NoteColors::TransparencyLevels, alpha));
}

void frmMain::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    handleKeyRelease(event->key(), event->modifiers());
}

void frmMain::handleKeyRelease(int key, Qt::KeyboardModifiers modifiers)
{
    for (const KeyAction& action : kKeyActions) {
        if (action.key == key && modifiersMatch(action.needs, modifiers)) {
            triggerMenuItem(action.item, action.index);
            return;
        }
    }
}

void frmMain::mnuAutoSave_Click()
{
    QAction* item = menuItem(NoteMenus::mnuAutoSave);
    item->setChecked(!item->isChecked());
    m_Note.AutoSave = item->isChecked();
}

void frmMain::mnuNewNoteSaveOnClose_Click()
{
    QAction* item = menuItem(NoteMenus::mnuNewNoteSaveOnClose);
    item->setChecked(!item->isChecked());
    m_Note.SaveNewNoteOnClose = item->isChecked();
    if (m_Note.FileName.isEmpty()) {
        if (m_Note.SaveNewNoteOnClose && !m_rtb->Text().isEmpty()) {
            setChanged(true);
        } else if (!m_Note.SaveNewNoteOnClose) {
            setChanged(false);
            m_isDirty = false;
        }
    }
}

void frmMain::mnuSaveSettings_Click()
{
    QAction* item = menuItem(NoteMenus::mnuSaveSettings);
    item->setChecked(!item->isChecked());
    SaveSettings();
}
