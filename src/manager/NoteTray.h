#pragma once

#include <QList>
#include <QObject>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;

// The status icon on the desktop's panel: a left click hides or shows every note, and its menu
// reaches what concerns every note at once. There is none when the user turned it off or the
// desktop has no tray: the program then works as through its notes alone.
class NoteTray : public QObject {
    Q_OBJECT

public:
    // What Quit runs: the program's own end, which keeps every note for the next start.
    using QuitHook = void (*)();

    // The items of the menu, in their order.
    enum class Item { NewNote, ShowAll, HideOrShow, Search, Manager, Quit };

    // The icon, unless the user turned it off (null then); it shows while the desktop has a
    // tray. It must go before the application object, as its menu is a window.
    static std::unique_ptr<NoteTray> install(QuitHook quit);
    // True unless the user turned the icon off in the settings.
    static bool wanted();

    explicit NoteTray(QuitHook quit, QObject* parent = nullptr);
    ~NoteTray() override;

    QSystemTrayIcon* icon() const { return m_icon; }
    QMenu* menu() const { return m_menu; }
    QAction* action(Item item) const;

private:
    void buildMenu();
    void followState();
    void choose(Item item);

    QuitHook m_quit;
    QMenu* m_menu;
    QList<QAction*> m_actions; // by Item
    QSystemTrayIcon* m_icon;
};
