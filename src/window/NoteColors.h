#pragma once

#include <QColor>
#include <QString>
#include <array>
#include <optional>

// The eight named note colours and custom colours stored as decimal 0x00BBGGRR values.
namespace NoteColors {
struct NamedColor {
    const char* name;    // as stored: "yellow"
    const char* caption; // as the menu shows it: "Yellow"
    quint32 value;       // 0x00BBGGRR
};

// Index 0..7 in menu order.
const NamedColor* named(int index);
int namedCount();

// A colour from its stored text: a name (any case) or a decimal value; nothing otherwise.
std::optional<QColor> fromStoredText(const QString& text);

// The "Color" menu item that a stored text checks: a named colour's, or "Custom Color".
int menuIndex(const QString& text);

// The translucency levels of the "Transparency" items, in menu order: Low, Medium, High, Off.
inline constexpr std::array<int, 4> TransparencyLevels{225, 150, 50, 255};
inline constexpr int Opaque = 255;
} // namespace NoteColors
