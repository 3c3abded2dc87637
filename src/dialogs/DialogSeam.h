#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

class QWidget;

// The one place where message boxes, file dialogs and text prompts can be answered without a
// person. Tests arm it and queue answers; a dialog asked while armed takes the next queued answer
// (or, when none is queued, a cancel) instead of showing itself, and is recorded.
namespace DialogSeam {

enum class Kind { MessageBox, OpenFile, SaveFile, InputBox, TimeInput };

struct Request {
    Kind kind;
    QString title;
    QString text;                   // message text or prompt, or the file dialog's filter
    QString directory;              // file dialogs: the folder they would open in
    const QWidget* owner = nullptr; // the window the dialog would be modal to
};

struct FileAnswer {
    bool accepted = false;
    QStringList files;
};

void arm();
void disarm();
bool isArmed();

void queueMessageBoxAnswer(QMessageBox::StandardButton button);
void queueFileAnswer(const QString& path);
void queueFileAnswers(const QStringList& paths); // one multiple selection
void queueFileCancel();
// The time prompt: a time is what its buttons give; nothing is closing it otherwise.
void queueTimeAnswer(std::optional<QTime> time);
void queueInputAnswer(const QString& text); // the prompt's "&Ok" with this text
void queueInputCancel();

const QList<Request>& requests();
void clearRequests();

// Used by the dialog code: empty when the real dialog should be shown.
std::optional<QMessageBox::StandardButton> takeMessageBox(const Request& request);
std::optional<FileAnswer> takeFileDialog(const Request& request);
// Armed: the queued time answer (closed when none is queued) in the outer optional.
std::optional<std::optional<QTime>> takeTimeInput(const Request& request);
std::optional<QString> takeInputBox(const Request& request); // empty text on a cancel

} // namespace DialogSeam
