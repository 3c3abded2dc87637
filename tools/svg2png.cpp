#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

// Renders an SVG icon into a square PNG at build time, so the installed icon sizes never drift
// from the one drawing.
int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fputs("Usage: svg2png IN.svg SIZE OUT.png\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    const int size = QByteArray(argv[2]).toInt();
    if (!renderer.isValid() || size <= 0) {
        std::fprintf(stderr, "svg2png: cannot render %s at %s\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
