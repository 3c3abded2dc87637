// The note handed to other software: the printer, the mail program and the spelling checker.
#include "dialogs/MessageBox.h"
#include "shell/AppError.h"
#include "shell/ErrorLog.h"
#include "shell/Paths.h"
#include "shell/Twips.h"
#include "shell/WindowUtils.h"
#include "window/NoteTextEdit.h"
#include "window/SpellChecker.h"
#include "window/cPrintRTB.h"
#include "window/clsSendMail.h"
#include "window/frmMain.h"

#include <QDir>
#include <QTextCursor>

namespace {
constexpr int kOneInch = Twips::PerInch;

// The selection with its paragraphs joined by CR LF, as the note's whole text is.
QString selectedText(const QTextCursor& cursor)
{
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

QString inAppDirectory(const QString& name)
{
    return QDir(AppPaths::appDirectory()).filePath(name);
}
} // namespace

void frmMain::PrintNote()
{
    modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
    cPrintRTB printer;
    const bool printed = printer.PrintRTF(m_rtb, kOneInch, kOneInch, kOneInch, kOneInch);
    setOnTopFromRecord();
    if (printed)
        return;
    MessageBox::show(this, QMessageBox::Critical, QStringLiteral("Print Error"),
                     QStringLiteral("There was an error printing your Note. Check to make sure "
                                    "your printer is functioning properly"),
                     QMessageBox::Ok);
    modMain::WriteLogEntry(QStringLiteral("frmMain: PrintNote"),
                           AppError::fromNumber(ErrorNumber::ObjectNotSet));
}

void frmMain::mnuPrint_Click()
{
    PrintNote();
}

void frmMain::EmailNote()
{
    const QTextCursor cursor = m_rtb->textCursor();
    clsSendMail mail;
    mail.setBody(cursor.hasSelection() ? selectedText(cursor) : Text());
    mail.Send();
}

void frmMain::CheckSpelling()
{
    QTextCursor cursor = m_rtb->textCursor();
    const bool selected = cursor.hasSelection();
    const int selStart = cursor.selectionStart();
    SpellChecker checker;
    checker.setMainDictionary(inAppDirectory(QStringLiteral("default.dct")));
    checker.setCustomDictionary(inAppDirectory(QStringLiteral("custom.dct")));
    if (checker.open()) {
        // Changes go straight into the text, word by word, so the rest keeps its formatting.
        modMain::SetTopMost(this, modMain::TopMostMode::OutOfBand);
        const int from = selected ? selStart : 0;
        const int to = selected ? cursor.selectionEnd() : m_rtb->document()->characterCount() - 1;
        checker.CheckWindow(m_rtb->document(), from, to, this);
        setOnTopFromRecord();
    } else {
        modMain::WriteLogEntry(QStringLiteral("frmMain: CheckSpelling"),
                               AppError{ErrorNumber::FileNotFound, QStringLiteral("SpellChecker"),
                                        QStringLiteral("No spelling dictionary is installed")});
    }
    cursor.setPosition(qMin(selStart, m_rtb->document()->characterCount() - 1));
    m_rtb->setTextCursor(cursor);
    MessageBox::show(this, QMessageBox::Information, QStringLiteral("Spell Check"),
                     QStringLiteral("Spell Check has been completed!"), QMessageBox::Ok);
}
