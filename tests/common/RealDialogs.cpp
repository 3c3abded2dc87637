#include "RealDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QTest>

QFileDialog* RealDialogs::waitForFileDialog()
{
    const auto modalFileDialog = [] {
        return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    };
    constexpr int kWaitMs = 5000;
    if (QTest::qWaitFor([&] { return modalFileDialog() != nullptr; }, kWaitMs))
        return modalFileDialog();
    if (QWidget* other = QApplication::activeModalWidget())
        other->close();
    return nullptr;
}
