#include "window/NoteMenus.h"

#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

namespace {
using namespace NoteMenus;

constexpr unsigned Check = Checkable;
constexpr unsigned CheckOn = Checkable | Checked;

// The commands behind the items; index is the item's place in its family.
// clang-format off
void onNew(frmMain& w, int) { w.NewNoteWindow(); }
void onOpen(frmMain& w, int) { w.OpenNoteFile(); }
void onSave(frmMain& w, int index) { w.PerformSave(static_cast<SaveKind>(index)); }
void onClose(frmMain& w, int) { w.close(); }
void onEdit(frmMain& w, int index) { w.mnuEdit_Click(index); }
void onInsertDateTime(frmMain& w, int index) { w.mnuInsertDateTime_Click(index); }
void onAutoSave(frmMain& w, int) { w.mnuAutoSave_Click(); }
void onNewNoteSaveOnClose(frmMain& w, int) { w.mnuNewNoteSaveOnClose_Click(); }
void onSaveSettings(frmMain& w, int) { w.mnuSaveSettings_Click(); }
void onHelp(frmMain& w, int) { w.ShowNotImplemented(); }
void onMinimize(frmMain& w, int) { w.MinimizeNote(); }
void onDefaultSize(frmMain& w, int) { w.mnuSystemDefaultSize_Click(); }
void onRestore(frmMain& w, int) { w.RestoreNote(); }
void onReset(frmMain& w, int) { w.mnuSystemReset_Click(); }
void onSelectEdit(frmMain& w, int index) { w.mnuSelectEdit_Click(index); }
void onCaptionType(frmMain& w, int index) { w.mnuCaptionType_Click(static_cast<CaptionKind>(index)); }
void onInsert(frmMain& w, int index) { w.mnuInsert_Click(index); }
void onFontNormal(frmMain& w, int) { w.mnuFontNormal_Click(); }
void onFontItalic(frmMain& w, int) { w.mnuFontItalic_Click(); }
void onFontUnderline(frmMain& w, int) { w.mnuFontUnderline_Click(); }
void onFontBold(frmMain& w, int) { w.mnuFontBold_Click(); }
void onFontSize(frmMain& w, int index) { w.mnuFontSize_Click(index); }
void onAlignment(frmMain& w, int index) { w.mnuAlignment_Click(index); }
void onBullets(frmMain& w, int index) { w.mnuBullets_Click(index); }
void onIndent(frmMain& w, int index) { w.mnuIndent_Click(index); }
void onFontFamily(frmMain& w, int) { w.mnuFontFamily_Click(); }
void onStrikeOut(frmMain& w, int index) { w.mnuStrikeOut_Click(index); }
void onSelectFontSize(frmMain& w, int index) { w.mnuSelectFontSize_Click(index); }
void onSelectStyle(frmMain& w, int index) { w.mnuSelectStyle_Click(index); }
void onRemoveFormat(frmMain& w, int) { w.mnuRemoveFormat_Click(); }
void onSelectAlignment(frmMain& w, int index) { w.mnuSelectAlignment_Click(index); }
void onSelectBullet(frmMain& w, int index) { w.mnuSelectBullet_Click(index); }
void onSelectIndent(frmMain& w, int index) { w.mnuSelectIndent_Click(index); }
void onSetColor(frmMain& w, int index) { w.mnuSetColor_Click(index); }
void onTransparent(frmMain& w, int index) { w.mnuTransparent_Click(index); }
void onTop(frmMain& w, int) { w.mnuTop_Click(); }
void onFontColors(frmMain& w, int) { w.mnuFontColors_Click(); }
void onPrint(frmMain& w, int) { w.mnuPrint_Click(); }
void onEmail(frmMain& w, int) { w.EmailNote(); }
void onCheckSpelling(frmMain& w, int) { w.CheckSpelling(); }
void onMultiNote(frmMain& w, int) { w.mnuMulitNote_Click(); }
void onUlmar(frmMain& w, int) { w.mnuUlmar_Click(); }
void onAbout(frmMain& w, int) { w.mnuAbout_Click(); }

// The "Special Note" submenu's items come from the special-note engine's kind table.
std::vector<Entry> withSpecialNoteItems(std::vector<Entry> entries)
{
    const auto submenu = std::find_if(entries.begin(), entries.end(), [](const Entry& entry) {
        return qstrcmp(entry.name, mnuSpecial) == 0;
    });
    const std::vector<Entry> items = SpecialNoteEngine::menuEntries();
    entries.insert(submenu + 1, items.begin(), items.end());
    return entries;
}

const std::vector<Entry> kEntries = withSpecialNoteItems({
    // The main popup menu.
    {PopUpMenu, mnuRecent, -1, "Recent", "", "", Submenu | Hidden},
    {mnuRecent, mnuMRU, -1, "Note 1", "", "", None},
    {PopUpMenu, mnuNew, -1, "&New", "Ctrl+N", "NewNote", None, onNew},
    {PopUpMenu, mnuOpen, -1, "&Open", "Ctrl+O", "Open", None, onOpen},
    {PopUpMenu, mnuSpecial, -1, "Special Note", "", "", Submenu},
    {PopUpMenu, mnuMulitNote, -1, "Multi-Note Manager", "", "", None, onMultiNote},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, mnuSave, 0, "&Save", "Ctrl+S", "Save", None, onSave},
    {PopUpMenu, mnuSave, 1, "Save As", "", "", None, onSave},
    {PopUpMenu, mnuSave, 2, "Append To", "", "", None, onSave},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, mnuEmail, -1, "Email Content", "Ctrl+Y", "Email", None, onEmail},
    {PopUpMenu, mnuPrint, -1, "&Print", "Ctrl+P", "Print", None, onPrint},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, mnuEdit, 0, "&Paste", "Ctrl+V", "Paste", None, onEdit},
    {PopUpMenu, mnuEdit, 1, "Paste Plain Text", "", "PasteAsText", None, onEdit},
    {PopUpMenu, mnuEdit, 2, "Undo", "Ctrl+Z", "Undo", None, onEdit},
    {PopUpMenu, mnuEdit, 3, "Clear All", "", "Clear", None, onEdit},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, mnuInsertmain, -1, "Insert Special", "", "", Submenu},
    {mnuInsertmain, mnuInsert, 0, "Date / Time Stamp", "", "", Submenu},
    {MenuRef{mnuInsert, 0}, mnuInsertDateTime, 0, "Date / Time", "F6", "", None, onInsertDateTime},
    {MenuRef{mnuInsert, 0}, mnuInsertDateTime, 1, "Date (long)", "Shift+F6", "", None, onInsertDateTime},
    {MenuRef{mnuInsert, 0}, mnuInsertDateTime, 2, "Date (short)", "Ctrl+F6", "", None, onInsertDateTime},
    {mnuInsertmain, mnuInsert, 1, "Degree", "", "", None, onInsert},
    {mnuInsertmain, mnuInsert, 2, "Copyright", "", "", None, onInsert},
    {mnuInsertmain, mnuInsert, 3, "Ellipsis", "", "", None, onInsert},
    {mnuInsertmain, mnuInsert, 4, "Registered Trademark", "", "", None, onInsert},
    {mnuInsertmain, mnuInsert, 5, "Pound", "", "", None, onInsert},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, mnuCheckSpelling, -1, "Check Spelling", "F7", "Spell", None, onCheckSpelling},
    {PopUpMenu, mnuContentOptions, -1, "Content Options", "", "", Submenu},
    {mnuContentOptions, mnuFont, -1, "Font", "", "FontStyle", Submenu},
    {mnuFont, mnuFontStyle, -1, "Style", "", "", Submenu},
    {mnuFontStyle, mnuFontNormal, -1, "Normal", "", "", CheckOn, onFontNormal},
    {mnuFontStyle, mnuFontItalic, -1, "Italic", "", "Italic", Check, onFontItalic},
    {mnuFontStyle, mnuFontUnderline, -1, "Underline", "", "Underline", Check, onFontUnderline},
    {mnuFontStyle, mnuFontBold, -1, "Bold", "", "Bold", Check, onFontBold},
    {mnuFont, mnuFontSizes, -1, "Size", "", "", Submenu},
    {mnuFontSizes, mnuFontSize, 0, "Small", "", "", Check, onFontSize},
    {mnuFontSizes, mnuFontSize, 1, "Normal", "", "", CheckOn, onFontSize},
    {mnuFontSizes, mnuFontSize, 2, "Medium", "", "", Check, onFontSize},
    {mnuFontSizes, mnuFontSize, 3, "Large", "", "", Check, onFontSize},
    {mnuFontSizes, mnuFontSize, 4, "Largest", "", "", Check, onFontSize},
    {mnuFont, mnuFontColors, -1, "Color", "", "", None, onFontColors},
    {mnuContentOptions, mnuParagraph, -1, "Paragraph", "", "", Submenu},
    {mnuParagraph, mnuAlignmentMain, -1, "Alignment", "", "", Submenu},
    {mnuAlignmentMain, mnuAlignment, 0, "Left", "", "", None, onAlignment},
    {mnuAlignmentMain, mnuAlignment, 1, "Center", "", "", None, onAlignment},
    {mnuAlignmentMain, mnuAlignment, 2, "Right", "", "", None, onAlignment},
    {mnuParagraph, mnuBulletsMain, -1, "Bullets", "", "Bullets", Submenu},
    {mnuBulletsMain, mnuBullets, 0, "Add New", "", "", None, onBullets},
    {mnuBulletsMain, mnuBullets, 1, "Remove existing", "", "", None, onBullets},
    {mnuParagraph, mnuIndentMain, -1, "Indent", "", "", Submenu},
    {mnuIndentMain, mnuIndent, 0, "Increase", "", "IncreaseIndent", None, onIndent},
    {mnuIndentMain, mnuIndent, 1, "Decrease", "", "DecreaseIndent", None, onIndent},
    {PopUpMenu, mnuNoteOptions, -1, "Note Options", "", "Options", Submenu},
    {mnuNoteOptions, mnuFontFamily, -1, "Font Family", "", "", None, onFontFamily},
    {mnuNoteOptions, mnuColor, -1, "Color", "", "Color", Submenu},
    {mnuColor, mnuSetColor, 0, "Yellow", "", "", CheckOn, onSetColor},
    {mnuColor, mnuSetColor, 1, "Blue", "", "", Check, onSetColor},
    {mnuColor, mnuSetColor, 2, "Green", "", "", Check, onSetColor},
    {mnuColor, mnuSetColor, 3, "Red", "", "", Check, onSetColor},
    {mnuColor, mnuSetColor, 4, "Grey", "", "", Check, onSetColor},
    {mnuColor, mnuSetColor, 5, "Peach", "", "", Check, onSetColor},
    {mnuColor, mnuSetColor, 6, "Purple", "", "", Check, onSetColor},
    {mnuColor, mnuSetColor, 7, "Tang", "", "", Check, onSetColor},
    {mnuColor, mnuSetColor, 8, "", "", "", Separator},
    {mnuColor, mnuSetColor, 9, "Custom Color", "", "Color", Check, onSetColor},
    {mnuNoteOptions, mnuTransparentMain, -1, "Transparency", "", "", Submenu},
    {mnuTransparentMain, mnuTransparent, 0, "Low", "", "", Check, onTransparent},
    {mnuTransparentMain, mnuTransparent, 1, "Medium", "", "", Check, onTransparent},
    {mnuTransparentMain, mnuTransparent, 2, "High", "", "", Check, onTransparent},
    {mnuTransparentMain, mnuTransparent, 3, "Off", "", "", CheckOn, onTransparent},
    {mnuNoteOptions, mnuTop, -1, "Always on Top", "", "Ontop", CheckOn, onTop},
    {mnuNoteOptions, mnuAutoSave, -1, "Autosave Note on Close", "", "", Check, onAutoSave},
    {mnuNoteOptions, mnuNewNoteSaveOnClose, -1, "Save New Note on Close", "", "", Check, onNewNoteSaveOnClose},
    {mnuNoteOptions, mnuSaveSettings, -1, "Save Settings", "", "", Check, onSaveSettings},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, mnuAboutMain, -1, "About", "", "About", Submenu},
    {mnuAboutMain, mnuHelp, -1, "Help", "", "Help", Hidden, onHelp},
    {mnuAboutMain, mnuUlmar, -1, "Ulmar's Website", "", "", None, onUlmar},
    {mnuAboutMain, mnuAbout, -1, "Jottex", "", "NewNote", None, onAbout},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, mnuTest, -1, "Test", "", "", Hidden},
    {PopUpMenu, mnuClose, -1, "Close", "", "", None, onClose},

    // The icon menu.
    {SystemMenu, mnuSystemNew, -1, "&New", "", "", None, onNew},
    {SystemMenu, mnuSystemMinimize, -1, "Minimize", "", "Minimize", None, onMinimize},
    {SystemMenu, mnuSystemDefaultSize, -1, "Default Size", "", "", None, onDefaultSize},
    {SystemMenu, mnuSystemRestore, -1, "Restore Size", "", "Restore", None, onRestore},
    {SystemMenu, "", -1, "", "", "", Separator},
    {SystemMenu, mnuSystemReset, -1, "Reset", "", "", None, onReset},
    {SystemMenu, mnuSystemClose, -1, "Close", "", "", None, onClose},

    // The selection menu.
    {PopUpSelect, mnuStrikeOut, 0, "Strike-Out", "", "Strike", None, onStrikeOut},
    {PopUpSelect, mnuStrikeOut, 1, "Remove", "", "Font", None, onStrikeOut},
    {PopUpSelect, "", -1, "", "", "", Separator},
    {PopUpSelect, mnuSelectSpelling, -1, "Check Spelling", "", "", None, onCheckSpelling},
    {PopUpSelect, mnuEmailSelection, -1, "Email Selection", "", "Email", None, onEmail},
    {PopUpSelect, "", -1, "", "", "", Separator},
    {PopUpSelect, mnuSelectEdit, 0, "Cut", "Ctrl+X", "Cut", None, onSelectEdit},
    {PopUpSelect, mnuSelectEdit, 1, "Copy", "Ctrl+C", "Copy", None, onSelectEdit},
    {PopUpSelect, mnuSelectEdit, 2, "Paste", "", "", None, onSelectEdit},
    {PopUpSelect, mnuSelectEdit, 3, "Undo", "", "", None, onSelectEdit},
    {PopUpSelect, "", -1, "", "", "", Separator},
    {PopUpSelect, mnuSelectSize, -1, "Font Size", "", "", Submenu},
    {mnuSelectSize, mnuSelectFontSize, 0, "Small", "", "", None, onSelectFontSize},
    {mnuSelectSize, mnuSelectFontSize, 1, "Normal", "", "", None, onSelectFontSize},
    {mnuSelectSize, mnuSelectFontSize, 2, "Medium", "", "", None, onSelectFontSize},
    {mnuSelectSize, mnuSelectFontSize, 3, "Large", "", "", None, onSelectFontSize},
    {mnuSelectSize, mnuSelectFontSize, 4, "Largest", "", "", None, onSelectFontSize},
    {PopUpSelect, mnuSelectFontStyle, -1, "Font Style", "", "", Submenu},
    {mnuSelectFontStyle, mnuSelectStyle, 0, "Italic", "", "", None, onSelectStyle},
    {mnuSelectFontStyle, mnuSelectStyle, 1, "Underline", "", "", None, onSelectStyle},
    {mnuSelectFontStyle, mnuSelectStyle, 2, "Bold", "", "", None, onSelectStyle},
    {PopUpSelect, mnuRemoveFormat, -1, "No Format", "", "Clear", None, onRemoveFormat},
    {PopUpSelect, "", -1, "", "", "", Separator},
    {PopUpSelect, mnuSelectParagraph, -1, "Paragraph", "", "", Submenu},
    {mnuSelectParagraph, mnuSelectAlignmentMain, -1, "Alignment", "", "", Submenu},
    {mnuSelectAlignmentMain, mnuSelectAlignment, 0, "Left", "", "", None, onSelectAlignment},
    {mnuSelectAlignmentMain, mnuSelectAlignment, 1, "Center", "", "", None, onSelectAlignment},
    {mnuSelectAlignmentMain, mnuSelectAlignment, 2, "Right", "", "", None, onSelectAlignment},
    {mnuSelectParagraph, mnuSelectBulletMain, -1, "Bullets", "", "", Submenu},
    {mnuSelectBulletMain, mnuSelectBullet, 0, "Add new", "", "", None, onSelectBullet},
    {mnuSelectBulletMain, mnuSelectBullet, 1, "Remove existing", "", "", None, onSelectBullet},
    {mnuSelectParagraph, mnuSelectIndentMain, -1, "Indent", "", "", Submenu},
    {mnuSelectIndentMain, mnuSelectIndent, 0, "Increase", "", "", None, onSelectIndent},
    {mnuSelectIndentMain, mnuSelectIndent, 1, "Decrease", "", "", None, onSelectIndent},

    // The subcaption menu.
    {PopupCaption, mnuCaptionType, 0, "Time / Date Stamp", "", "", Check, onCaptionType},
    {PopupCaption, mnuCaptionType, 1, "Word Count", "", "", Check, onCaptionType},
    {PopupCaption, mnuCaptionType, 2, "Character Count", "", "", Check, onCaptionType},
    {PopupCaption, mnuCaptionType, 3, "Note Filename", "", "", Check, onCaptionType},
});
// clang-format on

