#include "dialogs/ApplicationPrinter.h"

#include <QCoreApplication>
#include <QList>
#include <QPainter>
#include <QPrinter>
#include <memory>

namespace {
using Page = QList<ApplicationPrinter::Drawing>;

struct Job {
    bool open = false;
    QList<Page> pages;
};

Job& job()
{
    static Job current;
    return current;
}
} // namespace

QPrinter& ApplicationPrinter::printer()
{
    // Made on first use, since a printer needs the application object, and gone with it.
    static std::unique_ptr<QPrinter> device;
    if (!device) {
        device = std::make_unique<QPrinter>(QPrinter::HighResolution);
        qAddPostRoutine([] { device.reset(); });
    }
    return *device;
}

void ApplicationPrinter::StartDoc()
{
    job() = Job{true, {Page{}}};
}

void ApplicationPrinter::Print(Drawing drawing)
{
    if (!job().open)
        StartDoc();
    job().pages.last().append(std::move(drawing));
}

void ApplicationPrinter::NewPage()
{
    if (!job().open)
        StartDoc();
    job().pages.append(Page{});
}

bool ApplicationPrinter::EndDoc()
{
    const Job finished = std::exchange(job(), Job{});
    if (!finished.open)
        return false;
    QPainter painter;
    if (!painter.begin(&printer()))
        return false;
    for (qsizetype i = 0; i < finished.pages.size(); ++i) {
        if (i > 0 && !printer().newPage())
            return false;
        for (const Drawing& drawing : finished.pages.at(i)) {
            painter.save();
            drawing(painter);
            painter.restore();
        }
    }
    return painter.end();
}

void ApplicationPrinter::KillDoc()
{
    job() = Job{};
}

int ApplicationPrinter::pageCount()
{
    return job().open ? static_cast<int>(job().pages.size()) : 0;
}
