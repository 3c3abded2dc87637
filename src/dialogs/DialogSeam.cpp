#include "dialogs/DialogSeam.h"

#include <QQueue>

namespace {
struct SeamState {
    bool armed = false;
    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<DialogSeam::FileAnswer> files;
    QQueue<QString> inputs;
    QQueue<std::optional<QTime>> times;
    QQueue<DialogSeam::FontAnswer> fonts;
    QQueue<QColor> colors;
    QQueue<DialogSeam::PrinterAnswer> printers;
    QQueue<bool> pageSetups;
    QQueue<QString> folders;
    QQueue<DialogSeam::SpellAnswer> spellings;
    QList<DialogSeam::Request> requests;
};

SeamState& state()
{
    static SeamState seam;
    return seam;
}

// Armed: records the request and gives the next queued answer, or the kind's cancel.
template <typename Answer>
std::optional<Answer> take(QQueue<Answer>& queue, const DialogSeam::Request& request, Answer cancel)
{
    if (!state().armed)
        return std::nullopt;
    state().requests.append(request);
    if (queue.isEmpty())
        return cancel;
    return queue.dequeue();
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

void DialogSeam::queueTimeAnswer(std::optional<QTime> time)
{
    state().times.enqueue(time);
}

void DialogSeam::queueFontAnswer(const QString& family)
{
    state().fonts.enqueue(FontAnswer{true, family});
}

void DialogSeam::queueFontCancel()
{
    state().fonts.enqueue(FontAnswer{});
}

void DialogSeam::queueColorAnswer(const QColor& color)
{
    state().colors.enqueue(color);
}

void DialogSeam::queueColorCancel()
{
    state().colors.enqueue(QColor());
}

void DialogSeam::queuePrinterAnswer(const PrinterAnswer& answer)
{
    state().printers.enqueue(answer);
}

void DialogSeam::queuePageSetupAnswer(bool accepted)
{
    state().pageSetups.enqueue(accepted);
}

void DialogSeam::queueFolderAnswer(const QString& folder)
{
    state().folders.enqueue(folder);
}

void DialogSeam::queueSpellAnswer(const SpellAnswer& answer)
{
    state().spellings.enqueue(answer);
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
    return take(state().buttons, request, QMessageBox::Cancel);
}

std::optional<DialogSeam::FileAnswer> DialogSeam::takeFileDialog(const Request& request)
{
    return take(state().files, request, FileAnswer{});
}

std::optional<QString> DialogSeam::takeInputBox(const Request& request)
{
    return take(state().inputs, request, QString());
}

std::optional<std::optional<QTime>> DialogSeam::takeTimeInput(const Request& request)
{
    return take(state().times, request, std::optional<QTime>());
}

std::optional<DialogSeam::FontAnswer> DialogSeam::takeFontDialog(const Request& request)
{
    return take(state().fonts, request, FontAnswer{});
}

std::optional<QColor> DialogSeam::takeColorDialog(const Request& request)
{
    return take(state().colors, request, QColor());
}

std::optional<DialogSeam::PrinterAnswer> DialogSeam::takePrinterDialog(const Request& request)
{
    return take(state().printers, request, PrinterAnswer{});
}

std::optional<bool> DialogSeam::takePageSetupDialog(const Request& request)
{
    return take(state().pageSetups, request, false);
}

std::optional<QString> DialogSeam::takeFolderDialog(const Request& request)
{
    return take(state().folders, request, QString());
}

std::optional<DialogSeam::SpellAnswer> DialogSeam::takeSpellDialog(const Request& request)
{
    return take(state().spellings, request, SpellAnswer{});
}