QString shownText(const Entry& entry)
{
    QString text = QString::fromUtf8(entry.caption);
    if (*entry.shortcut)
        text += QLatin1Char('\t') + QString::fromLatin1(entry.shortcut);
    return text;
}

QString parentName(const Entry& entry)
{
    return objectName(entry.parent.name, entry.parent.index);
}

QAction* addAction(QMenu* parent, const Entry& entry, frmMain* owner, Built& built)
{
    if (entry.flags & Separator)
        return parent->addSeparator();
    if (entry.flags & Submenu) {
        QMenu* submenu = parent->addMenu(shownText(entry));
        const QString name = objectName(entry.name, entry.index);
        submenu->setObjectName(name);
        built.menus.insert(name, submenu);
        return submenu->menuAction();
    }
    QAction* action = parent->addAction(shownText(entry));
    if (const Handler handler = entry.handler) {
        const int index = entry.index;
        // Handlers set check marks themselves, so Qt's own toggle is undone first.
        QObject::connect(action, &QAction::triggered, owner, [owner, handler, index, action] {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            handler(*owner, index);
        });
    }
    return action;
}
} // namespace

QString NoteMenus::objectName(const char* name, int index)
{
    const QString text = QString::fromLatin1(name);
    return index < 0 ? text : QStringLiteral("%1(%2)").arg(text).arg(index);
}

