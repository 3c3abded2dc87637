#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// Every message box of the program: shown modally, or answered through the dialog seam.
namespace MessageBox {
QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons);
} // namespace MessageBox
