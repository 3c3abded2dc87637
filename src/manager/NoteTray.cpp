#include "manager/NoteTray.h"

#include "manager/AllNotes.h"
#include "manager/frmNoteManager.h"
#include "shell/Settings.h"
#include "window/Artwork.h"
#include "window/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <array>

namespace {
struct ItemInfo {
    NoteTray::Item item;
    const char* text;
    bool separatorBefore;
};

// The hide / show item's text follows the notes' state (followState); this one is its first.
constexpr std::array kItems{
    ItemInfo{NoteTray::Item::NewNote, QT_TRANSLATE_NOOP("NoteTray", "New Note"), false},
    ItemInfo{NoteTray::Item::ShowAll, QT_TRANSLATE_NOOP("NoteTray", "Show All Notes"), false},
    ItemInfo{NoteTray::Item::HideOrShow, QT_TRANSLATE_NOOP("NoteTray", "Hide All Notes"), false},
    ItemInfo{NoteTray::Item::Search, QT_TRANSLATE_NOOP("NoteTray", "Search Notes..."), true},
    ItemInfo{NoteTray::Item::Manager, QT_TRANSLATE_NOOP("NoteTray", "Multi-Note Manager..."),
             false},
    ItemInfo{NoteTray::Item::Quit, QT_TRANSLATE_NOOP("NoteTray", "Quit"), true},
};

constexpr bool isInItemOrder()
{
    for (std::size_t i = 0; i < kItems.size(); ++i) {
        if (kItems[i].item != static_cast<NoteTray::Item>(i))
            return false;
    }
    return true;
}
static_assert(isInItemOrder());

// The manager belongs to a note: the one the user works in, else the newest that shows, else
// the newest; none when no note is open.
frmMain* managerOwner()
{
    if (auto* active = qobject_cast<frmMain*>(QApplication::activeWindow()))
        return active;
    const QList<frmMain*> windows = frmMain::openWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if ((*it)->isVisible())
            return *it;
    }
    return windows.isEmpty() ? nullptr : windows.last();
}
} // namespace

std::unique_ptr<NoteTray> NoteTray::install(QuitHook quit)
{
    // A panel that starts after the program (both autostarted at login) still gets the icon:
    // the toolkit docks it whenever a tray appears, and shows nothing while there is none.
    if (!wanted())
        return nullptr;
    return std::make_unique<NoteTray>(quit);
}

bool NoteTray::wanted()
{
    // Only an explicit "False" turns it off: an unreadable value keeps the icon.
    return modMain::ReadSetting(modMain::Setting::TrayIcon)
               .compare(QLatin1String("False"), Qt::CaseInsensitive) != 0;
}

NoteTray::NoteTray(QuitHook quit, QObject* parent)
    : QObject(parent), m_quit(quit), m_menu(new QMenu), m_icon(new QSystemTrayIcon(this))
{
    buildMenu();
    m_icon->setIcon(Artwork::appIcon());
    m_icon->setToolTip(QApplication::applicationName());
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    AllNotes::toggle();
            });
    m_icon->show();
}

// The menu is a window of its own, which no QObject parent deletes.
NoteTray::~NoteTray()
{
    delete m_menu;
}

QAction* NoteTray::action(Item item) const
{
    return m_actions.value(static_cast<qsizetype>(item));
}

void NoteTray::buildMenu()
{
    for (const ItemInfo& info : kItems) {
        if (info.separatorBefore)
            m_menu->addSeparator();
        QAction* action = m_menu->addAction(QCoreApplication::translate("NoteTray", info.text));
        m_actions << action;
        connect(action, &QAction::triggered, this, [this, item = info.item] { choose(item); });
    }
    connect(m_menu, &QMenu::aboutToShow, this, &NoteTray::followState);
}

void NoteTray::followState()
{
    action(Item::HideOrShow)->setText(AllNotes::hidden() ? tr("Show Notes") : tr("Hide All Notes"));
}

void NoteTray::choose(Item item)
{
    switch (item) {
    case Item::NewNote:
        AllNotes::newNote();
        break;
    case Item::ShowAll:
        AllNotes::showAll();
        break;
    case Item::HideOrShow:
        AllNotes::toggle();
        break;
    case Item::Search:
        AllNotes::search({});
        break;
    case Item::Manager:
        frmNoteManager::showFor(managerOwner());
        break;
    case Item::Quit:
        if (m_quit)
            m_quit();
        break;
    }
}
