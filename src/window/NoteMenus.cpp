#include "window/NoteMenus.h"

#include <QAction>
#include <QMenu>
#include <vector>

namespace {
using namespace NoteMenus;

constexpr unsigned Check = Checkable;
constexpr unsigned CheckOn = Checkable | Checked;

// clang-format off
const std::vector<Entry> kEntries{
    // The main popup menu.
    {PopUpMenu, "mnuRecent", -1, "Recent", "", "", Submenu | Hidden},
    {"mnuRecent", "mnuMRU", -1, "Note 1", "", "", None},
    {PopUpMenu, "mnuNew", -1, "&New", "Ctrl+N", "NewNote", None},
    {PopUpMenu, "mnuOpen", -1, "&Open", "Ctrl+O", "Open", None},
    {PopUpMenu, "mnuSpecial", -1, "Special Note", "", "", Submenu},
    {"mnuSpecial", "mnuSNTime", -1, "Time", "", "", None},
    {"mnuSpecial", "mnuSNReminder", -1, "Reminder (alarm)", "", "", None},
    {"mnuSpecial", "", -1, "", "", "", Separator},
    {"mnuSpecial", "mnuSNRSSFeed", -1, "RSS Feed", "", "", None},
    {"mnuSpecial", "mnuSNWeather", -1, "Weather", "", "", Hidden},
    {"mnuSpecial", "mnuSNStockQuote", -1, "Stocks", "", "", None},
    {"mnuSpecial", "mnuSNWebsiteStatus", -1, "Website Status", "", "", Hidden},
    {"mnuSpecial", "", -1, "", "", "", Separator | Hidden},
    {"mnuSpecial", "mnuSNNotes", -1, "Jottex Notes", "", "", Hidden},
    {"mnuSpecial", "", -1, "", "", "", Separator},
    {"mnuSpecial", "mnuSNClipboard", -1, "Clipboard Viewer (text)", "", "", None},
    {"mnuSpecial", "mnuSNClipboardLog", -1, "Clipboard Log", "", "", None},
    {"mnuSpecial", "mnuSNComputerMemory", -1, "Computer Memory", "", "", None},
    {"mnuSpecial", "mnuSNDrives", -1, "Drive Information", "", "", None},
    {"mnuSpecial", "", -1, "", "", "", Separator},
    {"mnuSpecial", "mnuClearSpecial", -1, "Stop Special Note", "", "Stop", None},
    {PopUpMenu, "mnuMulitNote", -1, "Multi-Note Manager", "", "", None},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, "mnuSave", 0, "&Save", "Ctrl+S", "Save", None},
    {PopUpMenu, "mnuSave", 1, "Save As", "", "", None},
    {PopUpMenu, "mnuSave", 2, "Append To", "", "", None},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, "mnuEmail", -1, "Email Content", "Ctrl+Y", "Email", None},
    {PopUpMenu, "mnuPrint", -1, "&Print", "Ctrl+P", "Print", None},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, "mnuEdit", 0, "&Paste", "Ctrl+V", "Paste", None},
    {PopUpMenu, "mnuEdit", 1, "Paste Plain Text", "", "PasteAsText", None},
    {PopUpMenu, "mnuEdit", 2, "Undo", "Ctrl+Z", "Undo", None},
    {PopUpMenu, "mnuEdit", 3, "Clear All", "", "Clear", None},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, "mnuInsertmain", -1, "Insert Special", "", "", Submenu},
    {"mnuInsertmain", "mnuInsert", 0, "Date / Time Stamp", "", "", Submenu},
    {"mnuInsert(0)", "mnuInsertDateTime", 0, "Date / Time", "F6", "", None},
    {"mnuInsert(0)", "mnuInsertDateTime", 1, "Date (long)", "Shift+F6", "", None},
    {"mnuInsert(0)", "mnuInsertDateTime", 2, "Date (short)", "Ctrl+F6", "", None},
    {"mnuInsertmain", "mnuInsert", 1, "Degree", "", "", None},
    {"mnuInsertmain", "mnuInsert", 2, "Copyright", "", "", None},
    {"mnuInsertmain", "mnuInsert", 3, "Ellipsis", "", "", None},
    {"mnuInsertmain", "mnuInsert", 4, "Registered Trademark", "", "", None},
    {"mnuInsertmain", "mnuInsert", 5, "Pound", "", "", None},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, "mnuCheckSpelling", -1, "Check Spelling", "F7", "Spell", None},
    {PopUpMenu, "mnuContentOptions", -1, "Content Options", "", "", Submenu},
    {"mnuContentOptions", "mnuFont", -1, "Font", "", "FontStyle", Submenu},
    {"mnuFont", "mnuFontStyle", -1, "Style", "", "", Submenu},
    {"mnuFontStyle", "mnuFontNormal", -1, "Normal", "", "", CheckOn},
    {"mnuFontStyle", "mnuFontItalic", -1, "Italic", "", "Italic", Check},
    {"mnuFontStyle", "mnuFontUnderline", -1, "Underline", "", "Underline", Check},
    {"mnuFontStyle", "mnuFontBold", -1, "Bold", "", "Bold", Check},
    {"mnuFont", "mnuFontSizes", -1, "Size", "", "", Submenu},
    {"mnuFontSizes", "mnuFontSize", 0, "Small", "", "", Check},
    {"mnuFontSizes", "mnuFontSize", 1, "Normal", "", "", CheckOn},
    {"mnuFontSizes", "mnuFontSize", 2, "Medium", "", "", Check},
    {"mnuFontSizes", "mnuFontSize", 3, "Large", "", "", Check},
    {"mnuFontSizes", "mnuFontSize", 4, "Largest", "", "", Check},
    {"mnuFont", "mnuFontColors", -1, "Color", "", "", None},
    {"mnuContentOptions", "mnuParagraph", -1, "Paragraph", "", "", Submenu},
    {"mnuParagraph", "mnuAlignmentMain", -1, "Alignment", "", "", Submenu},
    {"mnuAlignmentMain", "mnuAlignment", 0, "Left", "", "", None},
    {"mnuAlignmentMain", "mnuAlignment", 1, "Center", "", "", None},
    {"mnuAlignmentMain", "mnuAlignment", 2, "Right", "", "", None},
    {"mnuParagraph", "mnuBulletsMain", -1, "Bullets", "", "Bullets", Submenu},
    {"mnuBulletsMain", "mnuBullets", 0, "Add New", "", "", None},
    {"mnuBulletsMain", "mnuBullets", 1, "Remove existing", "", "", None},
    {"mnuParagraph", "mnuIndentMain", -1, "Indent", "", "", Submenu},
    {"mnuIndentMain", "mnuIndent", 0, "Increase", "", "IncreaseIndent", None},
    {"mnuIndentMain", "mnuIndent", 1, "Decrease", "", "DecreaseIndent", None},
    {PopUpMenu, "mnuNoteOptions", -1, "Note Options", "", "Options", Submenu},
    {"mnuNoteOptions", "mnuFontFamily", -1, "Font Family", "", "", None},
    {"mnuNoteOptions", "mnuColor", -1, "Color", "", "Color", Submenu},
    {"mnuColor", "mnuSetColor", 0, "Yellow", "", "", CheckOn},
    {"mnuColor", "mnuSetColor", 1, "Blue", "", "", Check},
    {"mnuColor", "mnuSetColor", 2, "Green", "", "", Check},
    {"mnuColor", "mnuSetColor", 3, "Red", "", "", Check},
    {"mnuColor", "mnuSetColor", 4, "Grey", "", "", Check},
    {"mnuColor", "mnuSetColor", 5, "Peach", "", "", Check},
    {"mnuColor", "mnuSetColor", 6, "Purple", "", "", Check},
    {"mnuColor", "mnuSetColor", 7, "Tang", "", "", Check},
    {"mnuColor", "mnuSetColor", 8, "", "", "", Separator},
    {"mnuColor", "mnuSetColor", 9, "Custom Color", "", "Color", Check},
    {"mnuNoteOptions", "mnuTransparentMain", -1, "Transparency", "", "", Submenu},
    {"mnuTransparentMain", "mnuTransparent", 0, "Low", "", "", Check},
    {"mnuTransparentMain", "mnuTransparent", 1, "Medium", "", "", Check},
    {"mnuTransparentMain", "mnuTransparent", 2, "High", "", "", Check},
    {"mnuTransparentMain", "mnuTransparent", 3, "Off", "", "", CheckOn},
    {"mnuNoteOptions", "mnuTop", -1, "Always on Top", "", "Ontop", CheckOn},
    {"mnuNoteOptions", "mnuAutoSave", -1, "Autosave Note on Close", "", "", Check},
    {"mnuNoteOptions", "mnuNewNoteSaveOnClose", -1, "Save New Note on Close", "", "", Check},
    {"mnuNoteOptions", "mnuSaveSettings", -1, "Save Settings", "", "", Check},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, "mnuAboutMain", -1, "About", "", "About", Submenu},
    {"mnuAboutMain", "mnuHelp", -1, "Help", "", "Help", Hidden},
    {"mnuAboutMain", "mnuUlmar", -1, "Ulmar's Website", "", "", None},
    {"mnuAboutMain", "mnuAbout", -1, "Jottex", "", "NewNote", None},
    {PopUpMenu, "", -1, "", "", "", Separator},
    {PopUpMenu, "mnuTest", -1, "Test", "", "", Hidden},
    {PopUpMenu, "mnuClose", -1, "Close", "", "", None},

    // The icon menu.
    {SystemMenu, "mnuSystemNew", -1, "&New", "", "", None},
    {SystemMenu, "mnuSystemMinimize", -1, "Minimize", "", "Minimize", None},
    {SystemMenu, "mnuSystemDefaultSize", -1, "Default Size", "", "", None},
    {SystemMenu, "mnuSystemRestore", -1, "Restore Size", "", "Restore", None},
    {SystemMenu, "", -1, "", "", "", Separator},
    {SystemMenu, "mnuSystemReset", -1, "Reset", "", "", None},
    {SystemMenu, "mnuSystemClose", -1, "Close", "", "", None},

    // The selection menu.
    {PopUpSelect, "mnuStrikeOut", 0, "Strike-Out", "", "Strike", None},
    {PopUpSelect, "mnuStrikeOut", 1, "Remove", "", "Font", None},
    {PopUpSelect, "", -1, "", "", "", Separator},
    {PopUpSelect, "mnuSelectSpelling", -1, "Check Spelling", "", "", None},
    {PopUpSelect, "mnuEmailSelection", -1, "Email Selection", "", "Email", None},
    {PopUpSelect, "", -1, "", "", "", Separator},
    {PopUpSelect, "mnuSelectEdit", 0, "Cut", "Ctrl+X", "Cut", None},
    {PopUpSelect, "mnuSelectEdit", 1, "Copy", "Ctrl+C", "Copy", None},
    {PopUpSelect, "mnuSelectEdit", 2, "Paste", "", "", None},
    {PopUpSelect, "mnuSelectEdit", 3, "Undo", "", "", None},
    {PopUpSelect, "", -1, "", "", "", Separator},
    {PopUpSelect, "mnuSelectSize", -1, "Font Size", "", "", Submenu},
    {"mnuSelectSize", "mnuSelectFontSize", 0, "Small", "", "", None},
    {"mnuSelectSize", "mnuSelectFontSize", 1, "Normal", "", "", None},
    {"mnuSelectSize", "mnuSelectFontSize", 2, "Medium", "", "", None},
    {"mnuSelectSize", "mnuSelectFontSize", 3, "Large", "", "", None},
    {"mnuSelectSize", "mnuSelectFontSize", 4, "Largest", "", "", None},
    {PopUpSelect, "mnuSelectFontStyle", -1, "Font Style", "", "", Submenu},
    {"mnuSelectFontStyle", "mnuSelectStyle", 0, "Italic", "", "", None},
    {"mnuSelectFontStyle", "mnuSelectStyle", 1, "Underline", "", "", None},
    {"mnuSelectFontStyle", "mnuSelectStyle", 2, "Bold", "", "", None},
    {PopUpSelect, "mnuRemoveFormat", -1, "No Format", "", "Clear", None},
    {PopUpSelect, "", -1, "", "", "", Separator},
    {PopUpSelect, "mnuSelectParagraph", -1, "Paragraph", "", "", Submenu},
    {"mnuSelectParagraph", "mnuSelectAlignmentMain", -1, "Alignment", "", "", Submenu},
    {"mnuSelectAlignmentMain", "mnuSelectAlignment", 0, "Left", "", "", None},
    {"mnuSelectAlignmentMain", "mnuSelectAlignment", 1, "Center", "", "", None},
    {"mnuSelectAlignmentMain", "mnuSelectAlignment", 2, "Right", "", "", None},
    {"mnuSelectParagraph", "mnuSelectBulletMain", -1, "Bullets", "", "", Submenu},
    {"mnuSelectBulletMain", "mnuSelectBullet", 0, "Add new", "", "", None},
    {"mnuSelectBulletMain", "mnuSelectBullet", 1, "Remove existing", "", "", None},
    {"mnuSelectParagraph", "mnuSelectIndentMain", -1, "Indent", "", "", Submenu},
    {"mnuSelectIndentMain", "mnuSelectIndent", 0, "Increase", "", "", None},
    {"mnuSelectIndentMain", "mnuSelectIndent", 1, "Decrease", "", "", None},

    // The subcaption menu.
    {PopupCaption, "mnuCaptionType", 0, "Time / Date Stamp", "", "", Check},
    {PopupCaption, "mnuCaptionType", 1, "Word Count", "", "", Check},
    {PopupCaption, "mnuCaptionType", 2, "Character Count", "", "", Check},
    {PopupCaption, "mnuCaptionType", 3, "Note Filename", "", "", Check},
};
// clang-format on

