#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The program's pictures, drawn as SVG and compiled into the resources. Icons come back
// scalable, so menus and the note frame stay sharp on HiDPI screens.
namespace Artwork {
// The image shown beside a menu item, by its key ("Paste", "Bold", "Ontop", ...);
// a null icon for a key that has no image.
QIcon menuIcon(const QString& key);
// The icon of a menu item that can be checked: checked, it stands on a highlighted square
// with a tick in its corner, so the state shows at a glance even though the picture takes
// the place of the check mark.
QIcon checkableMenuIcon(const QIcon& icon);
// Every key menuIcon() knows, in the order the menus use them.
QStringList menuKeys();

QIcon noteIcon();
// 0: a reminder is set; 1: the reminder is due. A null icon for any other index.
QIcon reminderIcon(int index);
QIcon resizeGrip();
// Light pictures for the grey caption strip.
QIcon helpPicture();
QIcon closePicture();
QIcon appIcon();
} // namespace Artwork
