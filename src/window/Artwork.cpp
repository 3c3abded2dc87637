#include "window/Artwork.h"

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
} // namespace

QIcon Artwork::menuIcon(const QString& key)
{
    for (const char* known : kMenuKeys) {
        if (key == QLatin1String(known))
            return resourceIcon(QStringLiteral(":/icons/menu/%1.svg").arg(key));
    }
    return {};
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
    return resourceIcon(QStringLiteral(":/icons/note.svg"));
}

QIcon Artwork::reminderIcon(int index)
{
    if (index != 0 && index != 1)
        return {};
    return resourceIcon(QStringLiteral(":/icons/reminder%1.svg").arg(index));
}

QIcon Artwork::resizeGrip()
{
    return resourceIcon(QStringLiteral(":/icons/resize.svg"));
}

QIcon Artwork::helpPicture()
{
    return resourceIcon(QStringLiteral(":/icons/help.svg"));
}

QIcon Artwork::closePicture()
{
    return resourceIcon(QStringLiteral(":/icons/close.svg"));
}

QIcon Artwork::appIcon()
{
    return resourceIcon(QStringLiteral(":/icons/jottex.svg"));
}
