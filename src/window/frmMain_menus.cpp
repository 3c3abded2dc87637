// The note window's menus and keys: building the popups from their table, the menu images,
// the check-mark families and the dispatch of items and released keys to their handlers.
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/LocaleFormat.h"
#include "shell/Settings.h"
#include "shell/Twips.h"
#include "window/Artwork.h"
#include "window/NoteSize.h"
#include "window/NoteTextEdit.h"
#include "window/frmMain.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <array>
#include <functional>

namespace {
constexpr std::array kFontSizes{8, 10, 12, 14, 16};
constexpr std::array kTransparencyLevels{225, 150, 50, 255};

enum class Needs { Any, Ctrl, ShiftNoCtrl, Neither, CtrlShift };

struct KeyAction {
    int key;
    Needs needs;
    const char* item; // the menu item whose handler runs
    int index;
};

// Tested in order; the first row whose key and modifiers match runs.
constexpr std::array kKeyActions{
    KeyAction{Qt::Key_F7, Needs::Any, "mnuCheckSpelling", -1},
    KeyAction{Qt::Key_F6, Needs::Ctrl, "mnuInsertDateTime", 2},
    KeyAction{Qt::Key_F6, Needs::ShiftNoCtrl, "mnuInsertDateTime", 1},
    KeyAction{Qt::Key_F6, Needs::Neither, "mnuInsertDateTime", 0},
    KeyAction{Qt::Key_O, Needs::Ctrl, "mnuOpen", -1},
    KeyAction{Qt::Key_N, Needs::Ctrl, "mnuNew", -1},
    KeyAction{Qt::Key_S, Needs::Ctrl, "mnuSave", 0},
    KeyAction{Qt::Key_P, Needs::Ctrl, "mnuPrint", -1},
    KeyAction{Qt::Key_Y, Needs::Ctrl, "mnuEmail", -1},
    KeyAction{Qt::Key_V, Needs::CtrlShift, "mnuEdit", 1},
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
} // namespace

void frmMain::buildMenus()
{
    m_menus =
        NoteMenus::build(this, [this](const QString& name, int index) { onMenuItem(name, index); });
}

QAction* frmMain::menuItem(const QString& name, int index) const
{
    return m_menus.actions.value(NoteMenus::objectName(name, index));
}

QMenu* frmMain::menu(const QString& name) const
{
    return m_menus.menus.value(name);
}

void frmMain::triggerMenuItem(const QString& name, int index)
{
    onMenuItem(name, index);
}

void frmMain::SetupMenuIcons()
{
    for (const NoteMenus::Entry& entry : NoteMenus::entries()) {
        if (!*entry.imageKey)
            continue;
        QAction* action = menuItem(QString::fromLatin1(entry.name), entry.index);
        if (action)
            action->setIcon(Artwork::menuIcon(QString::fromLatin1(entry.imageKey)));
    }
    menuItem(QStringLiteral("mnuTop"))
        ->setIcon(
            Artwork::menuIcon(m_Note.IsOnTop ? QStringLiteral("Ontop") : QStringLiteral("Normal")));
}

void frmMain::checkFamily(const QString& name, int checkedIndex, int count)
{
    for (int i = 0; i < count; ++i) {
        if (QAction* action = menuItem(name, i))
            action->setChecked(i == checkedIndex);
    }
}

int frmMain::firstCheckedCaptionType(int count) const
{
    for (int i = 0; i < count; ++i) {
        if (menuItem(QStringLiteral("mnuCaptionType"), i)->isChecked())
            return i;
    }
    return -1;
}

void frmMain::CheckFontSizeMenu(int size)
{
    const auto found = std::find(kFontSizes.begin(), kFontSizes.end(), size);
    checkFamily(QStringLiteral("mnuFontSize"),
                found == kFontSizes.end() ? -1 : static_cast<int>(found - kFontSizes.begin()),
                static_cast<int>(kFontSizes.size()));
}

void frmMain::CheckTransparencyMenu(int alpha)
{
    const auto found = std::find(kTransparencyLevels.begin(), kTransparencyLevels.end(), alpha);
    checkFamily(QStringLiteral("mnuTransparent"),
                found == kTransparencyLevels.end()
                    ? -1
                    : static_cast<int>(found - kTransparencyLevels.begin()),
                static_cast<int>(kTransparencyLevels.size()));
}

void frmMain::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    handleKeyRelease(event->key(), event->modifiers());
}

