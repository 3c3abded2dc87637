#include "window/NoteHandoff.h"

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

#include <QCoreApplication>
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

NoteHandoff::NoteHandoff(std::unique_ptr<NoteHandoffHost> host) : m_host(std::move(host)) {}

NoteHandoff::~NoteHandoff() = default;

void NoteHandoff::PrintNote()
{
    NoteTextEdit* text = m_host->textArea();
    modMain::SetTopMost(m_host->noteWindow(), modMain::TopMostMode::OutOfBand);
    cPrintRTB printer;
    const bool printed = printer.PrintRTF(text, kOneInch, kOneInch, kOneInch, kOneInch);
    m_host->putBackOnTop();
    if (printed)
        return;
    MessageBox::show(m_host->noteWindow(), QMessageBox::Critical,
                     QCoreApplication::translate("NoteHandoff", "Print Error"),
                     QCoreApplication::translate("NoteHandoff",
                                                 "There was an error printing your Note. Check "
                                                 "to make sure your printer is functioning "
                                                 "properly"),
                     QMessageBox::Ok);
    modMain::WriteLogEntry(QStringLiteral("frmMain: PrintNote"),
                           AppError::fromNumber(ErrorNumber::ObjectNotSet));
}

void NoteHandoff::mnuPrint_Click()
{
    PrintNote();
}

void NoteHandoff::EmailNote()
{
    NoteTextEdit* text = m_host->textArea();
    const QTextCursor cursor = text->textCursor();
    clsSendMail mail;
    mail.setBody(cursor.hasSelection() ? selectedText(cursor) : text->Text());
    mail.Send();
}

void NoteHandoff::CheckSpelling()
{
    NoteTextEdit* text = m_host->textArea();
    QTextCursor cursor = text->textCursor();
    const bool selected = cursor.hasSelection();
    const int selStart = cursor.selectionStart();
    SpellChecker checker;
    checker.setMainDictionary(inAppDirectory(QStringLiteral("default.dct")));
    checker.setCustomDictionary(inAppDirectory(QStringLiteral("custom.dct")));
    if (checker.open()) {
        // Changes go straight into the text, word by word, so the rest keeps its formatting.
        modMain::SetTopMost(m_host->noteWindow(), modMain::TopMostMode::OutOfBand);
        const int from = selected ? selStart : 0;
        const int to = selected ? cursor.selectionEnd() : text->document()->characterCount() - 1;
        checker.CheckWindow(text->document(), from, to, m_host->noteWindow());
        m_host->putBackOnTop();
    } else {
        modMain::WriteLogEntry(QStringLiteral("frmMain: CheckSpelling"),
                               AppError{ErrorNumber::FileNotFound, QStringLiteral("SpellChecker"),
                                        QStringLiteral("No spelling dictionary is installed")});
    }
    cursor.setPosition(qMin(selStart, text->document()->characterCount() - 1));
    text->setTextCursor(cursor);
    MessageBox::show(m_host->noteWindow(), QMessageBox::Information,
                     QCoreApplication::translate("NoteHandoff", "Spell Check"),
                     QCoreApplication::translate("NoteHandoff", "Spell Check has been completed!"),
                     QMessageBox::Ok);
}
