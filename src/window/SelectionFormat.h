#pragma once

#include <QTextCharFormat>
#include <array>

class QTextEdit;

// The rich-text area's selection operations that the editing commands use: formatting of the
// selected characters (or of the text typed next at the caret) and of the paragraphs the
// selection touches. Lengths in twips.
namespace SelectionFormat {

// The point sizes of both size menus, in menu order.
inline constexpr std::array<int, 5> kMenuPointSizes{8, 10, 12, 14, 16};

// Paragraph alignment as the classic control numbers it.
enum class Alignment { Left = 0, Right = 1, Center = 2 };

// Merges the format into the selection, or into the format of text typed next.
void merge(QTextEdit* edit, const QTextCharFormat& format);
void setBold(QTextEdit* edit, bool on);
void setItalic(QTextEdit* edit, bool on);
void setUnderline(QTextEdit* edit, bool on);
void setStrikeOut(QTextEdit* edit, bool on);
void setPointSize(QTextEdit* edit, int points);
void setColor(QTextEdit* edit, const QColor& color);

// The paragraphs touched by the selection (or holding the caret).
void setAlignment(QTextEdit* edit, Alignment alignment);
void setBullet(QTextEdit* edit, bool on);
void setIndent(QTextEdit* edit, int twips);
void addIndent(QTextEdit* edit, int deltaTwips);

} // namespace SelectionFormat
