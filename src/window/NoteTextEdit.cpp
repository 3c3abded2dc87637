#include "window/NoteTextEdit.h"

#include "richtext/RichText.h"
#include "shell/LinkPolicy.h"

#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace {
constexpr int kLinkPauseMs = 150;

QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

// Data copied from a note: its markup names its pictures, which go along to the other notes
// of this program.
class NoteMimeData : public QMimeData {
public:
    QHash<QString, QImage> pictures;
    qint64 pictureBytes = 0; // as the limits count them
};

// Whether the data carries text to paste: pictures copied from a note come with the object
// character as their text, and copied from a web page with markup around no text at all.
bool carriesText(const QMimeData* data)
{
    const auto shows = [](QString text) {
        return !text.remove(QChar::ObjectReplacementCharacter).trimmed().isEmpty();
    };
    if (data->hasText() && shows(data->text()))
        return true;
    return data->hasHtml() && shows(QTextDocumentFragment::fromHtml(data->html()).toPlainText());
}

// Whether the file is named as a picture, so a drop puts it where it falls.
bool hasPictureName(const QString& path)
{
    return QImageReader::supportedImageFormats().contains(
        QFileInfo(path).suffix().toLower().toLatin1());
}

} // namespace

NoteTextEdit::NoteTextEdit(QWidget* parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("RTB1"));
    setFrameShape(QFrame::NoFrame);
    // The note window pops up its own menus instead of the standard one.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAcceptRichText(true);
    m_linkTimer = new QTimer(this);
    m_linkTimer->setSingleShot(true);
    m_linkTimer->setInterval(kLinkPauseMs);
    connect(m_linkTimer, &QTimer::timeout, this, &NoteTextEdit::refreshLinks);
    connect(this, &QTextEdit::textChanged, m_linkTimer, qOverload<>(&QTimer::start));
    viewport()->setMouseTracking(true);
}

QString NoteTextEdit::Text() const
{
    return RichText::plainText(document());
}

void NoteTextEdit::refreshLinks()
{
    m_linkTimer->stop();
    m_links.clear();
    QList<QTextEdit::ExtraSelection> selections;
    QTextCharFormat look;
    look.setForeground(QColor(0, 0, 238));
    look.setFontUnderline(true);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (const LinkPolicy::Span& link : LinkPolicy::linksIn(text)) {
            const int begin = block.position() + link.start;
            m_links.append({begin, begin + link.length});
            QTextCursor cursor(document());
            cursor.setPosition(begin);
            cursor.setPosition(begin + link.length, QTextCursor::KeepAnchor);
            selections.append({cursor, look});
        }
    }
    setExtraSelections(selections);
}

std::optional<NoteTextEdit::LinkRange> NoteTextEdit::linkRangeAt(int position) const
{
    for (const LinkRange& link : m_links) {
        if (position >= link.start && position < link.end)
            return link;
    }
    return std::nullopt;
}

