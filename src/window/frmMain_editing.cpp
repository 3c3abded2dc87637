// The note window's editing commands: the edit items, Insert Special, the font and paragraph
// items of both menus, Font Family and a file dropped on the text.
#include "dialogs/MessageBox.h"
#include "dialogs/clsCommonDialog.h"
#include "richtext/CodePages.h"
#include "richtext/RichText.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Settings.h"
#include "shell/WindowUtils.h"
#include "window/CaptionStrip.h"
#include "window/NoteTextEdit.h"
#include "window/SelectionFormat.h"
#include "window/SpecialNoteEngine.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <array>
#include <variant>

namespace {
using SelectionFormat::Alignment;

// The fixed text of Clear All with Ctrl held.
const QString kAboutJottexText = QStringLiteral(
    "Jottex keeps sticky notes on your desktop.\r\n"
    "Right-click a note for its menus: formatting, colours, special notes and more.\r\n"
    "Notes are saved as .not files, and open notes come back after you log off and on.");

// What Insert Special inserts, as the Windows-1252 byte each character was defined by.
struct SpecialCharacter {
    InsertItem item;
    char byte;
};
constexpr std::array kSpecialCharacters{
    SpecialCharacter{InsertItem::Degree, char(0xB0)},
    SpecialCharacter{InsertItem::Copyright, char(0xA9)},
    SpecialCharacter{InsertItem::Ellipsis, char(0x85)},
    SpecialCharacter{InsertItem::RegisteredTrademark, char(0xAE)},
    SpecialCharacter{InsertItem::Pound, char(0xA3)},
};

// The menus list Left, Center, Right; the control numbers them left 0, right 1, centre 2.
constexpr std::array kMenuAlignments{Alignment::Left, Alignment::Center, Alignment::Right};
static_assert(kMenuAlignments.size() == size_t(familyCount<AlignmentItem>()));
static_assert(SelectionFormat::kMenuPointSizes.size() == size_t(familyCount<FontSizeItem>()));

// One step of a bullet or indent command, in twips.
constexpr int kIndentStepTwips = 200;

// Dropped files: larger ones are refused (a note is no place for them), and so is anything
// with a NUL near its start, which text never has.
constexpr qint64 kMaxDroppedFileBytes = qint64(10) * 1024 * 1024;
constexpr qint64 kTextProbeBytes = qint64(8) * 1024;

std::optional<Alignment> menuAlignment(int index)
{
    if (index < 0 || index >= int(kMenuAlignments.size()))
        return std::nullopt;
    return kMenuAlignments[size_t(index)];
}

std::optional<int> menuPointSize(int index)
{
    if (index < 0 || index >= int(SelectionFormat::kMenuPointSizes.size()))
        return std::nullopt;
    return SelectionFormat::kMenuPointSizes[size_t(index)];
}

// The bytes of a dropped file, or why it is not taken.
std::variant<QByteArray, QString> readDroppedFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (info.size() > kMaxDroppedFileBytes)
        return QStringLiteral("it is larger than 10 MB");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("it could not be read");
    // Read one byte past the limit: the file may have grown since it was measured.
    const QByteArray bytes = file.read(kMaxDroppedFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("it could not be read");
    if (bytes.size() > kMaxDroppedFileBytes)
        return QStringLiteral("it is larger than 10 MB");
    if (bytes.left(kTextProbeBytes).contains('\0'))
        return QStringLiteral("it is not a text file");
    return bytes;
}

void runBulletItem(QTextEdit* edit, int index)
{
    // Bullet first, then the indent: the indent is set, not added.
    if (index == int(BulletItem::AddNew)) {
        SelectionFormat::setBullet(edit, true);
        SelectionFormat::setIndent(edit, kIndentStepTwips);
    } else if (index == int(BulletItem::RemoveExisting)) {
        SelectionFormat::setBullet(edit, false);
        SelectionFormat::setIndent(edit, -kIndentStepTwips);
    }
}

void runIndentItem(QTextEdit* edit, int index)
{
    if (index == int(IndentItem::Increase))
        SelectionFormat::addIndent(edit, kIndentStepTwips);
    else if (index == int(IndentItem::Decrease))
        SelectionFormat::addIndent(edit, -kIndentStepTwips);
}
} // namespace

