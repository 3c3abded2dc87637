#include "window/NoteTitle.h"

#include "window/CaptionStrip.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QWidget>

namespace {
constexpr QChar kEllipsis(0x2026);

bool endsLine(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

// Tabs and other controls would show as boxes in a title; pictures have no text at all.
void appendShown(QString& line, QChar c)
{
    if (c == QChar::ObjectReplacementCharacter)
        return;
    line += c.category() == QChar::Other_Control ? QLatin1Char(' ') : c;
}

// Window titles read "[*]" as the place of the unsaved-changes mark; doubled, it shows as is.
QString withLiteralMarks(QString title)
{
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

// Enough of the first block to give its title: everything, or the start up to the point
// where the title is known to be cut. A long first paragraph is never copied whole.
QString titleTextOf(const QTextDocument& document)
{
    const QTextBlock first = document.firstBlock();
    const int end = first.position() + first.length() - 1; // before the block's separator
    QString line;
    qsizetype shown = 0; // characters after the leading blanks
    for (int at = first.position(); at < end; ++at) {
        const QChar c = document.characterAt(at);
        if (endsLine(c))
            break;
        const qsizetype before = line.size();
        appendShown(line, c);
        if (line.size() == before)
            continue;
        const bool blank = line.back().isSpace();
        if (shown > 0 || !blank)
            ++shown;
        // A character past the limit that is not blank means the title is cut either way.
        if (shown > NoteTitle::kMostCharacters && !blank)
            break;
    }
    return line;
}
} // namespace

QString NoteTitle::forText(QStringView text)
{
    QString line;
    for (const QChar c : text) {
        if (endsLine(c))
            break;
        appendShown(line, c);
    }
    line = line.trimmed();
    if (line.isEmpty())
        return CaptionStrip::title();
    if (line.size() <= kMostCharacters)
        return line;
    qsizetype cut = kMostCharacters - 1;
    if (line.at(cut - 1).isHighSurrogate())
        --cut; // never half a character
    return line.left(cut).trimmed() + kEllipsis;
}

NoteTitle::NoteTitle(QWidget* window, QTextDocument* document)
    : QObject(window), m_window(window), m_document(document)
{
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &NoteTitle::refresh);
    connect(document, &QTextDocument::contentsChange, this,
            [this](int position, int, int) { contentsChanged(position); });
    refresh();
}

void NoteTitle::contentsChanged(int position)
{
    // Typing further down leaves the first line as it is.
    if (position >= m_document->firstBlock().length())
        return;
    m_refresh.start();
}

void NoteTitle::refresh()
{
    const QString title = forText(titleTextOf(*m_document));
    if (title == m_title)
        return;
    m_title = title;
    m_window->setWindowTitle(withLiteralMarks(title) + QStringLiteral("[*]"));
}
