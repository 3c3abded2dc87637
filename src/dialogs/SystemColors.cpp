#include "dialogs/SystemColors.h"

#include <QApplication>
#include <QPalette>
#include <array>

namespace {
struct SystemRole {
    quint32 index;
    QPalette::ColorRole role;
};

// The classic system colour indexes (0 to 30) and the palette roles nearest to them.
constexpr std::array kSystemRoles{
    SystemRole{0, QPalette::Dark},
    SystemRole{1, QPalette::Window},
    SystemRole{2, QPalette::Highlight},
    SystemRole{3, QPalette::Mid},
    SystemRole{4, QPalette::Window},
    SystemRole{5, QPalette::Base},
    SystemRole{6, QPalette::Shadow},
    SystemRole{7, QPalette::WindowText},
    SystemRole{8, QPalette::Text},
    SystemRole{9, QPalette::HighlightedText},
    SystemRole{10, QPalette::Mid},
    SystemRole{11, QPalette::Mid},
    SystemRole{12, QPalette::Dark},
    SystemRole{13, QPalette::Highlight},
    SystemRole{14, QPalette::HighlightedText},
    SystemRole{15, QPalette::Button},
    SystemRole{16, QPalette::Dark},
    SystemRole{17, QPalette::PlaceholderText},
    SystemRole{18, QPalette::ButtonText},
    SystemRole{19, QPalette::WindowText},
    SystemRole{20, QPalette::Light},
    SystemRole{21, QPalette::Shadow},
    SystemRole{22, QPalette::Midlight},
    SystemRole{23, QPalette::ToolTipText},
    SystemRole{24, QPalette::ToolTipBase},
    SystemRole{26, QPalette::Link},
    SystemRole{27, QPalette::Highlight},
    SystemRole{28, QPalette::Highlight},
    SystemRole{29, QPalette::Highlight},
    SystemRole{30, QPalette::Window},
};
} // namespace

bool SystemColors::translate(quint32 color, quint32& rgb)
{
    if (!(color & SystemColorBit)) {
        rgb = color & 0xFFFFFFu;
        return true;
    }
    const quint32 index = color & ~SystemColorBit;
    for (const SystemRole& entry : kSystemRoles) {
        if (entry.index == index) {
            rgb = quint32(toValue(QApplication::palette().color(entry.role)));
            return true;
        }
    }
    return false;
}

QColor SystemColors::toQColor(quint32 rgb)
{
    return QColor(int(rgb & 0xFFu), int((rgb >> 8) & 0xFFu), int((rgb >> 16) & 0xFFu));
}

qint32 SystemColors::toValue(const QColor& color)
{
    return qint32(quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16);
}

qint32 SystemColors::resolve(qint32 value)
{
    constexpr quint32 referenceIndexes = 25;
    const auto bits = quint32(value);
    quint32 rgb = 0;
    if ((bits & SystemColorBit) && (bits & ~SystemColorBit) < referenceIndexes &&
        translate(bits, rgb))
        return qint32(rgb);
    return value;
}
