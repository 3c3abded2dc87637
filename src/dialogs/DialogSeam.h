#pragma once

#include <QColor>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

class QWidget;

// The one place where message boxes and dialogs can be answered without a person. Tests arm
// it and queue answers; a dialog asked while armed takes the next queued answer of its kind
// (or, when none is queued, a cancel) instead of showing itself, and is recorded.
namespace DialogSeam {

enum class Kind {
    MessageBox,
    OpenFile,
    SaveFile,
    InputBox,
    TimeInput,
    Font,
    Color,
    Printer,
    PageSetup,
    Folder,
    Spelling,
};

struct Request {
    Kind kind;
    QString title;
    // The message or prompt text, the file dialog's filter, the font dialog's first face, the
    // colour dialog's start colour ("#rrggbb"), or the word the spelling dialog questions.
    QString text;
    QString directory; // file dialogs: the folder they would open in; spelling: the context
    const QWidget* owner = nullptr; // the window the dialog would be modal to
};

struct FileAnswer {
    bool accepted = false;
    QStringList files;
};

struct FontAnswer {
    bool accepted = false;
    QString family;
};

// The printer dialog: confirmed or not, and the PDF file it prints to (empty: the printer
// the application already has).
struct PrinterAnswer {
    bool accepted = false;
    QString outputFile;
};

// The buttons of the spelling dialog, and the word in its "Change To" box.
enum class SpellAction { Ignore, IgnoreAll, Add, Change, ChangeAll, Cancel };
struct SpellAnswer {
    SpellAction action = SpellAction::Cancel;
    QString replacement;
};

void arm();
void disarm();
bool isArmed();

void queueMessageBoxAnswer(QMessageBox::StandardButton button);
void queueFileAnswer(const QString& path);
void queueFileAnswers(const QStringList& paths); // one multiple selection
void queueFileCancel();
void queueInputAnswer(const QString& text); // the prompt's "&Ok" with this text
void queueInputCancel();
// The time prompt: a time is what its buttons give; nothing is closing it otherwise.
void queueTimeAnswer(std::optional<QTime> time);
void queueFontAnswer(const QString& family);
void queueFontCancel();
void queueColorAnswer(const QColor& color);
void queueColorCancel();
void queuePrinterAnswer(const PrinterAnswer& answer);
void queuePageSetupAnswer(bool accepted);
void queueFolderAnswer(const QString& folder); // an empty folder is a cancel
void queueSpellAnswer(const SpellAnswer& answer);

const QList<Request>& requests();
void clearRequests();

// Used by the dialog code: empty when the real dialog should be shown.
std::optional<QMessageBox::StandardButton> takeMessageBox(const Request& request);
std::optional<FileAnswer> takeFileDialog(const Request& request);
std::optional<QString> takeInputBox(const Request& request); // empty text on a cancel
// Armed: the queued time answer (closed when none is queued) in the outer optional.
std::optional<std::optional<QTime>> takeTimeInput(const Request& request);
std::optional<FontAnswer> takeFontDialog(const Request& request);
// The chosen colour, or an invalid one for a cancel.
std::optional<QColor> takeColorDialog(const Request& request);
std::optional<PrinterAnswer> takePrinterDialog(const Request& request);
std::optional<bool> takePageSetupDialog(const Request& request);
std::optional<QString> takeFolderDialog(const Request& request); // empty on a cancel
std::optional<SpellAnswer> takeSpellDialog(const Request& request);

} // namespace DialogSeam
