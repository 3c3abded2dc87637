#include "app/NoteCli.h"
#include "richtext/RichText.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <memory>

int main(int argc, char* argv[])
{
    QFile in;
    QFile out;
    QFile err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Help and version need neither fonts nor a platform.
    if (NoteCli::answersWithoutApplication(arguments))
        return NoteCli::run(arguments, in, out, err);
    // Converting rich text lays out text, which needs fonts but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QGuiApplication> app;
    if (NoteCli::needsWidgets(arguments))
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QGuiApplication>(argc, argv);
    RichText::installFontSubstitutes();
    return NoteCli::run(QGuiApplication::arguments(), in, out, err);
}
