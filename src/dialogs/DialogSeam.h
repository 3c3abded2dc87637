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

enum class Kind { MessageBox, OpenFile, SaveFile, InputBox, TimeInput, Font, Color };

struct Request {
    Kind kind;
    QString title;
    // The message or prompt text, the file dialog's filter, the font dialog's first face, or
    // the colour dialog's start colour ("#rrggbb").
    QString text;
    QString directory;              // file dialogs: the folder they would open in
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

} // namespace DialogSeam
