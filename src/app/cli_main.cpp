#include "app/NoteCli.h"
#include "richtext/RichText.h"

#include <QFile>
#include <QGuiApplication>

int main(int argc, char* argv[])
{
    // Converting rich text lays out text, which needs fonts but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    RichText::installFontSubstitutes();
    QFile in;
    QFile out;
    QFile err;
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    return NoteCli::run(QGuiApplication::arguments(), in, out, err);
}
