#include "dialogs/DialogSeam.h"

#include <QQueue>

namespace {
struct SeamState {
    bool armed = false;
    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<DialogSeam::FileAnswer> files;
    QQueue<QColor> colors;
    QList<DialogSeam::Request> requests;
};

SeamState& state()
{
    static SeamState seam;
    return seam;
}
} // namespace

void DialogSeam::arm()
{
    state() = SeamState{};
    state().armed = true;
}

void DialogSeam::disarm()
{
    state() = SeamState{};
}

bool DialogSeam::isArmed()
{
    return state().armed;
}

void DialogSeam::queueMessageBoxAnswer(QMessageBox::StandardButton button)
{
    state().buttons.enqueue(button);
}

void DialogSeam::queueFileAnswer(const QString& path)
{
    state().files.enqueue(FileAnswer{true, {path}});
}

void DialogSeam::queueFileAnswers(const QStringList& paths)
{
    state().files.enqueue(FileAnswer{true, paths});
}

void DialogSeam::queueFileCancel()
{
    state().files.enqueue(FileAnswer{});
}

void DialogSeam::queueColorAnswer(const QColor& color)
{
    state().colors.enqueue(color);
}

void DialogSeam::queueColorCancel()
{
    state().colors.enqueue(QColor());
}

const QList<DialogSeam::Request>& DialogSeam::requests()
{
    return state().requests;
}

void DialogSeam::clearRequests()
{
    state().requests.clear();
}

std::optional<QMessageBox::StandardButton> DialogSeam::takeMessageBox(const Request& request)
{
    if (!state().armed)
        return std::nullopt;
    state().requests.append(request);
    if (state().buttons.isEmpty())
        return QMessageBox::Cancel;
    return state().buttons.dequeue();
}

std::optional<DialogSeam::FileAnswer> DialogSeam::takeFileDialog(const Request& request)
{
    if (!state().armed)
        return std::nullopt;
    state().requests.append(request);
    if (state().files.isEmpty())
        return FileAnswer{};
    return state().files.dequeue();
}

std::optional<QColor> DialogSeam::takeColorDialog(const Request& request)
{
    if (!state().armed)
        return std::nullopt;
    state().requests.append(request);
    if (state().colors.isEmpty())
        return QColor();
    return state().colors.dequeue();
}
