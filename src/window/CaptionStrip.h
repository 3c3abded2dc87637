#pragma once

#include <QWidget>

class FrameLabel;
class QLabel;
class QAbstractButton;

// The grey strip across the top of a note: the note icon (or one of the two reminder icons
// in its place), the caption "Jottex" and the help and close buttons. Each control reports
// what the user did to it; the strip's own surface is the window's, so presses there reach
// the note window.
class CaptionStrip : public QWidget {
    Q_OBJECT

public:
    // Which picture stands at the left end of the strip.
    enum class Icon { Note, Reminder0, Reminder1 };

    explicit CaptionStrip(QWidget* parent);

    // The program's name: the caption, the window's title and the note's boxes' titles.
    static QString title();

    QLabel* caption() const;
    // The caption is the title, with " *" while the note has unsaved changes.
    void showChanged(bool changed);
    // A conflict copy of a note in the notes folder (the other computer's version) says so in
    // its caption and its strip's colour.
    void showConflictCopy(bool conflictCopy);
    QWidget* icon(Icon which) const;
    void showIcon(Icon which);
    void setIconToolTip(const QString& text);

    // Lays the strip out for a window widthTwips wide.
    void layOut(int widthTwips);

signals:
    void moveStarted(QPoint globalPos);
    void dragged(QPoint globalPos);
    void dragEnded();
    void iconMenuRequested();
    void iconDoubleClicked();
    void helpClicked();
    void closeClicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FrameLabel* makeIcon(const char* name, const QIcon& artwork, const QString& accessibleName);
    QAbstractButton* makeButton(const char* name, const QIcon& artwork,
                                const QString& accessibleName, const QString& toolTip);
    void connectDrag(FrameLabel* label);
    void showCaption();

    FrameLabel* m_icons[3] = {nullptr, nullptr, nullptr}; // by Icon
    FrameLabel* m_caption = nullptr;
    QAbstractButton* m_help = nullptr;
    QAbstractButton* m_close = nullptr;
    bool m_changed = false;
    bool m_conflictCopy = false;
};