int frmMain::LastKeyDown() const
{
    return m_rtb->lastKeyDown();
}

void frmMain::mnuEdit_Click(int Index)
{
    switch (static_cast<EditItem>(Index)) {
    case EditItem::Paste:
        m_rtb->paste();
        break;
    case EditItem::PastePlainText:
        pastePlainText();
        break;
    case EditItem::Undo:
        m_rtb->undo();
        break;
    case EditItem::ClearAll:
        m_rtb->setReadOnly(false);
        RichText::setTextRTF(m_rtb, QString());
        SelectionFormat::setColor(m_rtb, Qt::black);
        m_specialNotes->reset();
        if (LastKeyDown() == Qt::Key_Control)
            RichText::setTextRTF(m_rtb, kAboutJottexText);
        break;
    default:
        break;
    }
}

void frmMain::pastePlainText()
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    const QString text = mime && mime->hasText() ? mime->text() : QString();
    QTextCursor cursor = m_rtb->textCursor();
    if (text.isEmpty())
        cursor.removeSelectedText();
    else
        m_rtb->insertPlainText(text);
}

void frmMain::mnuInsert_Click(int Index)
{
    for (const SpecialCharacter& special : kSpecialCharacters) {
        if (int(special.item) == Index) {
            m_rtb->insertPlainText(RichText::decodeWindows1252(QByteArrayView(&special.byte, 1)));
            return;
        }
    }
}

void frmMain::mnuInsertDateTime_Click(int Index)
{
    const QDateTime now = Clock::now();
    QString text;
    switch (static_cast<DateTimeItem>(Index)) {
    case DateTimeItem::GeneralDate:
        text = LocaleFormat::generalDate(now);
        break;
    case DateTimeItem::LongDate:
        text = LocaleFormat::longDate(now.date());
        break;
    case DateTimeItem::ShortDate:
        text = LocaleFormat::shortDate(now.date());
        break;
    default:
        return;
    }
    m_rtb->insertPlainText(text);
}

// The style items' check marks belong to the menu: they do not follow the caret.
void frmMain::toggleStyleItem(const char* item, void (*apply)(QTextEdit*, bool))
{
    const bool checked = toggleItem(item);
    setItemChecked(NoteMenus::mnuFontNormal, -1, false);
    apply(m_rtb, checked);
}

void frmMain::mnuFontBold_Click()
{
    toggleStyleItem(NoteMenus::mnuFontBold, &SelectionFormat::setBold);
}

void frmMain::mnuFontItalic_Click()
{
    toggleStyleItem(NoteMenus::mnuFontItalic, &SelectionFormat::setItalic);
}

void frmMain::mnuFontUnderline_Click()
{
    toggleStyleItem(NoteMenus::mnuFontUnderline, &SelectionFormat::setUnderline);
}

void frmMain::mnuFontNormal_Click()
{
    toggleItem(NoteMenus::mnuFontNormal);
    for (const char* item :
         {NoteMenus::mnuFontItalic, NoteMenus::mnuFontBold, NoteMenus::mnuFontUnderline})
        setItemChecked(item, -1, false);
    SelectionFormat::setUnderline(m_rtb, false);
    SelectionFormat::setBold(m_rtb, false);
    SelectionFormat::setItalic(m_rtb, false);
}

// The font of the text area as a whole, which text without a font of its own shows.
void frmMain::setControlFont(const QFont& font)
{
    m_rtb->setFont(font);
    m_rtb->document()->setDefaultFont(font);
}

void frmMain::mnuFontSize_Click(int Index)
{
    const auto size = menuPointSize(Index);
    if (!size)
        return;
    m_Note.FontSize = *size;
    CheckFontSizeMenu(*size);
    QFont font = m_rtb->font();
    font.setPointSize(*size);
    setControlFont(font);
}

// Applies to the whole note; the caret goes back to where the selection began.
void frmMain::mnuAlignment_Click(int Index)
{
    const auto alignment = menuAlignment(Index);
    if (!alignment)
        return;
    QTextCursor cursor = m_rtb->textCursor();
    const int caret = cursor.selectionStart();
    cursor.select(QTextCursor::Document);
    m_rtb->setTextCursor(cursor);
    SelectionFormat::setAlignment(m_rtb, *alignment);
    cursor.setPosition(caret);
    m_rtb->setTextCursor(cursor);
}

