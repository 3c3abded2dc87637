#include "window/NoteEditor.h"

#include "dialogs/MessageBox.h"
#include "dialogs/clsCommonDialog.h"
#include "richtext/CodePages.h"
#include "richtext/LiveText.h"
#include "richtext/Pictures.h"
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Settings.h"
#include "shell/WindowUtils.h"
#include "shell/modFileFunctions.h"
#include "window/CaptionStrip.h"
#include "window/MenuFamilies.h"
#include "window/NoteMenuSet.h"
#include "window/NoteModel.h"
#include "window/NoteTextEdit.h"
#include "window/SelectionFormat.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTextDocument>
#include <array>
#include <variant>

namespace {
using SelectionFormat::Alignment;

// The fixed text of Clear All with Ctrl held.
QString aboutJottexText()
{
    return NoteEditor::tr(
        "Jottex keeps sticky notes on your desktop.\r\n"
        "Right-click a note for its menus: formatting, colours, special notes and more.\r\n"
        "Notes are saved as .not files, and open notes come back after you log off and on.");
}

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
// with a NUL near its start, which text never has. Pictures have limits of their own.
constexpr qint64 kMaxDroppedFileBytes = qint64(10) * 1024 * 1024;
constexpr qint64 kTextProbeBytes = qint64(8) * 1024;
constexpr qint64 kPictureProbeBytes = 64;

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

// How a refused picture's size is told, in every message that refuses one.
QString pictureLimitPhrase()
{
    return NoteEditor::tr("larger than a note holds (%1, at 4 bytes a pixel)")
        .arg(RichText::pictureLimitText());
}

QString tooLargeReason()
{
    return NoteEditor::tr("it is larger than 10 MB");
}

QString pictureTooLargeReason()
{
    return NoteEditor::tr("it is a picture %1").arg(pictureLimitPhrase());
}

// Whether a file too large to read whole starts as a picture.
bool startsAsPicture(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) &&
           RichText::isPictureData(file.read(kPictureProbeBytes));
}

// The bytes of a dropped file, as many as a picture may have, or why it is not taken.
std::variant<QByteArray, QString> readDroppedFile(const QString& path)
{
    if (QFileInfo(path).isDir())
        return NoteEditor::tr("it is a folder");
    const Expected<QByteArray> bytes = modFileFunctions::ReadRegularFile(
        path, std::max(kMaxDroppedFileBytes, RichText::kMaxEncodedPictureBytes));
    if (bytes.failed()) {
        if (bytes.error().number != ErrorNumber::Overflow)
            return NoteEditor::tr("it could not be read");
        return startsAsPicture(path) ? pictureTooLargeReason() : tooLargeReason();
    }
    return bytes.value();
}

// Why dropped bytes are not taken as text, if they are not.
std::optional<QString> refusedAsText(const QByteArray& bytes)
{
    if (bytes.size() > kMaxDroppedFileBytes)
        return tooLargeReason();
    if (bytes.left(kTextProbeBytes).contains('\0'))
        return NoteEditor::tr("it is not a text file");
    return std::nullopt;
}

// The file's name as messages give it.
QString shownFileName(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QDir::toNativeSeparators(path) : name;
}

QString tooLongReason()
{
    return NoteEditor::tr("it is longer than a note shows (%1)").arg(LiveText::limitText());
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

NoteEditor::NoteEditor(std::unique_ptr<NoteEditorHost> host) : m_host(std::move(host))
{
    connect(m_host->textArea(), &NoteTextEdit::filesDropped, this, &NoteEditor::RTB1_OLEDragDrop);
    connect(m_host->textArea(), &NoteTextEdit::pasteRefused, this, &NoteEditor::refusePaste);
    connect(m_host->textArea(), &NoteTextEdit::pictureRefused, this, &NoteEditor::refusePicture);
}

NoteEditor::~NoteEditor() = default;

int NoteEditor::LastKeyDown() const
{
    return m_host->textArea()->lastKeyDown();
}

void NoteEditor::mnuEdit_Click(int Index)
{
    switch (static_cast<EditItem>(Index)) {
    case EditItem::Paste:
        textArea()->paste();
        break;
    case EditItem::PastePlainText:
        pastePlainText();
        break;
    case EditItem::Undo:
        undo();
        break;
    case EditItem::ClearAll:
        textArea()->setReadOnly(false);
        RichText::setTextRTF(textArea(), QString());
        SelectionFormat::setColor(textArea(), Qt::black);
        m_host->resetSpecialNote();
        if (LastKeyDown() == Qt::Key_Control)
            RichText::setTextRTF(textArea(), aboutJottexText());
        break;
    default:
        break;
    }
}

void NoteEditor::undo()
{
    if (!textArea()->isReadOnly())
        textArea()->undo();
}

void NoteEditor::pastePlainText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QString text = data && data->hasText() ? data->text() : QString();
    QTextCursor cursor = textArea()->textCursor();
    if (text.isEmpty())
        cursor.removeSelectedText();
    else if (textArea()->takes(LiveText::sizeOf(text)))
        textArea()->insertPlainText(text);
    else
        refusePaste();
}