void frmMain::handleKeyRelease(int key, Qt::KeyboardModifiers modifiers)
{
    m_lastKeyDown = 0;
    for (const KeyAction& action : kKeyActions) {
        if (action.key == key && modifiersMatch(action.needs, modifiers)) {
            onMenuItem(QString::fromLatin1(action.item), action.index);
            return;
        }
    }
}

void frmMain::mnuAutoSave_Click()
{
    QAction* item = menuItem(QStringLiteral("mnuAutoSave"));
    item->setChecked(!item->isChecked());
    m_Note.AutoSave = item->isChecked();
}

void frmMain::mnuNewNoteSaveOnClose_Click()
{
    QAction* item = menuItem(QStringLiteral("mnuNewNoteSaveOnClose"));
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
    QAction* item = menuItem(QStringLiteral("mnuSaveSettings"));
    item->setChecked(!item->isChecked());
    SaveSettings();
}

void frmMain::systemMenu(const QString& name)
{
    if (name == QLatin1String("mnuSystemNew")) {
        NewNoteWindow();
    } else if (name == QLatin1String("mnuSystemMinimize")) {
        MinimizeNote();
    } else if (name == QLatin1String("mnuSystemDefaultSize")) {
        setSizeTwips(NoteSize::DefaultWidth, NoteSize::DefaultHeight);
    } else if (name == QLatin1String("mnuSystemRestore")) {
        RestoreNote();
    } else if (name == QLatin1String("mnuSystemReset")) {
        setSizeTwips(NoteSize::DefaultWidth, NoteSize::DefaultHeight);
        SetNoteColor(QStringLiteral("yellow"), true);
        m_Note.TimeDate = LocaleFormat::generalDate(Clock::now());
        m_subCaption->setText(m_Note.TimeDate);
        m_tag.clear();
    } else if (name == QLatin1String("mnuSystemClose")) {
        close();
    }
}

void frmMain::onMenuItem(const QString& name, int index)
{
    ensureLoaded();
    using Handler = std::function<void(int)>;
    // Items whose commands come with later parts of the window do nothing yet.
    const std::pair<const char*, Handler> handlers[] = {
        {"mnuNew", [this](int) { NewNoteWindow(); }},
        {"mnuOpen", [this](int) { OpenNoteFile(); }},
        {"mnuSave", [this](int i) { PerformSave(i); }},
        {"mnuClose", [this](int) { close(); }},
        {"mnuAutoSave", [this](int) { mnuAutoSave_Click(); }},
        {"mnuNewNoteSaveOnClose", [this](int) { mnuNewNoteSaveOnClose_Click(); }},
        {"mnuSaveSettings", [this](int) { mnuSaveSettings_Click(); }},
        {"mnuCaptionType", [this](int i) { mnuCaptionType_Click(i); }},
        {"mnuInsertDateTime", [this](int i) { mnuInsertDateTime_Click(i); }},
        {"mnuHelp", [this](int) { ShowNotImplemented(); }},
        {"mnuEdit",
         [this](int i) {
             if (i == 0)
                 m_rtb->paste();
             else if (i == 1)
                 pastePlainText();
             else if (i == 2)
                 m_rtb->undo();
         }},
        {"mnuSelectEdit",
         [this](int i) {
             if (i == 0)
                 m_rtb->cut();
             else if (i == 1)
                 m_rtb->copy();
             else if (i == 2)
                 m_rtb->paste();
             else if (i == 3)
                 m_rtb->undo();
         }},
    };
    if (name.startsWith(QLatin1String("mnuSystem"))) {
        systemMenu(name);
        return;
    }
    for (const auto& [itemName, handler] : handlers) {
        if (name == QLatin1String(itemName)) {
            handler(index);
            return;
        }
    }
}