void frmMain::mnuBullets_Click(int Index)
{
    runBulletItem(m_rtb, Index);
}

void frmMain::mnuIndent_Click(int Index)
{
    runIndentItem(m_rtb, Index);
}

void frmMain::mnuFontFamily_Click()
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    clsCommonDialog dialog;
    dialog.setOwnerHandle(this);
    dialog.setFontName(modMain::settingDefault(modMain::Setting::FontName));
    // A cancelled dialog changes nothing: the face shown first is not a choice.
    if (dialog.ShowFont() && !dialog.FontName().isEmpty()) {
        QFont font = m_rtb->font();
        font.setFamily(dialog.FontName());
        setControlFont(font);
    }
    if (m_Note.IsOnTop)
        modMain::SetTopMost(this, modMain::TopMostMode::IntoBand);
}

void frmMain::mnuStrikeOut_Click(int Index)
{
    if (Index == int(StrikeItem::StrikeOut))
        SelectionFormat::setStrikeOut(m_rtb, true);
    else if (Index == int(StrikeItem::Remove))
        SelectionFormat::setStrikeOut(m_rtb, false);
}

void frmMain::mnuSelectEdit_Click(int Index)
{
    if (Index == int(SelectEditItem::Cut))
        m_rtb->cut();
    else if (Index == int(SelectEditItem::Copy))
        m_rtb->copy();
    else if (Index == int(SelectEditItem::Paste))
        m_rtb->paste();
    else if (Index == int(SelectEditItem::Undo))
        m_rtb->undo();
}

void frmMain::mnuSelectFontSize_Click(int Index)
{
    if (const auto size = menuPointSize(Index))
        SelectionFormat::setPointSize(m_rtb, *size);
}

// Switches the attribute on, never off.
void frmMain::mnuSelectStyle_Click(int Index)
{
    if (Index == int(StyleItem::Italic))
        SelectionFormat::setItalic(m_rtb, true);
    else if (Index == int(StyleItem::Underline))
        SelectionFormat::setUnderline(m_rtb, true);
    else if (Index == int(StyleItem::Bold))
        SelectionFormat::setBold(m_rtb, true);
}

void frmMain::mnuRemoveFormat_Click()
{
    SelectionFormat::setBold(m_rtb, false);
    SelectionFormat::setItalic(m_rtb, false);
    SelectionFormat::setUnderline(m_rtb, false);
    SelectionFormat::setStrikeOut(m_rtb, false);
}

void frmMain::mnuSelectAlignment_Click(int Index)
{
    if (const auto alignment = menuAlignment(Index))
        SelectionFormat::setAlignment(m_rtb, *alignment);
}

void frmMain::mnuSelectBullet_Click(int Index)
{
    runBulletItem(m_rtb, Index);
}

void frmMain::mnuSelectIndent_Click(int Index)
{
    runIndentItem(m_rtb, Index);
}

// The first file replaces the text: shown formatted when it is RTF, otherwise read as UTF-8 or,
// failing that, Windows-1252. A file that is not taken leaves the note as it was.
void frmMain::RTB1_OLEDragDrop(const QStringList& files)
{
    if (files.isEmpty())
        return;
    const QString& path = files.first();
    const auto content = readDroppedFile(path);
    if (const auto* reason = std::get_if<QString>(&content)) {
        refuseDroppedFile(path, *reason);
        return;
    }
    RichText::setTextRTF(m_rtb, std::get<QByteArray>(content));
    m_Note.TracksChanges = true;
}

void frmMain::refuseDroppedFile(const QString& path, const QString& reason)
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    MessageBox::show(this, QMessageBox::Information, CaptionStrip::title(),
                     QStringLiteral("%1 was not loaded: %2.")
                         .arg(QFileInfo(path).fileName().isEmpty() ? QDir::toNativeSeparators(path)
                                                                   : QFileInfo(path).fileName(),
                              reason),
                     QMessageBox::Ok);
    if (m_Note.IsOnTop)
        modMain::SetTopMost(this, modMain::TopMostMode::IntoBand);
}
