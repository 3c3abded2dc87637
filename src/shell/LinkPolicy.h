#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// Which texts in a note are links, and which links the desktop may be asked to open: http,
// https, ftp and mailto addresses, bare mail addresses and "www." names. What may be opened
// is narrower than what is shown: a link to a bad host shows, but nothing opens.
namespace LinkPolicy {

// Where a link lies in a line of text.
struct Span {
    int start = 0;
    int length = 0;
};

// The links in one line of text, in order. A scheme or "www." counts only at the start of a
// word, and punctuation that ends a sentence is not part of the address before it.
QList<Span> linksIn(const QString& line);

// The address a link text stands for, when the desktop may open it: mail links keep only
// to, cc, bcc, subject and body.
std::optional<QUrl> openableUrl(const QString& linkText);

} // namespace LinkPolicy
