#pragma once

#include "window/MenuFamilies.h"

#include <QHash>
#include <QKeySequence>
#include <QString>
#include <span>
#include <vector>

class QAction;
class QMenu;
class frmMain;

// The note window's four popup menus, built from one table: every item with its object
// name, index within its family, caption, key, image key, initial state and the handler that
// choosing it runs. The key is both what the item shows beside its caption and what the
// window's key table runs.
namespace NoteMenus {

enum Flag : unsigned {
    None = 0,
    Hidden = 1,
    Checked = 2,
    Checkable = 4,
    Separator = 8,
    Submenu = 16,
    // The item changes the note's text; a note shown only in part offers none of these.
    EditsText = 32,
};

// What choosing an item does; index is the item's place in its family.
using Handler = void (*)(frmMain& window, int index);

// A menu by name, or a member of a family that is itself a submenu.
struct MenuRef {
    const char* name;
    int index = -1;
    constexpr MenuRef(const char* menuName, int familyIndex = -1)
        : name(menuName), index(familyIndex)
    {
    }
};

// The modifiers an item's key needs when it is released.
enum class Mods : unsigned char {
    Plain,       // neither Ctrl nor Shift
    Ctrl,        // Ctrl, with or without Shift
    ShiftNoCtrl, // Shift without Ctrl
    CtrlShift,   // Ctrl and Shift
    Any,         // whatever is held, shown as the bare key
};

// Who carries an item's key out: the window, when the key is released in the text area, or
// the text area itself as one of its own editing keys, which the item only shows.
enum class KeyOwner : unsigned char { Window, TextArea };

struct Key {
    int key = 0; // a Qt::Key; 0: the item has no key
    Mods mods = Mods::Plain;
    KeyOwner owner = KeyOwner::Window;

