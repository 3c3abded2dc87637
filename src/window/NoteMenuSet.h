#pragma once

#include "window/NoteMenus.h"

#include <QString>
#include <algorithm>
#include <iterator>
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
    // Every item that changes the note's text, on or off together.
    void setTextItemsEnabled(bool enabled);
    // Flips a check mark its handler owns and answers the new state.
    bool toggle(const char* name, int index = -1);
    // Checks one member of a family and clears the others; -1 clears them all.
    void checkFamily(const char* name, int checkedIndex);
    // Checks the member whose value, in the family's list of values in menu order, is value;
    // none when no member has it.
    template <typename Values>
    void checkFamilyByValue(const char* name, const Values& values, int value)
    {
        const auto found = std::find(std::begin(values), std::end(values), value);
        checkFamily(name, found == std::end(values) ? -1 : int(found - std::begin(values)));
    }

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
