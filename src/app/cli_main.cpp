#include "app/NoteCli.h"
#include "richtext/RichText.h"

#include <QFile>
#include <QGuiApplication>

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
    QGuiApplication app(argc, argv);
    RichText::installFontSubstitutes();
    return NoteCli::run(QGuiApplication::arguments(), in, out, err);
}