    bool matches(int released, Qt::KeyboardModifiers held) const;
    // As the menu shows it: "Ctrl+N", "Shift+F6", "F7"; empty for an item without a key.
    QKeySequence sequence() const;
};

struct Entry {
    MenuRef parent;   // the menu that holds the item
    const char* name; // the item's name; a family shares one name
    int index;        // position in its family, -1 for a single item
    const char* caption;
    Key key;
    const char* imageKey; // menu image, unless the window changes it
    unsigned flags;
    Handler handler = nullptr; // none: the item has no command yet
};

// The four top-level popups.
inline constexpr char PopUpMenu[] = "mnuPopUpMenu";
inline constexpr char SystemMenu[] = "mnuSystemMenu";
inline constexpr char PopUpSelect[] = "mnuPopUpSelect";
inline constexpr char PopupCaption[] = "mnuPopupCaption";

// Every item name, so that a lookup by a misspelt name does not compile.
inline constexpr char mnuRecent[] = "mnuRecent";
inline constexpr char mnuMRU[] = "mnuMRU";
inline constexpr char mnuNew[] = "mnuNew";
inline constexpr char mnuOpen[] = "mnuOpen";
inline constexpr char mnuSpecial[] = "mnuSpecial";
inline constexpr char mnuSNTime[] = "mnuSNTime";
inline constexpr char mnuSNReminder[] = "mnuSNReminder";
inline constexpr char mnuSNRSSFeed[] = "mnuSNRSSFeed";
inline constexpr char mnuSNWeather[] = "mnuSNWeather";
inline constexpr char mnuSNStockQuote[] = "mnuSNStockQuote";
inline constexpr char mnuSNWebsiteStatus[] = "mnuSNWebsiteStatus";
inline constexpr char mnuSNNotes[] = "mnuSNNotes";
inline constexpr char mnuSNClipboard[] = "mnuSNClipboard";
inline constexpr char mnuSNClipboardLog[] = "mnuSNClipboardLog";
inline constexpr char mnuSNComputerMemory[] = "mnuSNComputerMemory";
inline constexpr char mnuSNDrives[] = "mnuSNDrives";
inline constexpr char mnuClearSpecial[] = "mnuClearSpecial";
inline constexpr char mnuMulitNote[] = "mnuMulitNote";
inline constexpr char mnuSave[] = "mnuSave";
inline constexpr char mnuEmail[] = "mnuEmail";
inline constexpr char mnuPrint[] = "mnuPrint";
inline constexpr char mnuEdit[] = "mnuEdit";
inline constexpr char mnuInsertmain[] = "mnuInsertmain";
inline constexpr char mnuInsert[] = "mnuInsert";
inline constexpr char mnuInsertDateTime[] = "mnuInsertDateTime";
inline constexpr char mnuCheckSpelling[] = "mnuCheckSpelling";
inline constexpr char mnuContentOptions[] = "mnuContentOptions";
inline constexpr char mnuFont[] = "mnuFont";
inline constexpr char mnuFontStyle[] = "mnuFontStyle";
inline constexpr char mnuFontNormal[] = "mnuFontNormal";
inline constexpr char mnuFontItalic[] = "mnuFontItalic";
inline constexpr char mnuFontUnderline[] = "mnuFontUnderline";
inline constexpr char mnuFontBold[] = "mnuFontBold";
inline constexpr char mnuFontSizes[] = "mnuFontSizes";
inline constexpr char mnuFontSize[] = "mnuFontSize";
inline constexpr char mnuFontColors[] = "mnuFontColors";
inline constexpr char mnuParagraph[] = "mnuParagraph";
inline constexpr char mnuAlignmentMain[] = "mnuAlignmentMain";
inline constexpr char mnuAlignment[] = "mnuAlignment";
inline constexpr char mnuBulletsMain[] = "mnuBulletsMain";
inline constexpr char mnuBullets[] = "mnuBullets";
inline constexpr char mnuIndentMain[] = "mnuIndentMain";
inline constexpr char mnuIndent[] = "mnuIndent";
inline constexpr char mnuNoteOptions[] = "mnuNoteOptions";
inline constexpr char mnuFontFamily[] = "mnuFontFamily";
inline constexpr char mnuColor[] = "mnuColor";
inline constexpr char mnuSetColor[] = "mnuSetColor";
inline constexpr char mnuTransparentMain[] = "mnuTransparentMain";
inline constexpr char mnuTransparent[] = "mnuTransparent";
inline constexpr char mnuTop[] = "mnuTop";
inline constexpr char mnuAllWorkspaces[] = "mnuAllWorkspaces";
inline constexpr char mnuAutoSave[] = "mnuAutoSave";
inline constexpr char mnuNewNoteSaveOnClose[] = "mnuNewNoteSaveOnClose";
inline constexpr char mnuSaveSettings[] = "mnuSaveSettings";
inline constexpr char mnuNotesFolder[] = "mnuNotesFolder";
inline constexpr char mnuAboutMain[] = "mnuAboutMain";
inline constexpr char mnuHelp[] = "mnuHelp";
inline constexpr char mnuUlmar[] = "mnuUlmar";
inline constexpr char mnuAbout[] = "mnuAbout";
inline constexpr char mnuTest[] = "mnuTest";
inline constexpr char mnuClose[] = "mnuClose";
inline constexpr char mnuSystemNew[] = "mnuSystemNew";
inline constexpr char mnuSystemMinimize[] = "mnuSystemMinimize";
inline constexpr char mnuSystemDefaultSize[] = "mnuSystemDefaultSize";
inline constexpr char mnuSystemRestore[] = "mnuSystemRestore";
inline constexpr char mnuSystemReset[] = "mnuSystemReset";
inline constexpr char mnuSystemClose[] = "mnuSystemClose";
inline constexpr char mnuStrikeOut[] = "mnuStrikeOut";
inline constexpr char mnuSelectSpelling[] = "mnuSelectSpelling";
inline constexpr char mnuEmailSelection[] = "mnuEmailSelection";
inline constexpr char mnuSelectEdit[] = "mnuSelectEdit";
inline constexpr char mnuSelectSize[] = "mnuSelectSize";
inline constexpr char mnuSelectFontSize[] = "mnuSelectFontSize";
inline constexpr char mnuSelectFontStyle[] = "mnuSelectFontStyle";
inline constexpr char mnuSelectStyle[] = "mnuSelectStyle";
inline constexpr char mnuRemoveFormat[] = "mnuRemoveFormat";
inline constexpr char mnuSelectParagraph[] = "mnuSelectParagraph";
inline constexpr char mnuSelectAlignmentMain[] = "mnuSelectAlignmentMain";
inline constexpr char mnuSelectAlignment[] = "mnuSelectAlignment";
inline constexpr char mnuSelectBulletMain[] = "mnuSelectBulletMain";
inline constexpr char mnuSelectBullet[] = "mnuSelectBullet";
inline constexpr char mnuSelectIndentMain[] = "mnuSelectIndentMain";
inline constexpr char mnuSelectIndent[] = "mnuSelectIndent";
inline constexpr char mnuCaptionType[] = "mnuCaptionType";

// The object name of an item: "mnuNew", or "mnuSave(1)" for a member of a family.
QString objectName(const char* name, int index = -1);

// Every entry, in menu order.
std::span<const Entry> entries();

// The entries whose key the window runs on its release, in menu order: the window's key table.
const std::vector<const Entry*>& keyTable();

// The entry of an item, or null when the table has none.
const Entry* find(const char* name, int index = -1);
// The place of an item's entry in entries(), or -1 when the table has none.
int position(const char* name, int index = -1);

// The number of members of a family (separators among them included).
int familySize(const char* name);

struct Built {
    QHash<QString, QMenu*> menus;  // by object name, top-level and submenus
    std::vector<QAction*> actions; // by place in entries()
};

// Builds the menus as children of owner; choosing an item runs its handler on owner. Only
// checkable comes from the flags: the caller gives the actions their state and images.
Built build(frmMain* owner);

} // namespace NoteMenus
