#include "dialogs/MessageBox.h"

#include "dialogs/DialogSeam.h"

namespace {
bool silenced = false;

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
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBox::silenceForSessionEnd()
{
    silenced = true;
}
