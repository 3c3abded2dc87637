#pragma once

#include <QColor>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// The one place where message boxes and file dialogs can be answered without a person.
// Tests arm it and queue answers; a dialog asked while armed takes the next queued answer
// (or, when none is queued, a cancel) instead of showing itself, and is recorded.
namespace DialogSeam {

enum class Kind { MessageBox, OpenFile, SaveFile, Color };

struct Request {
    Kind kind;
    QString title;
    QString text;                   // message text, the file dialog's filter, or the
                                    // colour dialog's start colour ("#rrggbb")
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
void queueColorAnswer(const QColor& color);
void queueColorCancel();

const QList<Request>& requests();
void clearRequests();

// Used by the dialog code: empty when the real dialog should be shown.
std::optional<QMessageBox::StandardButton> takeMessageBox(const Request& request);
std::optional<FileAnswer> takeFileDialog(const Request& request);
// The chosen colour, or an invalid one for a cancel.
std::optional<QColor> takeColorDialog(const Request& request);

} // namespace DialogSeam
