#pragma once

#include <QString>
#include <QStringView>

class QTextDocument;
class QTextEdit;

// What a note's live text area can hold. Its layout is what costs: a document read apart from
// any view takes a second for a million paragraphs, the same text in the live area minutes.
// Text is therefore built apart, measured, and put into the area in one step only when it
// fits the limit below; bench_livetext prints the figures the limit rests on.
namespace LiveText {

// Above these the live area, laid out in the background after a change, keeps the
// interface from answering within 50 ms at some point (release build, bench_livetext).
inline constexpr qsizetype kMaxParagraphs = 20000;
inline constexpr qsizetype kMaxCharacters = 200000;

struct Size {
    qsizetype paragraphs = 0;
    qsizetype characters = 0;
};
Size operator+(Size a, Size b);
Size operator-(Size a, Size b);

// Paragraphs and characters, paragraph breaks not counted as characters.
Size sizeOf(const QTextDocument* document);
// Of plain text: CR LF, CR, LF and U+2029 each end a paragraph.
Size sizeOf(QStringView text);
bool fits(Size size);
// "20,000 lines and 200,000 characters", for messages.
QString limitText();

// Which end of a text to keep when it is cut to fit.
enum class Keep { Start, End };
// The longest part of the text at that end, whole paragraphs where one fits, within budget.
QStringView part(QStringView text, Size budget, Keep keep);

// Replaces the whole text of the area with a document built apart from it, as one step that
// the area's Undo takes back.
void replaceText(QTextEdit* edit, const QTextDocument& built);

} // namespace LiveText
