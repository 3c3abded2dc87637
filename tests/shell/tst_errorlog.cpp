#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "shell/AppError.h"
#include "shell/Clock.h"
#include "shell/ErrorLog.h"
#include "shell/LocaleFormat.h"
#include "shell/Paths.h"
#include "shell/Translations.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>
#include <cerrno>
#include <cstdio>

namespace {
// One message of a Qt Linguist .ts file: every form of its translation (one, or one per plural).
struct TsMessage {
    QString context;
    QString source;
    bool unfinished = false;
    QStringList forms;
};

// The text of the element the reader stands on, up to its end; <byte value="xd"/> is that
// character, and each <numerusform> or <lengthvariant> inside is a form of its own.
QStringList elementForms(QXmlStreamReader& xml)
{
    const QString element = xml.name().toString();
    QStringList forms;
    QString text;
    bool nested = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QStringView name = xml.name();
        if (token == QXmlStreamReader::Characters) {
            text += xml.text();
        } else if (token == QXmlStreamReader::StartElement && name == u"byte") {
            const QString value = xml.attributes().value(QLatin1String("value")).toString();
            text +=
                QChar(value.startsWith(u'x') ? value.mid(1).toUInt(nullptr, 16) : value.toUInt());
        } else if (token == QXmlStreamReader::StartElement) {
            nested = true;
            text.clear();
        } else if (token == QXmlStreamReader::EndElement && name == element) {
            if (!nested)
                forms.append(text);
            return forms;
        } else if (token == QXmlStreamReader::EndElement && name != u"byte") {
            forms.append(text);
            text.clear();
        }
    }
    return forms;
}

// The live messages of a .ts file (obsolete and vanished ones are dead text), or why it
// cannot be read.
std::variant<QList<TsMessage>, QString> readTsMessages(const QByteArray& bytes)
{
    QList<TsMessage> messages;
    QString context;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (name == u"name") {
            context = xml.readElementText();
        } else if (name == u"message") {
            messages.append({context, {}, false, {}});
        } else if (name == u"source" && !messages.isEmpty()) {
            messages.last().source = elementForms(xml).value(0);
        } else if (name == u"translation" && !messages.isEmpty()) {
            const QStringView type = xml.attributes().value(QLatin1String("type"));
            if (type == u"obsolete" || type == u"vanished")
                messages.removeLast();
            else {
                messages.last().unfinished = type == u"unfinished";
                messages.last().forms = elementForms(xml);
            }
        }
    }
    if (xml.hasError())
        return QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return messages;
}

// How many keyboard accelerators a text marks: "&" before a letter or digit; "&&" is an
// ampersand, and "& " none.
int acceleratorCount(const QString& text)
{
    int count = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&')
            ++i;
        else if (text[i + 1].isLetterOrNumber())
            ++count;
    }
    return count;
}

// The arguments a text takes: %1 .. %99, %n, and their locale forms %L1 and %Ln.
QStringList argumentsOf(const QString& text)
{
    static const QRegularExpression argument(QStringLiteral("%L?(?:[1-9][0-9]?|n)"));
    QStringList found;
    for (const QRegularExpressionMatch& match : argument.globalMatch(text))
        found.append(match.captured());
    found.sort();
    found.removeDuplicates();
    return found;
}

// Every message of a .ts file that a user would see wrong: untranslated, with an accelerator
// lost or added, or with other arguments than its source. Each names the message.
QStringList translationFaults(const QByteArray& bytes)
{
    const auto read = readTsMessages(bytes);
    if (std::holds_alternative<QString>(read))
        return {std::get<QString>(read)};
    QStringList faults;
    for (const TsMessage& message : std::get<QList<TsMessage>>(read)) {
        const auto fault = [&](const QString& what) {
            faults.append(
                QStringLiteral("%1: \"%2\": %3").arg(message.context, message.source, what));
        };
        if (message.unfinished) {
            fault(QStringLiteral("unfinished"));
            continue;
        }
        for (const QString& form : message.forms) {
            if (form.isEmpty()) {
                fault(QStringLiteral("empty translation"));
                continue;
            }
            if (acceleratorCount(form) != acceleratorCount(message.source))
                fault(QStringLiteral("\"%1\" has %2 accelerators, the source %3")
                          .arg(form)
                          .arg(acceleratorCount(form))
                          .arg(acceleratorCount(message.source)));
            if (argumentsOf(form) != argumentsOf(message.source))
                fault(QStringLiteral("\"%1\" takes %2, the source %3")
                          .arg(form, argumentsOf(form).join(u' '),
                               argumentsOf(message.source).join(u' ')));
        }
        if (message.forms.isEmpty())
            fault(QStringLiteral("no translation"));
    }
    return faults;
}

