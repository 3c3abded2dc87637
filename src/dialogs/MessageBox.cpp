#include "dialogs/MessageBox.h"

#include "dialogs/DialogSeam.h"
#include "dialogs/ModalBox.h"

#include <atomic>

namespace {
// Set from any thread: a logout finished off the interface thread silences boxes too.
std::atomic<bool> silenced = false;

// What dismissing the box (Escape) would answer.
QMessageBox::StandardButton dismissed(QMessageBox::StandardButtons buttons)
{
    for (const QMessageBox::StandardButton button : {QMessageBox::Cancel, QMessageBox::No}) {
        if (buttons & button)
            return button;
    }
    return QMessageBox::Ok;
}
} // namespace

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon,
                                             const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons)
{
    if (silenced)
        return dismissed(buttons);
    if (auto answer =
            DialogSeam::takeMessageBox({DialogSeam::Kind::MessageBox, title, text, {}, parent}))
        return *answer;
    ModalBox<QMessageBox> box(new QMessageBox(icon, title, text, buttons, parent));
    const int answer = box.exec();
    return box ? static_cast<QMessageBox::StandardButton>(answer) : dismissed(buttons);
}

void MessageBox::silenceForSessionEnd()
{
    silenced = true;
}