const std::vector<NoteMenus::Entry>& NoteMenus::entries()
{
    return kEntries;
}

const NoteMenus::Entry* NoteMenus::find(const char* name, int index)
{
    const int place = position(name, index);
    return place < 0 ? nullptr : &kEntries[size_t(place)];
}

int NoteMenus::position(const char* name, int index)
{
    if (!*name)
        return -1; // separators without a name are nobody's item
    const auto found = std::find_if(kEntries.begin(), kEntries.end(), [&](const Entry& e) {
        return e.index == index && qstrcmp(e.name, name) == 0;
    });
    return found == kEntries.end() ? -1 : static_cast<int>(found - kEntries.begin());
}

int NoteMenus::familySize(const char* name)
{
    return static_cast<int>(std::count_if(kEntries.begin(), kEntries.end(), [name](const Entry& e) {
        return e.index >= 0 && qstrcmp(e.name, name) == 0;
    }));
}

NoteMenus::Built NoteMenus::build(frmMain* owner)
{
    Built built;
    built.actions.reserve(kEntries.size());
    for (const char* top : {PopUpMenu, SystemMenu, PopUpSelect, PopupCaption}) {
        auto* menu = new QMenu(owner);
        menu->setObjectName(QString::fromLatin1(top));
        built.menus.insert(menu->objectName(), menu);
    }
    for (const Entry& entry : kEntries) {
        QMenu* parent = built.menus.value(parentName(entry));
        QAction* action = parent ? addAction(parent, entry, owner, built) : nullptr;
        if (action) {
            action->setCheckable(entry.flags & Checkable);
            if (*entry.name)
                action->setObjectName(objectName(entry.name, entry.index));
        }
        built.actions.push_back(action);
    }
    return built;
}
