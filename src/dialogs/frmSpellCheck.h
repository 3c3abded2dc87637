#pragma once

#include "dialogs/DialogSeam.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QTextBrowser;

// The spelling dialog: the questioned word in its paragraph, what to change it to, the
// suggestions, and Ignore, Ignore All, Add, Change, Change All and Cancel. Modal.
class frmSpellCheck : public QDialog {
    Q_OBJECT

public:
    // The paragraph shows the word at wordStart highlighted.
    frmSpellCheck(const QString& word, const QString& paragraph, int wordStart,
                  const QStringList& suggestions, QWidget* owner);

    DialogSeam::SpellAnswer answer() const { return m_answer; }

    // Asks about one word, through the dialog seam when it is armed.
    static DialogSeam::SpellAnswer Ask(const QString& word, const QString& paragraph, int wordStart,
                                       const QStringList& suggestions, QWidget* owner);

private:
    static QString title();
    void finish(DialogSeam::SpellAction action);

    QTextBrowser* m_context = nullptr;
    QLineEdit* m_changeTo = nullptr;
    QListWidget* m_suggestions = nullptr;
    DialogSeam::SpellAnswer m_answer;
};
