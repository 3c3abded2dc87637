#include "window/Artwork.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <array>

// The resources are compiled into the static core library; a program that never names them
// would lose them at link time, so the first icon request registers them explicitly.
static void ensureResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {
// Each key names its file: :/icons/menu/<key>.svg.
constexpr std::array kMenuKeys{
    "Paste",   "PasteAsText",    "Undo",           "Clear",   "Cut",      "Copy",
    "NewNote", "Email",          "Open",           "Restore", "Minimize", "Save",
    "Print",   "FontStyle",      "Help",           "About",   "Color",    "Underline",
    "Bold",    "Italic",         "Strike",         "Font",    "Options",  "Stop",
    "Bullets", "IncreaseIndent", "DecreaseIndent", "Spell",   "Ontop",    "Normal",
};

QIcon resourceIcon(const QString& path)
{
    ensureResources();
    return QIcon(path);
}

// Every note shows these pictures: one shared icon each parses its SVG and renders each
// size once per run, not once per note.
QIcon sharedIcon(const QString& path)
{
    static QHash<QString, QIcon> cache;
    if (const auto found = cache.constFind(path); found != cache.constEnd())
        return found.value();
    return cache.insert(path, resourceIcon(path)).value();
}
} // namespace

// Every note shows the same menu images: one shared icon per key, so the pictures are made
// once for all windows rather than once per note.
QIcon Artwork::menuIcon(const QString& key)
{
    for (const char* known : kMenuKeys) {
        if (key == QLatin1String(known))
            return sharedIcon(QStringLiteral(":/icons/menu/%1.svg").arg(key));
    }
    return {};
}

QIcon Artwork::checkableMenuIcon(const QIcon& icon)
{
    // Drawing the checked variants renders the image at three sizes; shared menu images make
    // the same variants every time, so they are drawn once.
    static QHash<qint64, QIcon> cache;
    if (const auto found = cache.constFind(icon.cacheKey()); found != cache.constEnd())
        return found.value();
    QIcon checkable;
    for (const int side : {16, 24, 32}) {
        const QSize size(side, side);
        const QPixmap plain = icon.pixmap(size);
        checkable.addPixmap(plain, QIcon::Normal, QIcon::Off);

        QPixmap checked(size);
        checked.fill(Qt::transparent);
        QPainter painter(&checked);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(30, 90, 170), 1));
        painter.setBrush(QColor(190, 215, 245));
        painter.drawRoundedRect(QRectF(0.5, 0.5, side - 1, side - 1), side / 6.0, side / 6.0);
        const int inset = side / 8;
        painter.drawPixmap(QRect(inset, inset, side - 2 * inset, side - 2 * inset), plain);
        // A tick in the bottom-right corner.
        const double t = side / 16.0;
        QPainterPath tick;
        tick.moveTo(side - 7 * t, side - 4 * t);
        tick.lineTo(side - 5 * t, side - 2 * t);
        tick.lineTo(side - 1.5 * t, side - 6.5 * t);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 3.2 * t, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(tick);
        painter.setPen(
            QPen(QColor(20, 120, 40), 1.8 * t, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(tick);
        painter.end();
        checkable.addPixmap(checked, QIcon::Normal, QIcon::On);
    }
    if (!icon.isNull())
        cache.insert(icon.cacheKey(), checkable);
    return checkable;
}

QStringList Artwork::menuKeys()
{
    QStringList keys;
    keys.reserve(static_cast<qsizetype>(kMenuKeys.size()));
    for (const char* key : kMenuKeys)
        keys << QLatin1String(key);
    return keys;
}

QIcon Artwork::noteIcon()
{
    return sharedIcon(QStringLiteral(":/icons/note.svg"));
}

QIcon Artwork::reminderIcon(int index)
{
    if (index != 0 && index != 1)
        return {};
    return sharedIcon(QStringLiteral(":/icons/reminder%1.svg").arg(index));
}

QIcon Artwork::resizeGrip()
{
    return sharedIcon(QStringLiteral(":/icons/resize.svg"));
}

QIcon Artwork::helpPicture()
{
    return sharedIcon(QStringLiteral(":/icons/help.svg"));
}

QIcon Artwork::closePicture()
{
    return sharedIcon(QStringLiteral(":/icons/close.svg"));
}

QIcon Artwork::appIcon()
{
    // Shown by every note and handed to the window manager at several sizes for each: one
    // shared icon renders those sizes once per run.
    static const QIcon icon = resourceIcon(QStringLiteral(":/icons/jottex.svg"));
    return icon;
}
