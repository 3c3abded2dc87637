#pragma once

#include <QObject>
#include <QString>
#include <QStringView>
#include <QTimer>

class QTextDocument;
class QWidget;

// A note window's title, as taskbars, Alt+Tab and window lists show it: the first line of the
// note's text, so notes can be told apart there. The caption strip keeps the program's name.
class NoteTitle : public QObject {
    Q_OBJECT

public:
    // The longest title, ellipsis included.
    static constexpr qsizetype kMostCharacters = 60;

    // The title for a note whose text starts with text: its first line without blanks around
    // it, cut with an ellipsis when longer than kMostCharacters; the program's name when that
    // leaves nothing.
    static QString forText(QStringView text);

    // Keeps window's title on the first line of document from now on, a moment after each
    // change. Both must outlive the follower, which is a child of window.
    NoteTitle(QWidget* window, QTextDocument* document);

    // The title shown, without the window's unsaved-changes mark.
    QString title() const { return m_title; }

private:
    void contentsChanged(int position);
    void refresh();

    QWidget* m_window;
    QTextDocument* m_document;
    QString m_title;
    // Changes made together (a special note rewriting itself) give one title, not a flicker
    // through the ones between.
    QTimer m_refresh;
};
