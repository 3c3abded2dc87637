#include "shell/LocaleFormat.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
// CLDR puts narrow no-break spaces before AM/PM; the classic texts use plain blanks.
QString plainBlanks(QString text)
{
    text.replace(QChar(0x202F), QLatin1Char(' '));
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    return text;
}

// format with every run of letter (and, when dropBlanksBefore, the blanks before it) given
// as replacement. Plain loops: a note's time stamp is made at every start, and a regular
// expression engine is more than these formats need.
QString replaceRuns(const QString& format, QChar letter, QStringView replacement,
                    bool dropBlanksBefore = false)
{
    QString result;
    result.reserve(format.size() + replacement.size());
    for (qsizetype i = 0; i < format.size();) {
        if (format[i] != letter) {
            result += format[i++];
            continue;
        }
        while (dropBlanksBefore && !result.isEmpty() && result.back().isSpace())
            result.chop(1);
        while (i < format.size() && format[i] == letter)
            ++i;
        result += replacement;
    }
    return result;
}

QString shortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1String("yyyy")))
        return format;
    return replaceRuns(format, u'y', u"yyyy");
}

QString timeWithSecondsFormat()
{
    // Drop the zone ("t", "tttt") and the blank before it.
    return replaceRuns(QLocale().timeFormat(QLocale::LongFormat), u't', {}, true).trimmed();
}
} // namespace

QString LocaleFormat::generalDate(const QDateTime& moment)
{
    const QLocale locale;
    return plainBlanks(locale.toString(moment.date(), shortDateFormat()) + QLatin1Char(' ') +
                       locale.toString(moment.time(), timeWithSecondsFormat()));
}

QString LocaleFormat::longDate(const QDate& date)
{
    return plainBlanks(QLocale().toString(date, QLocale::LongFormat));
}

QString LocaleFormat::shortDate(const QDate& date)
{
    return plainBlanks(QLocale().toString(date, shortDateFormat()));
}

QString LocaleFormat::hhmmssAmPm(const QTime& time)
{
    const QLocale locale;
    const QString ampm = time.hour() < 12 ? locale.amText() : locale.pmText();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2:%3 %4")
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'))
        .arg(ampm);
}

std::optional<QTime> LocaleFormat::parseHhmmssAmPm(const QString& text)
{
    // "hh:mm:ss" and the locale's AM/PM text after the last blank; any case.
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2}):(\\d{2}):(\\d{2})\\s+(\\S.*?)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int hour12 = match.captured(1).toInt();
    const QString designator = match.captured(4);
    const QLocale locale;
    bool afternoon = false;
    if (designator.compare(locale.pmText(), Qt::CaseInsensitive) == 0)
        afternoon = true;
    else if (designator.compare(locale.amText(), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    if (hour12 < 1 || hour12 > 12)
        return std::nullopt;
    const QTime time((hour12 % 12) + (afternoon ? 12 : 0), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return time;
}

QString LocaleFormat::generalNumber(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}
