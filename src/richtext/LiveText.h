#pragma once

#include <QString>
#include <QStringView>
#include <optional>

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
// A run of text the lines cannot break inside costs the layout its square: one of 50,000
// characters takes two seconds, a text of runs of 2,000 a third of a second at most.
inline constexpr qsizetype kMaxWord = 2000;

struct Size {
    qsizetype paragraphs = 0;
    qsizetype characters = 0;
    qsizetype longestWord = 0; // measured only while the other two are within the limit
};
Size operator+(Size a, Size b);
Size operator-(Size a, Size b);

// Paragraphs and characters, paragraph breaks not counted as characters.
Size sizeOf(const QTextDocument* document);
// The same without looking for the longest word: for text whose words are known to fit.
Size countsOf(const QTextDocument* document);
// Of plain text: CR LF, CR, LF and U+2029 each end a paragraph.
Size sizeOf(QStringView text);
bool fits(Size size);
// "20,000 lines, 200,000 characters and words of 2,000 characters", for messages.
QString limitText();

// Which end of a text to keep when it is cut to fit.
enum class Keep { Start, End };
// The longest part of the text at that end, whole paragraphs where one fits, within budget.
QStringView part(QStringView text, Size budget, Keep keep);

// The text with a paragraph break after every kMaxWord characters of a run the lines could
// not break, for notes that show whatever text comes.
QString breakLongWords(const QString& text);

// A stored note's RTF that the live area cannot take: the plain text at its start, within
// budget and with its long words broken. None when the note fits, and the area takes it whole.
std::optional<QString> startIfTooLong(const QString& rtf, Size budget);

// Replaces the whole text of the area with a document built apart from it, as one step that
// the area's Undo takes back.
void replaceText(QTextEdit* edit, const QTextDocument& built);

} // namespace LiveText
