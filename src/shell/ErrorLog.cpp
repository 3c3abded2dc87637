#include "shell/ErrorLog.h"

#include "dialogs/MessageBox.h"
#include "shell/AppError.h"
#include "shell/Clock.h"
#include "shell/LocaleFormat.h"
#include "shell/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>

namespace {
// Tabs separate the fields and one entry is one line, so neither may appear inside a field.
QString oneLineField(QString text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n\\t]+"));
    return text.replace(breaks, QStringLiteral(" "));
}

// 0, or the errno of the step that failed.
int appendToLog(const QByteArray& bytes)
{
    QFile log(AppPaths::logFile());
    errno = 0;
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return errno != 0 ? errno : EACCES;
    if (log.write(bytes) != bytes.size() || !log.flush())
        return errno != 0 ? errno : ENOSPC;
    return 0;
}
} // namespace

void modMain::WriteLogEntry(const QString& context, const QString& number,
                            const QString& description)
{
    const QString line = LocaleFormat::generalDate(Clock::now()) + QLatin1Char('\t') +
                         oneLineField(context) + QLatin1Char('\t') + oneLineField(number) +
                         QLatin1Char('\t') + oneLineField(description);
    const int errnoValue = appendToLog((line + QStringLiteral("\r\n")).toUtf8());
    if (errnoValue == 0)
        return;
    // Kept where the session's own messages go, so the line is not lost with the log.
    qWarning().noquote() << "jottex.log:" << line;
    ReportUnwritableDataFolder(AppError::fromErrno(errnoValue).reason());
}

void modMain::WriteLogEntry(const QString& context, const AppError& error)
{
    WriteLogEntry(context, QString::number(error.number), error.description);
}

void modMain::ReportUnwritableDataFolder(const QString& why, const QString& keptIn)
{
    static bool told = false;
    if (told)
        return;
    told = true;
    const QString folder = QDir::toNativeSeparators(AppPaths::appDirectory());
    QString text = QCoreApplication::translate(
                       "ErrorLog", "Jottex cannot write to its data folder, %1, because %2.")
                       .arg(folder, why);
    text += keptIn.isEmpty()
                ? QCoreApplication::translate(
                      "ErrorLog", "\n\nUntil it can, changes to your notes may not be kept. Free "
                                  "some space on that disk or make the folder writable.")
                : QCoreApplication::translate(
                      "ErrorLog", "\n\nUntil it can, your open notes are kept in %1 and come back "
                                  "at the next start. Free some space on that disk or make the "
                                  "folder writable.")
                      .arg(QDir::toNativeSeparators(keptIn));
    MessageBox::show(nullptr, QMessageBox::Warning, QStringLiteral("Jottex"), text,
                     QMessageBox::Ok);
}
