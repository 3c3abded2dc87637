#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Every message box of the program: shown modally, or answered through the dialog seam.
namespace MessageBox {
QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons);

// From the end of the session on, no box may hold up the program's exit: show() then
// answers at once as if the box had been dismissed, and shows nothing.
void silenceForSessionEnd();
} // namespace MessageBox