QByteArray tsWith(const QByteArray& messages)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n"
           "<TS version=\"2.1\" language=\"de\" sourcelanguage=\"en\">\n"
           "<context><name>frmTest</name>\n" +
           messages + "</context>\n</TS>\n";
}

// The UI language a child of this program with the given environment installs.
const char kLanguageMode[] = "--installed-language";
} // namespace

class TestErrorLog : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        Clock::setFixedNow({});
    }

    void entriesAreLinesInCallOrder()
    {
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(9, 21, 58)));
        modMain::WriteLogEntry(QStringLiteral("modNote: SaveNote"), QStringLiteral("61"),
                               QStringLiteral("Disk full"));
        Clock::setFixedNow(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 7)));
        modMain::WriteLogEntry(QStringLiteral("modNote: LoadNote"), QStringLiteral("53"),
                               QStringLiteral("File not found:\r\nline two\tand a tab"));
        const QByteArray raw = TestEnvironment::readFile(AppPaths::logFile());
        QCOMPARE(raw, QByteArray("12/6/2026 9:21:58 AM\tmodNote: SaveNote\t61\tDisk full\r\n"
                                 "12/6/2026 2:05:07 PM\tmodNote: LoadNote\t53\t"
                                 "File not found: line two and a tab\r\n"));
        QVERIFY(DialogSeam::requests().isEmpty());
    }

    // The user hears once, in plain words, what is wrong with the data folder; the lines the
    // log cannot take go to the error output instead.
    void unwritableLogTellsOnceInPlainWords()
    {
        QVERIFY(QDir().mkpath(AppPaths::logFile())); // a folder where the file should be
        for (const char* line : {"a: b\t1\tx", "a: b\t2\ty"}) {
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("^jottex.log: .*\t") +
                                                    QString::fromLatin1(line) + QLatin1Char('$')));
        }
        modMain::WriteLogEntry(QStringLiteral("a: b"), QStringLiteral("1"), QStringLiteral("x"));
        modMain::WriteLogEntry(QStringLiteral("a: b"), QStringLiteral("2"), QStringLiteral("y"));
        const auto& requests = DialogSeam::requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].title, QStringLiteral("Jottex"));
        QCOMPARE(requests[0].text.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Jottex cannot write to its data folder, %1, because the file "
                                "could not be written.")
                     .arg(AppPaths::appDirectory()));
        QVERIFY(!requests[0].text.contains(QStringLiteral("error log entry")));
    }

    // Stored logs and the command line companion know the numbers: a renumbered name, a row
    // missing from the table or a save-box reason for the wrong number shows here.
    void errorNumberTable_data()
    {
        QTest::addColumn<int>("named");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason"); // empty: the failure's own description
        const QString own = QStringLiteral("Application-defined or object-defined error");
        QTest::newRow("disk full") << ErrorNumber::DiskFull << 61 << "Disk full"
                                   << "the disk is full";
        QTest::newRow("permission") << ErrorNumber::PermissionDenied << 70 << "Permission denied"
                                    << "permission was denied";
        QTest::newRow("access") << ErrorNumber::PathFileAccessError << 75
                                << "Path/File access error"
                                << "the file could not be written";
        QTest::newRow("folder") << ErrorNumber::PathNotFound << 76 << "Path not found"
                                << "the folder does not exist";
        QTest::newRow("file") << ErrorNumber::FileNotFound << 53 << "File not found" << QString();
        QTest::newRow("quote") << ErrorNumber::QuoteNoConnection << 101 << own << QString();
        QTest::newRow("quote data") << ErrorNumber::QuoteRetrieveFailed << 102 << own << QString();
        QTest::newRow("clipboard") << ErrorNumber::ClipboardNotOpen << 1570 << own << QString();
        QTest::newRow("clipboard open")
            << ErrorNumber::ClipboardCannotOpen << 1571 << own << QString();
        QTest::newRow("registry key")
            << ErrorNumber::RegistryKeyAccess << 26001 << own << QString();
        QTest::newRow("registry value")
            << ErrorNumber::RegistryValueWrite << int(0x800469A9) << own << QString();
        QTest::newRow("registry list")
            << ErrorNumber::RegistryEnumerateSections << int(0x800469AA) << own << QString();
        QTest::newRow("association items")
            << ErrorNumber::RegistryAssociationItems << int(0x800469AC) << own << QString();
        QTest::newRow("association class")
            << ErrorNumber::RegistryClassNotDefined << int(0x800469AD) << own << QString();
        QTest::newRow("unknown") << 12345 << 12345 << own << QString();
    }

    void errorNumberTable()
    {
        QFETCH(int, named);
        QFETCH(int, stored);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QCOMPARE(named, stored);
        QCOMPARE(ErrorNumber::description(named), text);
        const AppError error{named, {}, QStringLiteral("its own words")};
        QCOMPARE(error.reason(), reason.isEmpty() ? error.description : reason);
    }

    // The check every translation passes; it must catch each kind of fault in any .ts file.
    void translationCheck_data()
    {
        QTest::addColumn<QByteArray>("messages");
        QTest::addColumn<QStringList>("faults");
        const auto message = [](const char* source, const char* translation) {
            return QByteArray("<message><source>") + source + "</source><translation>" +
                   translation + "</translation></message>\n";
        };
        QTest::newRow("good") << message("&amp;Open %1", "%1 &amp;öffnen") +
                                     message("Fish &amp;&amp; chips", "Fisch &amp;&amp; Pommes") +
                                     message("a<byte value=\"xd\"/>\nb", "x<byte value=\"xd\"/>\ny")
                              << QStringList();
        QTest::newRow("unfinished")
            << QByteArray("<message><source>Open</source>"
                          "<translation type=\"unfinished\">Öffnen</translation></message>")
            << QStringList{"frmTest: \"Open\": unfinished"};
        QTest::newRow("empty") << message("Open", "")
                               << QStringList{"frmTest: \"Open\": empty translation"};
        QTest::newRow("accelerator lost")
            << message("&amp;Save", "Speichern")
            << QStringList{"frmTest: \"&Save\": \"Speichern\" has 0 accelerators, the source 1"};
        QTest::newRow("accelerator added")
            << message("Save", "&amp;Speichern")
            << QStringList{"frmTest: \"Save\": \"&Speichern\" has 1 accelerators, the source 0"};
        QTest::newRow("two accelerators")
            << message("&amp;Save", "&amp;Spei&amp;chern")
            << QStringList{"frmTest: \"&Save\": \"&Spei&chern\" has 2 accelerators, the source 1"};
        QTest::newRow("argument lost")
            << message("%1 of %2", "von %2")
            << QStringList{"frmTest: \"%1 of %2\": \"von %2\" takes %2, the source %1 %2"};
        QTest::newRow("argument added")
            << message("%1 notes", "%1 Notizen in %2")
            << QStringList{
                   "frmTest: \"%1 notes\": \"%1 Notizen in %2\" takes %1 %2, the source %1"};
        QTest::newRow("locale form lost")
            << message("%L1 lines", "%1 Zeilen")
            << QStringList{"frmTest: \"%L1 lines\": \"%1 Zeilen\" takes %1, the source %L1"};
        QTest::newRow("plural form empty")
            << QByteArray("<message numerus=\"yes\"><source>%n notes</source><translation>"
                          "<numerusform>%n Notiz</numerusform><numerusform></numerusform>"
                          "</translation></message>")
            << QStringList{"frmTest: \"%n notes\": empty translation"};
        QTest::newRow("obsolete ignored")
            << QByteArray("<message><source>Gone</source>"
                          "<translation type=\"vanished\"></translation></message>")
            << QStringList();
    }

    void translationCheck()
    {
        QFETCH(QByteArray, messages);
        QFETCH(QStringList, faults);
        QCOMPARE(translationFaults(tsWith(messages)), faults);
    }

    // Every language the program ships is complete and keeps accelerators and arguments, for
    // every text the sources have today: a text new since the last update comes in unfinished.
    void shippedTranslationsAreComplete()
    {
        const QString top = QStringLiteral(JOTTEX_SOURCE_DIR);
        const QTemporaryDir updated;
        QDirIterator files(top + QStringLiteral("/translations"), {QStringLiteral("*.ts")});
        int count = 0;
        while (files.hasNext()) {
            const QString file = files.next();
            const QString copy = updated.filePath(files.fileName());
            QVERIFY(QFile::copy(file, copy));
            QProcess update;
            update.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            update.start(top + QStringLiteral("/scripts/update-translations.sh"), {copy});
            QVERIFY(update.waitForFinished());
            QCOMPARE(update.exitCode(), 0);
            const QStringList faults = translationFaults(TestEnvironment::readFile(copy));
            QVERIFY2(faults.isEmpty(), qPrintable(file + QLatin1Char('\n') + faults.join(u'\n')));
            ++count;
        }
        QVERIFY(count > 0);
    }

    // A German reader gets German from the built translation, the box reasons included; an
    // English one gets the texts as written, with no translator at all.
    void translationFollowsTheLocale()
    {
        const AppError full = AppError::fromErrno(ENOSPC);
        {
            const GermanTexts german;
            QCOMPARE(german.language(), QStringLiteral("de"));
            QCOMPARE(full.reason(), QStringLiteral("die Festplatte ist voll"));
        }
        QCOMPARE(full.reason(), QStringLiteral("the disk is full"));
        QCOMPARE(Translations::install(QLocale(QLocale::English, QLocale::UnitedKingdom)),
                 QString());
        QVERIFY(QCoreApplication::instance()->findChildren<QTranslator*>().isEmpty());
        // Austrian German reads the German translation.
        QCOMPARE(Translations::install(QLocale(QLocale::German, QLocale::Austria)),
                 QStringLiteral("de"));
        qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
    }

    // The program's start reads the languages from the environment as the desktop sets them,
    // and keeps the user's order.
    void translationFromTheEnvironment_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("language");
        QTest::newRow("LANGUAGE") << QStringList{"LANGUAGE=de", "LC_ALL=en_US.UTF-8"} << "de";
        QTest::newRow("English first") << QStringList{"LANGUAGE=en_GB:de"} << "";
        QTest::newRow("untranslated first") << QStringList{"LANGUAGE=fr:de_CH"} << "de";
        QTest::newRow("LC_ALL") << QStringList{"LC_ALL=de_DE.UTF-8", "LANG=en_US.UTF-8"} << "de";
        QTest::newRow("LANG") << QStringList{"LANG=de_DE.UTF-8"} << "de";
        QTest::newRow("C") << QStringList{"LC_ALL=C"} << "";
    }

    void translationFromTheEnvironment()
    {
        QFETCH(QStringList, environment);
        QFETCH(QString, language);
        QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
            variables.remove(QString::fromLatin1(name));
        for (const QString& entry : environment)
            variables.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        QProcess child;
        child.setProcessEnvironment(variables);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kLanguageMode)});
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), language);
    }

    void localeTexts()
    {
        const QDateTime moment(QDate(2026, 12, 6), QTime(15, 7, 9));
        QCOMPARE(LocaleFormat::generalDate(moment), QStringLiteral("12/6/2026 3:07:09 PM"));
        QCOMPARE(LocaleFormat::longDate(moment.date()), QStringLiteral("Sunday, December 6, 2026"));
        QCOMPARE(LocaleFormat::shortDate(moment.date()), QStringLiteral("12/6/2026"));
        QCOMPARE(LocaleFormat::hhmmssAmPm(moment.time()), QStringLiteral("03:07:09 PM"));
        QCOMPARE(LocaleFormat::hhmmssAmPm(QTime(0, 0, 1)), QStringLiteral("12:00:01 AM"));
        QCOMPARE(LocaleFormat::generalNumber(1177.38), QStringLiteral("1177.38"));
        QCOMPARE(LocaleFormat::generalNumber(1234567), QStringLiteral("1234567"));
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], kLanguageMode) == 0) {
        QCoreApplication app(argc, argv);
        std::fputs(Translations::install().toUtf8().constData(), stdout);
        return 0;
    }
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    TestErrorLog test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_errorlog.moc"
