#pragma once

#include <QtGlobal>

namespace RichText {

// A paragraph's layout as RTF states it; the reader keeps one per group, the writer compares
// consecutive ones. Lengths in twips. Small types, since the reader's stack can be deep.
struct ParagraphFormat {
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    int listOverride = 0; // Word's \lsN, whose list table gives the style; 0 for none
    bool lineMultiple = false;
    quint8 align = 0; // 0 left, 1 centre, 2 right, 3 justified
    qint8 list = 0;   // QTextListFormat::Style, 0 when the paragraph is no list item
    quint8 level = 0; // nesting of a list item, 0 for the outermost

    bool operator==(const ParagraphFormat&) const = default;
};

} // namespace RichText
