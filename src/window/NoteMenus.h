#pragma once

#include <QHash>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;

// The note window's four popup menus, built from one table: every item with its object
// name, index within its family, caption, shown shortcut, image key and initial state.
namespace NoteMenus {

enum Flag : unsigned {
    None = 0,
    Hidden = 1,
    Checked = 2,
    Checkable = 4,
    Separator = 8,
    Submenu = 16,
};

struct Entry {
    const char* parent; // the menu that holds the item
    const char* name;   // the item's name; a family shares one name
    int index;          // position in its family, -1 for a single item
    const char* caption;
    const char* shortcut; // shown beside the caption; the window's key handler carries it out
    const char* imageKey; // menu image, set by the window's SetupMenuIcons
    unsigned flags;
};

// The object name of an item: "mnuNew", or "mnuSave(1)" for a member of a family.
QString objectName(const QString& name, int index = -1);

// Every entry, in menu order.
const std::vector<Entry>& entries();

// The four top-level popups.
inline constexpr const char* PopUpMenu = "mnuPopUpMenu";
inline constexpr const char* SystemMenu = "mnuSystemMenu";
inline constexpr const char* PopUpSelect = "mnuPopUpSelect";
inline constexpr const char* PopupCaption = "mnuPopupCaption";

struct Built {
    QHash<QString, QMenu*> menus;     // by object name, top-level and submenus
    QHash<QString, QAction*> actions; // by object name
};

// Builds the menus as children of owner; triggering an item calls onClick(name, index).
Built build(QWidget* owner, const std::function<void(const QString&, int)>& onClick);

} // namespace NoteMenus
