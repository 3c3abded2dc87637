#include "dialogs/MessageBox.h"

#include "dialogs/DialogSeam.h"

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon,
                                             const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons)
{
    if (auto answer =
            DialogSeam::takeMessageBox({DialogSeam::Kind::MessageBox, title, text, {}, parent}))
        return *answer;
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
