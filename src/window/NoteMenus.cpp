#include "window/NoteMenus.h"

#include "window/NoteAppearance.h"
#include "window/NoteEditor.h"
#include "window/NoteHandoff.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <algorithm>
#include <string_view>

namespace {
using namespace NoteMenus;

constexpr unsigned Check = Checkable;
constexpr unsigned CheckOn = Checkable | Checked;

// A family member's index, by its name in the family's enum.
template <typename Family> constexpr int at(Family member)
{
    return static_cast<int>(member);
}

// One of the text area's own editing keys, with Ctrl.
constexpr Key TextAreaKey(int key)
{
    return Key{key, Mods::Ctrl, KeyOwner::TextArea};
}

// The commands behind the items; index is the item's place in its family.
// clang-format off
void onNew(frmMain& w, int) { w.NewNoteWindow(); }
void onOpen(frmMain& w, int) { w.OpenNoteFile(); }
void onSave(frmMain& w, int index) { w.PerformSave(static_cast<SaveKind>(index)); }
void onClose(frmMain& w, int) { w.close(); }
void onEdit(frmMain& w, int index) { w.editor().mnuEdit_Click(index); }
void onInsertDateTime(frmMain& w, int index) { w.editor().mnuInsertDateTime_Click(index); }
void onAutoSave(frmMain& w, int) { w.mnuAutoSave_Click(); }
void onNewNoteSaveOnClose(frmMain& w, int) { w.mnuNewNoteSaveOnClose_Click(); }
void onSaveSettings(frmMain& w, int) { w.mnuSaveSettings_Click(); }
void onHelp(frmMain& w, int) { w.ShowNotImplemented(); }
void onMinimize(frmMain& w, int) { w.MinimizeNote(); }
void onDefaultSize(frmMain& w, int) { w.mnuSystemDefaultSize_Click(); }
void onRestore(frmMain& w, int) { w.RestoreNote(); }
void onReset(frmMain& w, int) { w.mnuSystemReset_Click(); }
void onSelectEdit(frmMain& w, int index) { w.editor().mnuSelectEdit_Click(index); }
void onCaptionType(frmMain& w, int index) { w.mnuCaptionType_Click(static_cast<CaptionKind>(index)); }
void onInsert(frmMain& w, int index) { w.editor().mnuInsert_Click(index); }
void onFontNormal(frmMain& w, int) { w.editor().mnuFontNormal_Click(); }
void onFontItalic(frmMain& w, int) { w.editor().mnuFontItalic_Click(); }
void onFontUnderline(frmMain& w, int) { w.editor().mnuFontUnderline_Click(); }
void onFontBold(frmMain& w, int) { w.editor().mnuFontBold_Click(); }
void onFontSize(frmMain& w, int index) { w.editor().mnuFontSize_Click(index); }
void onAlignment(frmMain& w, int index) { w.editor().mnuAlignment_Click(index); }
void onBullets(frmMain& w, int index) { w.editor().mnuBullets_Click(index); }
void onIndent(frmMain& w, int index) { w.editor().mnuIndent_Click(index); }
void onFontFamily(frmMain& w, int) { w.editor().mnuFontFamily_Click(); }
void onStrikeOut(frmMain& w, int index) { w.editor().mnuStrikeOut_Click(index); }
void onSelectFontSize(frmMain& w, int index) { w.editor().mnuSelectFontSize_Click(index); }
void onSelectStyle(frmMain& w, int index) { w.editor().mnuSelectStyle_Click(index); }
void onRemoveFormat(frmMain& w, int) { w.editor().mnuRemoveFormat_Click(); }
void onSelectAlignment(frmMain& w, int index) { w.editor().mnuSelectAlignment_Click(index); }
void onSelectBullet(frmMain& w, int index) { w.editor().mnuSelectBullet_Click(index); }
void onSelectIndent(frmMain& w, int index) { w.editor().mnuSelectIndent_Click(index); }
void onSetColor(frmMain& w, int index) { w.appearance().mnuSetColor_Click(index); }
void onTransparent(frmMain& w, int index) { w.appearance().mnuTransparent_Click(index); }
void onTop(frmMain& w, int) { w.appearance().mnuTop_Click(); }
void onAllWorkspaces(frmMain& w, int) { w.appearance().mnuAllWorkspaces_Click(); }
void onFontColors(frmMain& w, int) { w.appearance().mnuFontColors_Click(); }
void onPrint(frmMain& w, int) { w.handoff().mnuPrint_Click(); }
void onEmail(frmMain& w, int) { w.handoff().EmailNote(); }
void onCheckSpelling(frmMain& w, int) { w.handoff().CheckSpelling(); }
void onMultiNote(frmMain& w, int) { w.mnuMulitNote_Click(); }
void onUlmar(frmMain& w, int) { w.mnuUlmar_Click(); }
void onAbout(frmMain& w, int) { w.mnuAbout_Click(); }
void onNotesFolder(frmMain& w, int) { w.mnuNotesFolder_Click(); }

constexpr Entry kEntries[]{
    // The main popup menu.
    {PopUpMenu, mnuRecent, -1, QT_TRANSLATE_NOOP("NoteMenus", "Recent"), {}, "", Submenu | Hidden},
    {mnuRecent, mnuMRU, -1, QT_TRANSLATE_NOOP("NoteMenus", "Note 1"), {}, "", None},
    {PopUpMenu, mnuNew, -1, QT_TRANSLATE_NOOP("NoteMenus", "&New"), Key{Qt::Key_N, Mods::Ctrl}, "NewNote", None, onNew},
    {PopUpMenu, mnuOpen, -1, QT_TRANSLATE_NOOP("NoteMenus", "&Open"), Key{Qt::Key_O, Mods::Ctrl}, "Open", None, onOpen},
    {PopUpMenu, mnuSpecial, -1, QT_TRANSLATE_NOOP("NoteMenus", "Special Note"), {}, "", Submenu | EditsText},
    {PopUpMenu, mnuMulitNote, -1, QT_TRANSLATE_NOOP("NoteMenus", "Multi-Note Manager"), {}, "", None, onMultiNote},
    {PopUpMenu, "", -1, "", {}, "", Separator},
    {PopUpMenu, mnuSave, at(SaveKind::Save), QT_TRANSLATE_NOOP("NoteMenus", "&Save"), Key{Qt::Key_S, Mods::Ctrl}, "Save", None, onSave},
    {PopUpMenu, mnuSave, at(SaveKind::SaveAs), QT_TRANSLATE_NOOP("NoteMenus", "Save As"), {}, "", None, onSave},
    {PopUpMenu, mnuSave, at(SaveKind::AppendTo), QT_TRANSLATE_NOOP("NoteMenus", "Append To"), {}, "", None, onSave},
    {PopUpMenu, "", -1, "", {}, "", Separator},
    {PopUpMenu, mnuEmail, -1, QT_TRANSLATE_NOOP("NoteMenus", "Email Content"), Key{Qt::Key_Y, Mods::Ctrl}, "Email", None, onEmail},
    {PopUpMenu, mnuPrint, -1, QT_TRANSLATE_NOOP("NoteMenus", "&Print"), Key{Qt::Key_P, Mods::Ctrl}, "Print", None, onPrint},
    {PopUpMenu, "", -1, "", {}, "", Separator},
    {PopUpMenu, mnuEdit, at(EditItem::Paste), QT_TRANSLATE_NOOP("NoteMenus", "&Paste"), TextAreaKey(Qt::Key_V), "Paste", EditsText, onEdit},
    {PopUpMenu, mnuEdit, at(EditItem::PastePlainText), QT_TRANSLATE_NOOP("NoteMenus", "Paste Plain Text"), Key{Qt::Key_V, Mods::CtrlShift}, "PasteAsText", EditsText, onEdit},
    {PopUpMenu, mnuEdit, at(EditItem::Undo), QT_TRANSLATE_NOOP("NoteMenus", "Undo"), TextAreaKey(Qt::Key_Z), "Undo", EditsText, onEdit},
    {PopUpMenu, mnuEdit, at(EditItem::ClearAll), QT_TRANSLATE_NOOP("NoteMenus", "Clear All"), {}, "Clear", EditsText, onEdit},
    {PopUpMenu, "", -1, "", {}, "", Separator},
    {PopUpMenu, mnuInsertmain, -1, QT_TRANSLATE_NOOP("NoteMenus", "Insert Special"), {}, "", Submenu | EditsText},
    {mnuInsertmain, mnuInsert, at(InsertItem::DateTimeStamp), QT_TRANSLATE_NOOP("NoteMenus", "Date / Time Stamp"), {}, "", Submenu},
    {MenuRef{mnuInsert, 0}, mnuInsertDateTime, at(DateTimeItem::GeneralDate), QT_TRANSLATE_NOOP("NoteMenus", "Date / Time"), Key{Qt::Key_F6, Mods::Plain}, "", EditsText, onInsertDateTime},
    {MenuRef{mnuInsert, 0}, mnuInsertDateTime, at(DateTimeItem::LongDate), QT_TRANSLATE_NOOP("NoteMenus", "Date (long)"), Key{Qt::Key_F6, Mods::ShiftNoCtrl}, "", EditsText, onInsertDateTime},
    {MenuRef{mnuInsert, 0}, mnuInsertDateTime, at(DateTimeItem::ShortDate), QT_TRANSLATE_NOOP("NoteMenus", "Date (short)"), Key{Qt::Key_F6, Mods::Ctrl}, "", EditsText, onInsertDateTime},
    {mnuInsertmain, mnuInsert, at(InsertItem::Degree), QT_TRANSLATE_NOOP("NoteMenus", "Degree"), {}, "", EditsText, onInsert},
    {mnuInsertmain, mnuInsert, at(InsertItem::Copyright), QT_TRANSLATE_NOOP("NoteMenus", "Copyright"), {}, "", EditsText, onInsert},
    {mnuInsertmain, mnuInsert, at(InsertItem::Ellipsis), QT_TRANSLATE_NOOP("NoteMenus", "Ellipsis"), {}, "", EditsText, onInsert},
    {mnuInsertmain, mnuInsert, at(InsertItem::RegisteredTrademark), QT_TRANSLATE_NOOP("NoteMenus", "Registered Trademark"), {}, "", EditsText, onInsert},
    {mnuInsertmain, mnuInsert, at(InsertItem::Pound), QT_TRANSLATE_NOOP("NoteMenus", "Pound"), {}, "", EditsText, onInsert},
    {PopUpMenu, "", -1, "", {}, "", Separator},
    {PopUpMenu, mnuCheckSpelling, -1, QT_TRANSLATE_NOOP("NoteMenus", "Check Spelling"), Key{Qt::Key_F7, Mods::Any}, "Spell", EditsText, onCheckSpelling},
    {PopUpMenu, mnuContentOptions, -1, QT_TRANSLATE_NOOP("NoteMenus", "Content Options"), {}, "", Submenu | EditsText},
    {mnuContentOptions, mnuFont, -1, QT_TRANSLATE_NOOP("NoteMenus", "Font"), {}, "FontStyle", Submenu},
    {mnuFont, mnuFontStyle, -1, QT_TRANSLATE_NOOP("NoteMenus", "Style"), {}, "", Submenu},
    {mnuFontStyle, mnuFontNormal, -1, QT_TRANSLATE_NOOP("NoteMenus", "Normal"), {}, "", CheckOn | EditsText, onFontNormal},
    {mnuFontStyle, mnuFontItalic, -1, QT_TRANSLATE_NOOP("NoteMenus", "Italic"), {}, "Italic", Check | EditsText, onFontItalic},
    {mnuFontStyle, mnuFontUnderline, -1, QT_TRANSLATE_NOOP("NoteMenus", "Underline"), {}, "Underline", Check | EditsText, onFontUnderline},
    {mnuFontStyle, mnuFontBold, -1, QT_TRANSLATE_NOOP("NoteMenus", "Bold"), {}, "Bold", Check | EditsText, onFontBold},
    {mnuFont, mnuFontSizes, -1, QT_TRANSLATE_NOOP("NoteMenus", "Size"), {}, "", Submenu},
    {mnuFontSizes, mnuFontSize, at(FontSizeItem::Small), QT_TRANSLATE_NOOP("NoteMenus", "Small"), {}, "", Check | EditsText, onFontSize},
    {mnuFontSizes, mnuFontSize, at(FontSizeItem::Normal), QT_TRANSLATE_NOOP("NoteMenus", "Normal"), {}, "", CheckOn | EditsText, onFontSize},
    {mnuFontSizes, mnuFontSize, at(FontSizeItem::Medium), QT_TRANSLATE_NOOP("NoteMenus", "Medium"), {}, "", Check | EditsText, onFontSize},
    {mnuFontSizes, mnuFontSize, at(FontSizeItem::Large), QT_TRANSLATE_NOOP("NoteMenus", "Large"), {}, "", Check | EditsText, onFontSize},
    {mnuFontSizes, mnuFontSize, at(FontSizeItem::Largest), QT_TRANSLATE_NOOP("NoteMenus", "Largest"), {}, "", Check | EditsText, onFontSize},
    {mnuFont, mnuFontColors, -1, QT_TRANSLATE_NOOP("NoteMenus", "Color"), {}, "", EditsText, onFontColors},
    {mnuContentOptions, mnuParagraph, -1, QT_TRANSLATE_NOOP("NoteMenus", "Paragraph"), {}, "", Submenu},
    {mnuParagraph, mnuAlignmentMain, -1, QT_TRANSLATE_NOOP("NoteMenus", "Alignment"), {}, "", Submenu},
    {mnuAlignmentMain, mnuAlignment, at(AlignmentItem::Left), QT_TRANSLATE_NOOP("NoteMenus", "Left"), {}, "", EditsText, onAlignment},
    {mnuAlignmentMain, mnuAlignment, at(AlignmentItem::Center), QT_TRANSLATE_NOOP("NoteMenus", "Center"), {}, "", EditsText, onAlignment},
    {mnuAlignmentMain, mnuAlignment, at(AlignmentItem::Right), QT_TRANSLATE_NOOP("NoteMenus", "Right"), {}, "", EditsText, onAlignment},
    {mnuParagraph, mnuBulletsMain, -1, QT_TRANSLATE_NOOP("NoteMenus", "Bullets"), {}, "Bullets", Submenu},
    {mnuBulletsMain, mnuBullets, at(BulletItem::AddNew), QT_TRANSLATE_NOOP("NoteMenus", "Add New"), {}, "", EditsText, onBullets},
    {mnuBulletsMain, mnuBullets, at(BulletItem::RemoveExisting), QT_TRANSLATE_NOOP("NoteMenus", "Remove existing"), {}, "", EditsText, onBullets},
    {mnuParagraph, mnuIndentMain, -1, QT_TRANSLATE_NOOP("NoteMenus", "Indent"), {}, "", Submenu},
    {mnuIndentMain, mnuIndent, at(IndentItem::Increase), QT_TRANSLATE_NOOP("NoteMenus", "Increase"), {}, "IncreaseIndent", EditsText, onIndent},
    {mnuIndentMain, mnuIndent, at(IndentItem::Decrease), QT_TRANSLATE_NOOP("NoteMenus", "Decrease"), {}, "DecreaseIndent", EditsText, onIndent},
    {PopUpMenu, mnuNoteOptions, -1, QT_TRANSLATE_NOOP("NoteMenus", "Note Options"), {}, "Options", Submenu},
    {mnuNoteOptions, mnuFontFamily, -1, QT_TRANSLATE_NOOP("NoteMenus", "Font Family"), {}, "", None, onFontFamily},
    {mnuNoteOptions, mnuColor, -1, QT_TRANSLATE_NOOP("NoteMenus", "Color"), {}, "Color", Submenu},
    {mnuColor, mnuSetColor, at(ColorItem::Yellow), QT_TRANSLATE_NOOP("NoteMenus", "Yellow"), {}, "", CheckOn, onSetColor},
    {mnuColor, mnuSetColor, at(ColorItem::Blue), QT_TRANSLATE_NOOP("NoteMenus", "Blue"), {}, "", Check, onSetColor},
    {mnuColor, mnuSetColor, at(ColorItem::Green), QT_TRANSLATE_NOOP("NoteMenus", "Green"), {}, "", Check, onSetColor},
    {mnuColor, mnuSetColor, at(ColorItem::Red), QT_TRANSLATE_NOOP("NoteMenus", "Red"), {}, "", Check, onSetColor},
    {mnuColor, mnuSetColor, at(ColorItem::Grey), QT_TRANSLATE_NOOP("NoteMenus", "Grey"), {}, "", Check, onSetColor},
    {mnuColor, mnuSetColor, at(ColorItem::Peach), QT_TRANSLATE_NOOP("NoteMenus", "Peach"), {}, "", Check, onSetColor},
    {mnuColor, mnuSetColor, at(ColorItem::Purple), QT_TRANSLATE_NOOP("NoteMenus", "Purple"), {}, "", Check, onSetColor},
    {mnuColor, mnuSetColor, at(ColorItem::Tang), QT_TRANSLATE_NOOP("NoteMenus", "Tang"), {}, "", Check, onSetColor},
    {mnuColor, mnuSetColor, at(ColorItem::Separator), "", {}, "", Separator},
    {mnuColor, mnuSetColor, at(ColorItem::CustomColor), QT_TRANSLATE_NOOP("NoteMenus", "Custom Color"), {}, "Color", Check, onSetColor},
    {mnuNoteOptions, mnuTransparentMain, -1, QT_TRANSLATE_NOOP("NoteMenus", "Transparency"), {}, "", Submenu},
    {mnuTransparentMain, mnuTransparent, at(TransparencyItem::Low), QT_TRANSLATE_NOOP("NoteMenus", "Low"), {}, "", Check, onTransparent},
    {mnuTransparentMain, mnuTransparent, at(TransparencyItem::Medium), QT_TRANSLATE_NOOP("NoteMenus", "Medium"), {}, "", Check, onTransparent},
    {mnuTransparentMain, mnuTransparent, at(TransparencyItem::High), QT_TRANSLATE_NOOP("NoteMenus", "High"), {}, "", Check, onTransparent},
    {mnuTransparentMain, mnuTransparent, at(TransparencyItem::Off), QT_TRANSLATE_NOOP("NoteMenus", "Off"), {}, "", CheckOn, onTransparent},
    {mnuNoteOptions, mnuTop, -1, QT_TRANSLATE_NOOP("NoteMenus", "Always on Top"), {}, "Ontop", CheckOn, onTop},
    {mnuNoteOptions, mnuAllWorkspaces, -1, QT_TRANSLATE_NOOP("NoteMenus", "On All Workspaces"), {}, "", Check, onAllWorkspaces},
    {mnuNoteOptions, mnuAutoSave, -1, QT_TRANSLATE_NOOP("NoteMenus", "Autosave Note on Close"), {}, "", Check, onAutoSave},
    {mnuNoteOptions, mnuNewNoteSaveOnClose, -1, QT_TRANSLATE_NOOP("NoteMenus", "Save New Note on Close"), {}, "", Check, onNewNoteSaveOnClose},
    {mnuNoteOptions, mnuSaveSettings, -1, QT_TRANSLATE_NOOP("NoteMenus", "Save Settings"), {}, "", Check, onSaveSettings},
    {mnuNoteOptions, "", -1, "", {}, "", Separator},
    {mnuNoteOptions, mnuNotesFolder, -1, QT_TRANSLATE_NOOP("NoteMenus", "Notes Folder..."), {}, "", None, onNotesFolder},
    {PopUpMenu, "", -1, "", {}, "", Separator},
    {PopUpMenu, mnuAboutMain, -1, QT_TRANSLATE_NOOP("NoteMenus", "About"), {}, "About", Submenu},
    {mnuAboutMain, mnuHelp, -1, QT_TRANSLATE_NOOP("NoteMenus", "Help"), {}, "Help", Hidden, onHelp},
    {mnuAboutMain, mnuUlmar, -1, QT_TRANSLATE_NOOP("NoteMenus", "Ulmar's Website"), {}, "", None, onUlmar},
    {mnuAboutMain, mnuAbout, -1, QT_TRANSLATE_NOOP("NoteMenus", "Jottex"), {}, "NewNote", None, onAbout},
    {PopUpMenu, "", -1, "", {}, "", Separator},
    {PopUpMenu, mnuTest, -1, QT_TRANSLATE_NOOP("NoteMenus", "Test"), {}, "", Hidden},
    {PopUpMenu, mnuClose, -1, QT_TRANSLATE_NOOP("NoteMenus", "Close"), {}, "", None, onClose},

    // The icon menu.
    {SystemMenu, mnuSystemNew, -1, QT_TRANSLATE_NOOP("NoteMenus", "&New"), {}, "", None, onNew},
    {SystemMenu, mnuSystemMinimize, -1, QT_TRANSLATE_NOOP("NoteMenus", "Minimize"), {}, "Minimize", None, onMinimize},
    {SystemMenu, mnuSystemDefaultSize, -1, QT_TRANSLATE_NOOP("NoteMenus", "Default Size"), {}, "", None, onDefaultSize},
    {SystemMenu, mnuSystemRestore, -1, QT_TRANSLATE_NOOP("NoteMenus", "Restore Size"), {}, "Restore", None, onRestore},
    {SystemMenu, "", -1, "", {}, "", Separator},
    {SystemMenu, mnuSystemReset, -1, QT_TRANSLATE_NOOP("NoteMenus", "Reset"), {}, "", None, onReset},
    {SystemMenu, mnuSystemClose, -1, QT_TRANSLATE_NOOP("NoteMenus", "Close"), {}, "", None, onClose},

    // The selection menu.
    {PopUpSelect, mnuStrikeOut, at(StrikeItem::StrikeOut), QT_TRANSLATE_NOOP("NoteMenus", "Strike-Out"), {}, "Strike", EditsText, onStrikeOut},
    {PopUpSelect, mnuStrikeOut, at(StrikeItem::Remove), QT_TRANSLATE_NOOP("NoteMenus", "Remove"), {}, "Font", EditsText, onStrikeOut},
    {PopUpSelect, "", -1, "", {}, "", Separator},
    {PopUpSelect, mnuSelectSpelling, -1, QT_TRANSLATE_NOOP("NoteMenus", "Check Spelling"), {}, "", EditsText, onCheckSpelling},
    {PopUpSelect, mnuEmailSelection, -1, QT_TRANSLATE_NOOP("NoteMenus", "Email Selection"), {}, "Email", None, onEmail},
    {PopUpSelect, "", -1, "", {}, "", Separator},
    {PopUpSelect, mnuSelectEdit, at(SelectEditItem::Cut), QT_TRANSLATE_NOOP("NoteMenus", "Cut"), TextAreaKey(Qt::Key_X), "Cut", EditsText, onSelectEdit},
    {PopUpSelect, mnuSelectEdit, at(SelectEditItem::Copy), QT_TRANSLATE_NOOP("NoteMenus", "Copy"), TextAreaKey(Qt::Key_C), "Copy", None, onSelectEdit},
    {PopUpSelect, mnuSelectEdit, at(SelectEditItem::Paste), QT_TRANSLATE_NOOP("NoteMenus", "Paste"), {}, "", EditsText, onSelectEdit},
    {PopUpSelect, mnuSelectEdit, at(SelectEditItem::Undo), QT_TRANSLATE_NOOP("NoteMenus", "Undo"), {}, "", EditsText, onSelectEdit},
    {PopUpSelect, "", -1, "", {}, "", Separator},
    {PopUpSelect, mnuSelectSize, -1, QT_TRANSLATE_NOOP("NoteMenus", "Font Size"), {}, "", Submenu},
    {mnuSelectSize, mnuSelectFontSize, at(FontSizeItem::Small), QT_TRANSLATE_NOOP("NoteMenus", "Small"), {}, "", EditsText, onSelectFontSize},
    {mnuSelectSize, mnuSelectFontSize, at(FontSizeItem::Normal), QT_TRANSLATE_NOOP("NoteMenus", "Normal"), {}, "", EditsText, onSelectFontSize},
    {mnuSelectSize, mnuSelectFontSize, at(FontSizeItem::Medium), QT_TRANSLATE_NOOP("NoteMenus", "Medium"), {}, "", EditsText, onSelectFontSize},
    {mnuSelectSize, mnuSelectFontSize, at(FontSizeItem::Large), QT_TRANSLATE_NOOP("NoteMenus", "Large"), {}, "", EditsText, onSelectFontSize},
    {mnuSelectSize, mnuSelectFontSize, at(FontSizeItem::Largest), QT_TRANSLATE_NOOP("NoteMenus", "Largest"), {}, "", EditsText, onSelectFontSize},
    {PopUpSelect, mnuSelectFontStyle, -1, QT_TRANSLATE_NOOP("NoteMenus", "Font Style"), {}, "", Submenu},
    {mnuSelectFontStyle, mnuSelectStyle, at(StyleItem::Italic), QT_TRANSLATE_NOOP("NoteMenus", "Italic"), {}, "", EditsText, onSelectStyle},
    {mnuSelectFontStyle, mnuSelectStyle, at(StyleItem::Underline), QT_TRANSLATE_NOOP("NoteMenus", "Underline"), {}, "", EditsText, onSelectStyle},
    {mnuSelectFontStyle, mnuSelectStyle, at(StyleItem::Bold), QT_TRANSLATE_NOOP("NoteMenus", "Bold"), {}, "", EditsText, onSelectStyle},
    {PopUpSelect, mnuRemoveFormat, -1, QT_TRANSLATE_NOOP("NoteMenus", "No Format"), {}, "Clear", EditsText, onRemoveFormat},
    {PopUpSelect, "", -1, "", {}, "", Separator},
    {PopUpSelect, mnuSelectParagraph, -1, QT_TRANSLATE_NOOP("NoteMenus", "Paragraph"), {}, "", Submenu},
    {mnuSelectParagraph, mnuSelectAlignmentMain, -1, QT_TRANSLATE_NOOP("NoteMenus", "Alignment"), {}, "", Submenu},
    {mnuSelectAlignmentMain, mnuSelectAlignment, at(AlignmentItem::Left), QT_TRANSLATE_NOOP("NoteMenus", "Left"), {}, "", EditsText, onSelectAlignment},
    {mnuSelectAlignmentMain, mnuSelectAlignment, at(AlignmentItem::Center), QT_TRANSLATE_NOOP("NoteMenus", "Center"), {}, "", EditsText, onSelectAlignment},
    {mnuSelectAlignmentMain, mnuSelectAlignment, at(AlignmentItem::Right), QT_TRANSLATE_NOOP("NoteMenus", "Right"), {}, "", EditsText, onSelectAlignment},
    {mnuSelectParagraph, mnuSelectBulletMain, -1, QT_TRANSLATE_NOOP("NoteMenus", "Bullets"), {}, "", Submenu},
    {mnuSelectBulletMain, mnuSelectBullet, at(BulletItem::AddNew), QT_TRANSLATE_NOOP("NoteMenus", "Add new"), {}, "", EditsText, onSelectBullet},
    {mnuSelectBulletMain, mnuSelectBullet, at(BulletItem::RemoveExisting), QT_TRANSLATE_NOOP("NoteMenus", "Remove existing"), {}, "", EditsText, onSelectBullet},
    {mnuSelectParagraph, mnuSelectIndentMain, -1, QT_TRANSLATE_NOOP("NoteMenus", "Indent"), {}, "", Submenu},
    {mnuSelectIndentMain, mnuSelectIndent, at(IndentItem::Increase), QT_TRANSLATE_NOOP("NoteMenus", "Increase"), {}, "", EditsText, onSelectIndent},
    {mnuSelectIndentMain, mnuSelectIndent, at(IndentItem::Decrease), QT_TRANSLATE_NOOP("NoteMenus", "Decrease"), {}, "", EditsText, onSelectIndent},

    // The subcaption menu.
    {PopupCaption, mnuCaptionType, at(CaptionKind::TimeDate), QT_TRANSLATE_NOOP("NoteMenus", "Time / Date Stamp"), {}, "", Check, onCaptionType},
    {PopupCaption, mnuCaptionType, at(CaptionKind::WordCount), QT_TRANSLATE_NOOP("NoteMenus", "Word Count"), {}, "", Check, onCaptionType},
    {PopupCaption, mnuCaptionType, at(CaptionKind::CharacterCount), QT_TRANSLATE_NOOP("NoteMenus", "Character Count"), {}, "", Check, onCaptionType},
    {PopupCaption, mnuCaptionType, at(CaptionKind::FileName), QT_TRANSLATE_NOOP("NoteMenus", "Note Filename"), {}, "", Check, onCaptionType},
};
// clang-format on

constexpr bool sameName(const char* a, const char* b)
{
    return std::string_view(a) == std::string_view(b);
}

// True when the family's rows carry the indexes 0, 1, 2, ... in table order and there are as
// many as its enum names.
template <typename Family> constexpr bool isFamily(const char* name)
{
    int next = 0;
    for (const Entry& entry : kEntries) {
        if (entry.index < 0 || !sameName(entry.name, name))
            continue;
        if (entry.index != next)
            return false;
        ++next;
    }
    return next == familyCount<Family>();
}

static_assert(isFamily<SaveKind>(mnuSave));
static_assert(isFamily<EditItem>(mnuEdit));
static_assert(isFamily<InsertItem>(mnuInsert));
static_assert(isFamily<DateTimeItem>(mnuInsertDateTime));
static_assert(isFamily<FontSizeItem>(mnuFontSize));
static_assert(isFamily<FontSizeItem>(mnuSelectFontSize));
static_assert(isFamily<AlignmentItem>(mnuAlignment));
static_assert(isFamily<AlignmentItem>(mnuSelectAlignment));
static_assert(isFamily<BulletItem>(mnuBullets));
static_assert(isFamily<BulletItem>(mnuSelectBullet));
static_assert(isFamily<IndentItem>(mnuIndent));
static_assert(isFamily<IndentItem>(mnuSelectIndent));
static_assert(isFamily<ColorItem>(mnuSetColor));
static_assert(isFamily<TransparencyItem>(mnuTransparent));
static_assert(isFamily<StrikeItem>(mnuStrikeOut));
static_assert(isFamily<SelectEditItem>(mnuSelectEdit));
static_assert(isFamily<StyleItem>(mnuSelectStyle));
static_assert(isFamily<CaptionKind>(mnuCaptionType));

// Two rows the window runs on the same key and modifiers would leave one of them dead.
constexpr bool keysOverlap(const Key& a, const Key& b)
{
    if (a.key != b.key || a.owner != KeyOwner::Window || b.owner != KeyOwner::Window)
        return false;
    if (a.mods == Mods::Any || b.mods == Mods::Any || a.mods == b.mods)
        return true;
    const auto withCtrl = [](Mods mods) { return mods == Mods::Ctrl || mods == Mods::CtrlShift; };
    return (a.mods == Mods::Ctrl && withCtrl(b.mods)) || (b.mods == Mods::Ctrl && withCtrl(a.mods));
}

constexpr bool eachKeyRunsOneItem()
{
    for (const Entry& a : kEntries) {
        for (const Entry& b : kEntries) {
            if (&a != &b && a.key.key != 0 && keysOverlap(a.key, b.key))
                return false;
        }
    }
    return true;
}
static_assert(eachKeyRunsOneItem());

QString shownText(const Entry& entry)
{
    QString text = QCoreApplication::translate("NoteMenus", entry.caption);
    const QString key = entry.key.sequence().toString(QKeySequence::PortableText);
    if (!key.isEmpty())
        text += QLatin1Char('\t') + key;
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

bool NoteMenus::Key::matches(int released, Qt::KeyboardModifiers held) const
{
    if (key == 0 || released != key)
        return false;
    const bool ctrl = held & Qt::ControlModifier;
    const bool shift = held & Qt::ShiftModifier;
    switch (mods) {
    case Mods::Plain:
        return !shift && !ctrl;
    case Mods::Ctrl:
        return ctrl;
    case Mods::ShiftNoCtrl:
        return shift && !ctrl;
    case Mods::CtrlShift:
        return ctrl && shift;
    case Mods::Any:
        return true;
    }
    return false;
}

QKeySequence NoteMenus::Key::sequence() const
{
    if (key == 0)
        return {};
    Qt::KeyboardModifiers shown;
    if (mods == Mods::Ctrl || mods == Mods::CtrlShift)
        shown |= Qt::ControlModifier;
    if (mods == Mods::ShiftNoCtrl || mods == Mods::CtrlShift)
        shown |= Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(shown, static_cast<Qt::Key>(key)));
}

// The table with the "Special Note" submenu's items, which come from the special-note
// engine's kind table, in place after the submenu.
std::span<const NoteMenus::Entry> NoteMenus::entries()
{
    static const std::vector<Entry> all = [] {
        std::vector<Entry> rows(std::begin(kEntries), std::end(kEntries));
        const auto submenu = std::find_if(rows.begin(), rows.end(), [](const Entry& entry) {
            return qstrcmp(entry.name, mnuSpecial) == 0;
        });
        const std::vector<Entry> items = SpecialNoteEngine::menuEntries();
        rows.insert(submenu + 1, items.begin(), items.end());
        return rows;
    }();
    return all;
}

const std::vector<const NoteMenus::Entry*>& NoteMenus::keyTable()
{
    static const std::vector<const Entry*> table = [] {
        std::vector<const Entry*> keyed;
        for (const Entry& entry : entries()) {
            if (entry.key.key != 0 && entry.key.owner == KeyOwner::Window)
                keyed.push_back(&entry);
        }
        return keyed;
    }();
    return table;
}

const NoteMenus::Entry* NoteMenus::find(const char* name, int index)
{
    const int place = position(name, index);
    return place < 0 ? nullptr : &entries()[size_t(place)];
}

int NoteMenus::position(const char* name, int index)
{
    if (!*name)
        return -1; // separators without a name are nobody's item
    const std::span<const Entry> all = entries();
    const auto found = std::find_if(all.begin(), all.end(), [&](const Entry& e) {
        return e.index == index && qstrcmp(e.name, name) == 0;
    });
    return found == all.end() ? -1 : static_cast<int>(found - all.begin());
}

int NoteMenus::familySize(const char* name)
{
    return static_cast<int>(std::ranges::count_if(
        entries(), [name](const Entry& e) { return e.index >= 0 && qstrcmp(e.name, name) == 0; }));
}

NoteMenus::Built NoteMenus::build(frmMain* owner)
{
    Built built;
    const std::span<const Entry> all = entries();
    built.actions.reserve(all.size());
    for (const char* top : {PopUpMenu, SystemMenu, PopUpSelect, PopupCaption}) {
        auto* menu = new QMenu(owner);
        menu->setObjectName(QString::fromLatin1(top));
        built.menus.insert(menu->objectName(), menu);
    }
    for (const Entry& entry : all) {
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