void NoteEditor::refusePaste()
{
    inform(tr("The text was not pasted: the note would be longer than a note shows (%1).")
               .arg(LiveText::limitText()));
}

void NoteEditor::refusePicture()
{
    inform(tr("The picture was not pasted: it is %1.").arg(pictureLimitPhrase()));
}

void NoteEditor::mnuInsert_Click(int Index)
{
    for (const SpecialCharacter& special : kSpecialCharacters) {
        if (int(special.item) == Index) {
            textArea()->insertPlainText(
                RichText::decodeWindows1252(QByteArrayView(&special.byte, 1)));
            return;
        }
    }
}

void NoteEditor::mnuInsertDateTime_Click(int Index)
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
    textArea()->insertPlainText(text);
}

// The style items' check marks belong to the menu: they do not follow the caret.
void NoteEditor::toggleStyleItem(const char* item, void (*apply)(QTextEdit*, bool))
{
    const bool checked = m_host->menus().toggle(item);
    m_host->menus().setChecked(NoteMenus::mnuFontNormal, -1, false);
    apply(textArea(), checked);
}

void NoteEditor::mnuFontBold_Click()
{
    toggleStyleItem(NoteMenus::mnuFontBold, &SelectionFormat::setBold);
}

void NoteEditor::mnuFontItalic_Click()
{
    toggleStyleItem(NoteMenus::mnuFontItalic, &SelectionFormat::setItalic);
}

void NoteEditor::mnuFontUnderline_Click()
{
    toggleStyleItem(NoteMenus::mnuFontUnderline, &SelectionFormat::setUnderline);
}

void NoteEditor::mnuFontNormal_Click()
{
    NoteMenuSet& menus = m_host->menus();
    menus.toggle(NoteMenus::mnuFontNormal);
    for (const char* item :
         {NoteMenus::mnuFontItalic, NoteMenus::mnuFontBold, NoteMenus::mnuFontUnderline})
        menus.setChecked(item, -1, false);
    SelectionFormat::setUnderline(textArea(), false);
    SelectionFormat::setBold(textArea(), false);
    SelectionFormat::setItalic(textArea(), false);
}

// The font of the text area as a whole, which text without a font of its own shows.
void NoteEditor::setControlFont(const QFont& font)
{
    textArea()->setFont(font);
    textArea()->document()->setDefaultFont(font);
}

void NoteEditor::CheckFontSizeMenu(int size)
{
    m_host->menus().checkFamilyByValue(NoteMenus::mnuFontSize, SelectionFormat::kMenuPointSizes,
                                       size);
}

void NoteEditor::mnuFontSize_Click(int Index)
{
    const auto size = menuPointSize(Index);
    if (!size)
        return;
    m_host->note().FontSize = *size;
    CheckFontSizeMenu(*size);
    QFont font = textArea()->font();
    font.setPointSize(*size);
    setControlFont(font);
}

// Applies to the whole note; the caret goes back to where the selection began.
void NoteEditor::mnuAlignment_Click(int Index)
{
    const auto alignment = menuAlignment(Index);
    if (!alignment)
        return;
    QTextCursor cursor = textArea()->textCursor();
    const int caret = cursor.selectionStart();
    cursor.select(QTextCursor::Document);
    textArea()->setTextCursor(cursor);
    SelectionFormat::setAlignment(textArea(), *alignment);
    cursor.setPosition(caret);
    textArea()->setTextCursor(cursor);
}

void NoteEditor::mnuBullets_Click(int Index)
{
    runBulletItem(textArea(), Index);
}

void NoteEditor::mnuIndent_Click(int Index)
{
    runIndentItem(textArea(), Index);
}

void NoteEditor::mnuFontFamily_Click()
{
    modMain::SetTopMost(m_host->noteWindow(), modMain::TopMostMode::OutOfBand);
    clsCommonDialog dialog;
    dialog.setOwnerHandle(m_host->noteWindow());
    dialog.setFontName(modMain::settingDefault(modMain::Setting::FontName));
    // A cancelled dialog changes nothing: the face shown first is not a choice.
    if (dialog.ShowFont() && !dialog.FontName().isEmpty()) {
        QFont font = textArea()->font();
        font.setFamily(dialog.FontName());
        setControlFont(font);
    }
    m_host->putBackOnTop();
}

