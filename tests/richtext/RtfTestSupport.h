#pragma once

#include <QRandomGenerator>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace RtfTest {

// A canonical description of a document: one line per paragraph format and per run of
// identically formatted characters, so two documents compare with a readable difference.
inline QStringList describe(const QTextDocument& document)
{
    const QFont defaultFont = document.defaultFont();
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        const QTextList* list = block.textList();
        lines << QStringLiteral("P align=%1 li=%2 ri=%3 fi=%4 sb=%5 sa=%6 list=%7 level=%8")
                     .arg(int(format.alignment() & Qt::AlignHorizontal_Mask))
                     .arg(format.leftMargin())
                     .arg(format.rightMargin())
                     .arg(format.textIndent())
                     .arg(format.topMargin())
                     .arg(format.bottomMargin())
                     .arg(list ? int(list->format().style()) : 0)
                     .arg(list ? list->format().indent() : 0);
        QString lastAttributes;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            const auto brush = [](const QBrush& b) {
                return b.style() == Qt::NoBrush ? QStringLiteral("none") : b.color().name();
            };
            const QString attributes =
                QStringLiteral("  [%1 %2pt b%3 i%4 u%5 s%6 v%7 fg=%8 bg=%9 a=%10] ")
                    .arg(families.isEmpty() ? defaultFont.family() : families.first())
                    .arg(f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize()
                                                                   : defaultFont.pointSizeF())
                    .arg(f.fontWeight() >= QFont::DemiBold)
                    .arg(f.fontItalic())
                    .arg(f.fontUnderline())
                    .arg(f.fontStrikeOut())
                    .arg(int(f.verticalAlignment()))
                    .arg(brush(f.foreground()), brush(f.background()), f.anchorHref());
            if (attributes == lastAttributes)
                lines.last() += it.fragment().text();
            else
                lines << attributes + it.fragment().text();
            lastAttributes = attributes;
        }
    }
    return lines;
}

// Builds a document from random text and every formatting the note's commands apply.
class RandomDocument {
public:
    explicit RandomDocument(quint32 seed) : m_random(seed) {}

    void fill(QTextDocument* document)
    {
        QTextCursor cursor(document);
        const int paragraphs = 1 + pick(6);
        QTextList* list = nullptr;
        for (int p = 0; p < paragraphs; ++p) {
            if (p > 0)
                cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
            cursor.setBlockFormat(blockFormat());
            if (withLists && pick(4) == 0) {
                if (list && list->count() > 0 &&
                    list->item(list->count() - 1).blockNumber() == cursor.block().blockNumber() - 1)
                    list->add(cursor.block());
                else
                    list = cursor.createList(QTextListFormat::ListDisc);
            }
            const int runs = pick(5);
            for (int r = 0; r < runs; ++r)
                cursor.insertText(text(), charFormat());
        }
    }

    // Text for readers that print what they cannot show as '?': ASCII and Latin-1 only.
    bool latinOnly = false;
    bool withLists = true;

private:
    int pick(int bound) { return int(m_random.bounded(bound)); }

    QTextBlockFormat blockFormat()
    {
        static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                               Qt::AlignJustify};
        QTextBlockFormat format;
        format.setAlignment(kAlign[pick(4)]);
        format.setLeftMargin((pick(8) - 2) * 200 / 20.0); // indents in 200-twip steps
        format.setTextIndent((pick(3) - 1) * 200 / 20.0);
        return format;
    }

    QTextCharFormat charFormat()
    {
        static const char* const kFamilies[] = {"Comic Sans MS", "Verdana", "Arial"};
        static const int kSizes[] = {8, 10, 12, 14, 16};
        static const QColor kColors[] = {Qt::black, Qt::red, QColor(0, 128, 0), Qt::blue,
                                         QColor(255, 255, 0)};
        QTextCharFormat format;
        format.setFontFamilies({QLatin1String(kFamilies[pick(3)])});
        format.setFontPointSize(kSizes[pick(5)]);
        format.setFontWeight(pick(2) ? QFont::Bold : QFont::Normal);
        format.setFontItalic(pick(2));
        format.setFontUnderline(pick(2));
        format.setFontStrikeOut(pick(4) == 0);
        format.setVerticalAlignment(QTextCharFormat::VerticalAlignment(pick(3)));
        if (pick(2))
            format.setForeground(kColors[pick(5)]);
        if (pick(5) == 0)
            format.setBackground(kColors[pick(5)]);
        return format;
    }

    QString text()
    {
        static const QStringList kPieces = {
            QStringLiteral("note"),         QStringLiteral(" "),         QStringLiteral("42"),
            QStringLiteral("\\"),           QStringLiteral("{"),         QStringLiteral("}"),
            QStringLiteral("\t"),           QStringLiteral("caf\u00e9"), QStringLiteral("\u00a0"),
            QStringLiteral("\u00fc\u00df"), QStringLiteral("?"),
        };
        static const QStringList kWide = {
            QStringLiteral("\u20ac"),       QStringLiteral("\u2014"),
            QStringLiteral("\u041f\u0440"), QStringLiteral("\u65e5\u672c"),
            QStringLiteral("\U0001F600"),   QStringLiteral("\u2028"),
        };
        QString result;
        const int pieces = 1 + pick(6);
        for (int i = 0; i < pieces; ++i) {
            if (!latinOnly && pick(4) == 0)
                result += kWide.at(pick(int(kWide.size())));
            else
                result += kPieces.at(pick(int(kPieces.size())));
        }
        return result;
    }

    QRandomGenerator m_random;
};

} // namespace RtfTest
