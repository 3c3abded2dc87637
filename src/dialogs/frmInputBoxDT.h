#pragma once

#include <QTime>
#include <optional>

class QString;
class QWidget;

// The time prompt: a label, a time editor for hours, minutes and seconds, "&Ok" and "&Cancel".
// Modal, made and destroyed per use.
namespace frmInputBoxDT {
// The time in the editor on "&Ok" and on "&Cancel" alike; nothing when the dialog is closed
// any other way. The editor starts at the given time, to the second. An empty title shows the
// application's title.
std::optional<QTime> InputBoxEX(const QString& prompt, const QString& title, const QTime& start,
                                QWidget* owner = nullptr);
} // namespace frmInputBoxDT
