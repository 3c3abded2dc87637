#include "RealDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QTest>

namespace {
template <typename Dialog> Dialog* waitForModal()
{
    const auto modalDialog = [] {
        return qobject_cast<Dialog*>(QApplication::activeModalWidget());
    };
    constexpr int kWaitMs = 5000;
    if (QTest::qWaitFor([&] { return modalDialog() != nullptr; }, kWaitMs))
        return modalDialog();
    if (QWidget* other = QApplication::activeModalWidget())
        other->close();
    return nullptr;
}
} // namespace

QFileDialog* RealDialogs::waitForFileDialog()
{
    return waitForModal<QFileDialog>();
}

QFontDialog* RealDialogs::waitForFontDialog()
{
    return waitForModal<QFontDialog>();
}

QColorDialog* RealDialogs::waitForColorDialog()
{
    return waitForModal<QColorDialog>();
}

QDialog* RealDialogs::waitForDialog()
{
    return waitForModal<QDialog>();
}
