#pragma once

#include "window/NoteMenus.h"

#include <QString>
#include <optional>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class frmMain;

// A note window's popup menus, built the first time one is shown or an action is asked for:
// most notes never show one, and building them costs each note a quarter megabyte.
// Until then each item's check mark, enabled and visible state and image live in one small
// record per table entry; building hands them to the actions, which hold them from then on,
// so the two can never disagree.
class NoteMenuSet {
public:
    explicit NoteMenuSet(frmMain* owner);

    // By item name and family index; an item the table lacks reads as unchecked and enabled,
    // and setting it does nothing.
    bool isChecked(const char* name, int index = -1) const;
    bool isEnabled(const char* name, int index = -1) const;
    void setChecked(const char* name, int index, bool checked);
    void setEnabled(const char* name, int index, bool enabled);
    void setVisible(const char* name, int index, bool visible);
    void setImageKey(const char* name, int index, const QString& imageKey);
    // Checks one item of a family and clears the others; -1 checks none.
    void checkFamily(const char* name, int checkedIndex);

    bool isBuilt() const { return m_built.has_value(); }
    // These build the menus first.
    QAction* action(const char* name, int index = -1);
    QMenu* menu(const char* name);

private:
    enum Bit : unsigned char { CheckedBit = 1, EnabledBit = 2, VisibleBit = 4 };
    bool bit(const char* name, int index, Bit which, bool fallback) const;
    void setBit(const char* name, int index, Bit which, bool on);
    QString imageKey(int place) const;
    void build();

    frmMain* m_owner;
    std::vector<unsigned char> m_bits; // by place in NoteMenus::entries(), until built
    // The items whose image is not the table's, until built.
    std::vector<std::pair<int, QString>> m_imageKeys;
    std::optional<NoteMenus::Built> m_built;
};
