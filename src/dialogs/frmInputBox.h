#pragma once

#include <QString>

class QWidget;

// The small text prompt: a label, a text box, "&Ok" and "&Cancel". Modal, made and destroyed
// per use.
namespace frmInputBox {
// The text typed on "&Ok"; empty on "&Cancel" or any other way of closing. An empty title
// shows the application's title.
QString InputBoxEX(const QString& prompt, const QString& title, const QString& defaultText,
                   QWidget* owner = nullptr);
} // namespace frmInputBox
