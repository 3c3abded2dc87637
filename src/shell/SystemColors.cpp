#include "shell/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {
struct IndexRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The classic system colour indexes, by the palette entry that plays their part here.
// clang-format off
constexpr IndexRole kRoles[SystemColors::Count] = {
    {QPalette::Active,   QPalette::Mid},             // 0 scroll bar
    {QPalette::Active,   QPalette::Window},          // 1 desktop
    {QPalette::Active,   QPalette::Highlight},       // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    {QPalette::Active,   QPalette::Window},          // 4 menu
    {QPalette::Active,   QPalette::Base},            // 5 window
    {QPalette::Active,   QPalette::Shadow},          // 6 window frame
    {QPalette::Active,   QPalette::WindowText},      // 7 menu text
    {QPalette::Active,   QPalette::Text},            // 8 window text
    {QPalette::Active,   QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active,   QPalette::Window},          // 10 active border
    {QPalette::Inactive, QPalette::Window},          // 11 inactive border
    {QPalette::Active,   QPalette::Dark},            // 12 application workspace
    {QPalette::Active,   QPalette::Highlight},       // 13 highlight
    {QPalette::Active,   QPalette::HighlightedText}, // 14 highlighted text
    {QPalette::Active,   QPalette::Button},          // 15 button face
    {QPalette::Active,   QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},            // 17 grey text
    {QPalette::Active,   QPalette::ButtonText},      // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active,   QPalette::Light},           // 20 button highlight
    {QPalette::Active,   QPalette::Shadow},          // 21 3-D dark shadow
    {QPalette::Active,   QPalette::Midlight},        // 22 3-D light
    {QPalette::Active,   QPalette::ToolTipText},     // 23 tool tip text
    {QPalette::Active,   QPalette::ToolTipBase},     // 24 tool tip background
};
// clang-format on
} // namespace

bool SystemColors::isReference(qint32 value)
{
    return value < 0 && (quint32(value) & 0x7fffffffU) < quint32(Count);
}

QColor SystemColors::colorOf(int index)
{
    if (index < 0 || index >= Count)
        return Qt::black;
    const IndexRole& entry = kRoles[index];
    return QGuiApplication::palette().color(entry.group, entry.role);
}

QColor SystemColors::toQColor(qint32 value)
{
    if (isReference(value))
        return colorOf(int(quint32(value) & 0x7fffffffU));
    const auto bits = quint32(value);
    return QColor(int(bits & 0xff), int((bits >> 8) & 0xff), int((bits >> 16) & 0xff));
}

qint32 SystemColors::toValue(const QColor& color)
{
    return qint32(quint32(color.red()) | (quint32(color.green()) << 8) |
                  (quint32(color.blue()) << 16));
}

qint32 SystemColors::resolve(qint32 value)
{
    return isReference(value) ? toValue(toQColor(value)) : value;
}
