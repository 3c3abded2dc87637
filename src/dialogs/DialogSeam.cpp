#include "dialogs/DialogSeam.h"

#include <QQueue>

namespace {
struct SeamState {
    bool armed = false;
    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<DialogSeam::FileAnswer> files;
    QQueue<std::optional<QTime>> times;
    QQueue<QString> inputs;
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

void DialogSeam::queueInputAnswer(const QString& text)
{
    state().inputs.enqueue(text);
}

void DialogSeam::queueInputCancel()
{
    state().inputs.enqueue(QString());
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

void DialogSeam::queueTimeAnswer(std::optional<QTime> time)
{
    state().times.enqueue(time);
}

std::optional<std::optional<QTime>> DialogSeam::takeTimeInput(const Request& request)
{
    if (!state().armed)
        return std::nullopt;
    state().requests.append(request);
    if (state().times.isEmpty())
        return std::optional<QTime>();
    return state().times.dequeue();
}

std::optional<QString> DialogSeam::takeInputBox(const Request& request)
{
    if (!state().armed)
        return std::nullopt;
    state().requests.append(request);
    if (state().inputs.isEmpty())
        return QString();
    return state().inputs.dequeue();
}
