#include "shell/ErrorLog.h"

#include "dialogs/MessageBox.h"
#include "shell/AppError.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Paths.h"

#include <QFile>
#include <QRegularExpression>

namespace {
// Tabs separate the fields and one entry is one line, so neither may appear inside a field.
QString oneLineField(QString text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n\\t]+"));
    return text.replace(breaks, QStringLiteral(" "));
}
} // namespace

void modMain::WriteLogEntry(const QString& context, const QString& number,
                            const QString& description)
{
    const QString line = LocaleFormat::generalDate(Clock::now()) + QLatin1Char('\t') +
                         oneLineField(context) + QLatin1Char('\t') + oneLineField(number) +
                         QLatin1Char('\t') + oneLineField(description) + QStringLiteral("\r\n");
    QFile log(AppPaths::logFile());
    const QByteArray bytes = line.toUtf8();
    const bool written = log.open(QIODevice::WriteOnly | QIODevice::Append) &&
                         log.write(bytes) == bytes.size() && log.flush();
    log.close();
    if (!written) {
        MessageBox::show(nullptr, QMessageBox::Information, QStringLiteral("Log Error"),
                         QStringLiteral("There was an error in creating an error log entry"),
                         QMessageBox::Ok);
    }
}

void modMain::WriteLogEntry(const QString& context, const AppError& error)
{
    WriteLogEntry(context, QString::number(error.number), error.description);
}