void NoteEditor::mnuStrikeOut_Click(int Index)
{
    if (Index == int(StrikeItem::StrikeOut))
        SelectionFormat::setStrikeOut(textArea(), true);
    else if (Index == int(StrikeItem::Remove))
        SelectionFormat::setStrikeOut(textArea(), false);
}

void NoteEditor::mnuSelectEdit_Click(int Index)
{
    if (Index == int(SelectEditItem::Cut))
        textArea()->cut();
    else if (Index == int(SelectEditItem::Copy))
        textArea()->copy();
    else if (Index == int(SelectEditItem::Paste))
        textArea()->paste();
    else if (Index == int(SelectEditItem::Undo))
        undo();
}

void NoteEditor::mnuSelectFontSize_Click(int Index)
{
    if (const auto size = menuPointSize(Index))
        SelectionFormat::setPointSize(textArea(), *size);
}

// Switches the attribute on, never off.
void NoteEditor::mnuSelectStyle_Click(int Index)
{
    if (Index == int(StyleItem::Italic))
        SelectionFormat::setItalic(textArea(), true);
    else if (Index == int(StyleItem::Underline))
        SelectionFormat::setUnderline(textArea(), true);
    else if (Index == int(StyleItem::Bold))
        SelectionFormat::setBold(textArea(), true);
}

void NoteEditor::mnuRemoveFormat_Click()
{
    SelectionFormat::setBold(textArea(), false);
    SelectionFormat::setItalic(textArea(), false);
    SelectionFormat::setUnderline(textArea(), false);
    SelectionFormat::setStrikeOut(textArea(), false);
}

void NoteEditor::mnuSelectAlignment_Click(int Index)
{
    if (const auto alignment = menuAlignment(Index))
        SelectionFormat::setAlignment(textArea(), *alignment);
}

void NoteEditor::mnuSelectBullet_Click(int Index)
{
    runBulletItem(textArea(), Index);
}

void NoteEditor::mnuSelectIndent_Click(int Index)
{
    runIndentItem(textArea(), Index);
}

// The first file replaces the text: shown formatted when it is RTF, otherwise read as UTF-8 or,
// failing that, Windows-1252. The text is read apart from the note and taken in one step that
// Undo takes back. A file that is not taken leaves the note as it was.
void NoteEditor::RTB1_OLEDragDrop(const QStringList& files)
{
    if (files.isEmpty())
        return;
    const QString& path = files.first();
    if (m_host->note().HeldData) {
        refuseDroppedFile(path, tr("this note shows only its start and cannot be changed here"));
        return;
    }
    const auto content = readDroppedFile(path);
    if (const auto* reason = std::get_if<QString>(&content)) {
        refuseDroppedFile(path, *reason);
        return;
    }
    const QByteArray& bytes = std::get<QByteArray>(content);
    if (dropPicture(path, bytes))
        return;
    if (const auto reason = refusedAsText(bytes)) {
        refuseDroppedFile(path, *reason);
        return;
    }
    QTextDocument built;
    RichText::readRtf(bytes, &built, LiveText::kMaxParagraphs);
    if (!LiveText::fits(LiveText::sizeOf(&built))) {
        refuseDroppedFile(path, tooLongReason());
        return;
    }
    LiveText::replaceText(textArea(), built);
    m_host->note().TracksChanges = true;
    if (const int refused = RichText::refusedPictures(&built); refused > 0)
        inform(tr("%1 was loaded without %2 of its pictures: %3.")
                   .arg(shownFileName(path), QString::number(refused), pictureLimitPhrase()));
}

bool NoteEditor::dropPicture(const QString& path, const QByteArray& bytes)
{
    // A special note draws its own content: there the file is taken as any other.
    if (textArea()->isReadOnly() || !RichText::isPictureData(bytes))
        return false;
    RichText::PictureResult result = RichText::PictureResult::Unreadable;
    const QImage picture = RichText::decodePicture(bytes, &result);
    if (result == RichText::PictureResult::Unreadable)
        return false;
    if (result == RichText::PictureResult::Taken) {
        if (!textArea()->takes(LiveText::Size{0, 1})) {
            refuseDroppedFile(path, tooLongReason());
            return true;
        }
        result = textArea()->insertPicture(picture);
    }
    if (result != RichText::PictureResult::Taken)
        refuseDroppedFile(path, pictureTooLargeReason());
    return true;
}

void NoteEditor::refuseDroppedFile(const QString& path, const QString& reason)
{
    inform(tr("%1 was not loaded: %2.").arg(shownFileName(path), reason));
}

void NoteEditor::inform(const QString& message)
{
    modMain::SetTopMost(m_host->noteWindow(), modMain::TopMostMode::OutOfBand);
    MessageBox::show(m_host->noteWindow(), QMessageBox::Information, CaptionStrip::title(), message,
                     QMessageBox::Ok);
    m_host->putBackOnTop();
}
