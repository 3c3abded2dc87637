#include "window/clsSendMail.h"

#include "shell/Seams.h"

#include <QUrl>
#include <array>
#include <utility>

namespace {
using Escape = std::pair<const char*, const char*>;
const std::array<Escape, 14> kEscapes{{
    {"%", "%25"},
    {" ", "%20"},
    {"$", "%24"},
    {"@", "%40"},
    {"?", "%3F"},
    {"/", "%2F"},
    {"=", "%3D"},
    {":", "%3A"},
    {";", "%3B"},
    {"&", "%26"},
    {",", "%2C"},
    {"\"", "%22"},
    {"#", "%23"},
    {"\r\n", "%0D%0A"},
}};
} // namespace

QString EncodeMailText(const QString& text)
{
    QString encoded = text;
    for (const auto& [from, to] : kEscapes)
        encoded.replace(QLatin1String(from), QLatin1String(to));
    return encoded;
}

QString clsSendMail::link() const
{
    return QStringLiteral("mailto:?subject=Jottex Note&Body=") + m_body;
}

void clsSendMail::Send() const
{
    // QUrl escapes what the link leaves raw (the subject's space, line breaks, letters beyond
    // ASCII) so the mail program decodes the same text, and the desktop's launcher gets one
    // argument. The link is the program's own, so it goes to the desktop seam as it is; a
    // desktop without a mail program changes nothing here.
    (void)Seams::current().openUrl(QUrl(link(), QUrl::TolerantMode));
}