QString shownText(const Entry& entry)
{
    QString text = QString::fromUtf8(entry.caption);
    if (*entry.shortcut)
        text += QLatin1Char('\t') + QString::fromLatin1(entry.shortcut);
    return text;
}
} // namespace

QString NoteMenus::objectName(const QString& name, int index)
{
    return index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(index);
}

const std::vector<NoteMenus::Entry>& NoteMenus::entries()
{
    return kEntries;
}

NoteMenus::Built NoteMenus::build(QWidget* owner,
                                  const std::function<void(const QString&, int)>& onClick)
{
    Built built;
    for (const char* top : {PopUpMenu, SystemMenu, PopUpSelect, PopupCaption}) {
        auto* menu = new QMenu(owner);
        menu->setObjectName(QString::fromLatin1(top));
        built.menus.insert(menu->objectName(), menu);
    }
    for (const Entry& entry : kEntries) {
        QMenu* parent = built.menus.value(QString::fromLatin1(entry.parent));
        if (!parent)
            continue;
        const QString name = objectName(QString::fromLatin1(entry.name), entry.index);
        QAction* action = nullptr;
        if (entry.flags & Separator) {
            action = parent->addSeparator();
        } else if (entry.flags & Submenu) {
            QMenu* submenu = parent->addMenu(shownText(entry));
            submenu->setObjectName(name);
            built.menus.insert(name, submenu);
            action = submenu->menuAction();
        } else {
            action = parent->addAction(shownText(entry));
            const QString itemName = QString::fromLatin1(entry.name);
            const int index = entry.index;
            // Handlers set check marks themselves, so undo Qt's own toggle first.
            QObject::connect(action, &QAction::triggered, owner,
                             [onClick, itemName, index, action](bool checked) {
                                 if (action->isCheckable())
                                     action->setChecked(!checked);
                                 onClick(itemName, index);
                             });
        }
        if (*entry.name)
            action->setObjectName(name);
        action->setCheckable(entry.flags & Checkable);
        action->setChecked(entry.flags & Checked);
        action->setVisible(!(entry.flags & Hidden));
        if (*entry.name)
            built.actions.insert(name, action);
    }
    return built;
}