std::optional<QString> NoteTextEdit::linkAt(int position) const
{
    const auto range = linkRangeAt(position);
    if (!range)
        return std::nullopt;
    QTextCursor cursor(document());
    cursor.setPosition(range->start);
    cursor.setPosition(range->end, QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

void NoteTextEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        emit menuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier)) {
        const int position = cursorForPosition(event->position().toPoint()).position();
        if (const auto link = linkAt(position)) {
            emit linkClicked(*link);
            event->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void NoteTextEdit::mouseMoveEvent(QMouseEvent* event)
{
    const int position = cursorForPosition(event->position().toPoint()).position();
    viewport()->setCursor(linkRangeAt(position) ? Qt::PointingHandCursor : Qt::IBeamCursor);
    QTextEdit::mouseMoveEvent(event);
}

QPoint NoteTextEdit::caretMenuPoint() const
{
    const QRect area = viewport()->rect();
    const QPoint below = cursorRect().bottomLeft();
    // A caret scrolled out of sight opens the menu at the nearest edge of the text.
    return viewport()->mapToGlobal(QPoint(std::clamp(below.x(), area.left(), area.right()),
                                          std::clamp(below.y(), area.top(), area.bottom())));
}

void NoteTextEdit::keyPressEvent(QKeyEvent* event)
{
    m_lastKeyDown = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (!event->isAutoRepeat())
        m_pressedWith.insert(event->key(), mods);
    // Ctrl+Shift+V pastes plain text when released (the window's key table); the area must
    // not paste rich text as well.
    if (event->key() == Qt::Key_V && (mods & Qt::ControlModifier) && (mods & Qt::ShiftModifier)) {
        event->accept();
        return;
    }
    const bool shiftOnly =
        (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ShiftModifier;
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && shiftOnly)) {
        event->accept();
        emit menuRequested(caretMenuPoint());
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void NoteTextEdit::keyReleaseEvent(QKeyEvent* event)
{
    m_lastKeyDown = 0;
    // The window acts on the released key with what was held when it went down, whichever
    // of the keys the user lets go first.
    if (!event->isAutoRepeat()) {
        if (const auto pressed = m_pressedWith.constFind(event->key());
            pressed != m_pressedWith.constEnd()) {
            event->setModifiers(*pressed);
            m_pressedWith.erase(pressed);
        }
    }
    QTextEdit::keyReleaseEvent(event);
}

void NoteTextEdit::focusOutEvent(QFocusEvent* event)
{
    // Keys let go elsewhere never come back here.
    m_pressedWith.clear();
    QTextEdit::focusOutEvent(event);
}

void NoteTextEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void NoteTextEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void NoteTextEdit::dropEvent(QDropEvent* event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (hasPictureName(paths.first()))
        setTextCursor(cursorForPosition(event->position().toPoint()));
    emit filesDropped(paths);
}

bool NoteTextEdit::takes(LiveText::Size incoming) const
{
    const QTextCursor cursor = textCursor();
    // The selection's paragraph breaks count as characters here: a little more than it frees.
    const LiveText::Size replaced{0, cursor.selectionEnd() - cursor.selectionStart()};
    return LiveText::fits(LiveText::sizeOf(document()) - replaced + incoming);
}

RichText::PictureResult NoteTextEdit::insertPicture(const QImage& picture)
{
    RichText::PictureResult result = RichText::PictureResult::Unreadable;
    QTextImageFormat format = RichText::addPicture(document(), picture, &result);
    if (result != RichText::PictureResult::Taken)
        return result;
    const qreal room = viewport()->width() - 2 * document()->documentMargin();
    if (room > 0 && picture.width() > room) {
        format.setWidth(room);
        format.setHeight(room * picture.height() / picture.width());
    }
    textCursor().insertImage(format);
    return result;
}

void NoteTextEdit::pastePicture(const QMimeData* source)
{
    RichText::PictureResult result = RichText::PictureResult::Unreadable;
    const QImage picture = RichText::pictureOf(source, &result);
    if (result == RichText::PictureResult::Taken)
        result = insertPicture(picture);
    if (result == RichText::PictureResult::TooLarge || result == RichText::PictureResult::NoteFull)
        emit pictureRefused();
}

QMimeData* NoteTextEdit::createMimeDataFromSelection() const
{
    std::unique_ptr<QMimeData> selected(QTextEdit::createMimeDataFromSelection());
    // Made at every selection for the X selection too: text without objects costs no more.
    if (!textCursor().selectedText().contains(QChar::ObjectReplacementCharacter))
        return selected.release();
    QTextDocument copied;
    RichText::addPictures(&copied, RichText::picturesIn(document()));
    QTextCursor(&copied).insertFragment(textCursor().selection());
    const QHash<QString, QImage> pictures = RichText::picturesIn(&copied);
    if (pictures.isEmpty())
        return selected.release();
    // The editor's own data lists a fixed set of types; one that carries pictures lists its own.
    auto* withPictures = new NoteMimeData;
    for (const QString& type : selected->formats())
        withPictures->setData(type, selected->data(type));
    withPictures->pictures = pictures;
    withPictures->pictureBytes = RichText::picturesBytes(&copied);
    // A picture copied alone goes to other programs as a picture.
    if (copied.characterCount() == 2 && pictures.size() == 1)
        withPictures->setImageData(pictures.begin().value());
    return withPictures;
}

void NoteTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source)
        return;
    if (RichText::hasPicture(source) && !carriesText(source)) {
        if (isReadOnly())
            return;
        if (takes(LiveText::Size{0, 1}))
            pastePicture(source);
        else
            emit pasteRefused();
        return;
    }
    if (const auto* fromNote = dynamic_cast<const NoteMimeData*>(source);
        fromNote && !isReadOnly()) {
        if (RichText::picturesBytes(document()) + fromNote->pictureBytes >
            RichText::kMaxNotePictureBytes) {
            emit pictureRefused();
            return;
        }
        RichText::addPictures(document(), fromNote->pictures);
    }
    // Measured by the text the data carries; rich text without any is measured by its markup,
    // which is never shorter than the text it shows.
    const LiveText::Size incoming = source->hasText() || !source->hasHtml()
                                        ? LiveText::sizeOf(source->text())
                                        : LiveText::sizeOf(source->html());
    if (takes(incoming))
        QTextEdit::insertFromMimeData(source);
    else
        emit pasteRefused();
}
