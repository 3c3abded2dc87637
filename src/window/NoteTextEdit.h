#pragma once

#include "richtext/LiveText.h"
#include "richtext/Pictures.h"

#include <QHash>
#include <QTextEdit>
#include <optional>

// The note's rich-text area. Web and mail addresses in the text are shown as links while
// the text is typed (a look only: nothing is stored as formatting), and a left click on one
// asks for it to be opened.
class NoteTextEdit : public QTextEdit {
    Q_OBJECT

public:
    explicit NoteTextEdit(QWidget* parent = nullptr);

    // The control's plain text: paragraphs joined by CR LF.
    QString Text() const;

    // The link text at a character position, if a link is there.
    std::optional<QString> linkAt(int position) const;

    // Looks for links again now instead of after the short pause.
    void refreshLinks();

    // The key last pressed here, 0 once any key is released.
    int lastKeyDown() const { return m_lastKeyDown; }

    // Where the keyboard's menu keys open a menu: below the caret, on the screen.
    QPoint caretMenuPoint() const;

    // Whether text of that size, put in place of the selection, leaves the note within what
    // it can show.
    bool takes(LiveText::Size incoming) const;

    // Puts the picture in place of the selection, shown no wider than the text area, when the
    // note's picture limits leave room for it.
    RichText::PictureResult insertPicture(const QImage& picture);

signals:
    void linkClicked(const QString& linkText);
    // The right button (at the pointer), or the Menu key or Shift+F10 (at the caret): the
    // window shows the menu that fits the selection there, in screen coordinates.
    void menuRequested(const QPoint& where);
    // Local files were dropped here, in the order of the drop.
    void filesDropped(const QStringList& paths);
    // A paste was left out: the note would have grown beyond what it can show.
    void pasteRefused();
    // A picture was left out: it, or the note's pictures with it, would be over the limits.
    void pictureRefused();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Only a list of files may be dropped; other data is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Pastes only what the note can show: a picture where the data offers no text.
    void insertFromMimeData(const QMimeData* source) override;
    // A picture copied alone goes out as a picture as well, for other notes and programs.
    QMimeData* createMimeDataFromSelection() const override;

private:
    struct LinkRange {
        int start;
        int end;
    };
    std::optional<LinkRange> linkRangeAt(int position) const;
    void pastePicture(const QMimeData* source);

    QList<LinkRange> m_links;
    int m_lastKeyDown = 0;
    // The modifiers held when each key still down was pressed: a key released after its
    // modifier still acts as the combination it was typed as.
    QHash<int, Qt::KeyboardModifiers> m_pressedWith;
    class QTimer* m_linkTimer = nullptr;
};
