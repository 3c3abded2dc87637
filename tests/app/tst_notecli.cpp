#include "HttpTestServer.h"
#include "Samples.h"
#include "TestEnvironment.h"
#include "app/NoteCli.h"
#include "store/NoteDocument.h"
#include "store/modNote.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QtTest>

namespace {
// What a browser makes of the HTML, as far as these tests look, without a browser: a start tag
// holds each attribute once (of two, browsers keep the first and drop the other), and a text
// or list item takes each property from the innermost element that sets it.
class HtmlReading {
public:
    QStringList repeated;  // "tag attribute" for each attribute given twice
    QStringList texts;     // "text|font-weight|color" of each text in the body
    QStringList listItems; // "font-weight|color|margin-left" of each <li>, its marker's look

    explicit HtmlReading(const QString& html)
    {
        static const QRegularExpression kToken(
            QStringLiteral("<!--.*?-->|<![^>]*>|<(/?)(\\w+)([^>]*?)/?>|([^<]+)"),
            QRegularExpression::DotMatchesEverythingOption);
        for (auto it = kToken.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch token = it.next();
            const QString name = token.captured(2).toLower();
            if (!token.captured(4).isNull())
                text(token.captured(4));
            else if (token.captured(1) == QLatin1String("/"))
                endTag(name);
            else if (!name.isEmpty())
                startTag(name, token.captured(3));
        }
    }

private:
    using Style = QHash<QString, QString>;

    QString computed(const QString& property, const QString& initial) const
    {
        for (auto it = m_open.crbegin(); it != m_open.crend(); ++it) {
            if (it->second.contains(property))
                return it->second.value(property);
        }
        return initial;
    }

    void text(const QString& text)
    {
        const bool inBody = std::any_of(m_open.cbegin(), m_open.cend(), [](const auto& element) {
            return element.first == "body";
        });
        if (inBody && !text.trimmed().isEmpty())
            texts << text + u'|' + computed("font-weight", "400") + u'|' +
                         computed("color", "#000000");
    }

    void endTag(const QString& name)
    {
        while (!m_open.isEmpty() && m_open.takeLast().first != name) {
        }
    }

    void startTag(const QString& name, const QString& attributes)
    {
        static const QRegularExpression kAttribute(QStringLiteral("([\\w-]+)(?:=\"([^\"]*)\")?"));
        static const QStringList kEmptyElements = {"meta", "br", "hr", "img"};
        QSet<QString> seen;
        Style style;
        for (auto it = kAttribute.globalMatch(attributes); it.hasNext();) {
            const QRegularExpressionMatch attribute = it.next();
            if (seen.contains(attribute.captured(1)))
                repeated << name + u' ' + attribute.captured(1);
            else if (attribute.captured(1) == QLatin1String("style"))
                style = declarations(attribute.captured(2));
            seen.insert(attribute.captured(1));
        }
        if (kEmptyElements.contains(name))
            return;
        m_open.append({name, style});
        if (name == QLatin1String("li"))
            listItems << computed("font-weight", "400") + u'|' + computed("color", "#000000") +
                             u'|' + style.value("margin-left", "none");
    }

    static Style declarations(const QString& css)
    {
        Style style;
        for (const QString& declaration : css.split(u';')) {
            const QString property = declaration.section(u':', 0, 0).trimmed();
            if (!property.isEmpty())
                style.insert(property, declaration.section(u':', 1).trimmed());
        }
        return style;
    }

    QList<std::pair<QString, Style>> m_open; // the elements the next token is in
};
} // namespace

class TestNoteCli : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    QString m_out;
    QString m_err;

    int run(const QStringList& arguments, const QByteArray& input = {})
    {
        QByteArray inBytes = input;
        QByteArray outBytes;
        QByteArray errBytes;
        QBuffer in(&inBytes);
        QBuffer out(&outBytes);
        QBuffer err(&errBytes);
        in.open(QIODevice::ReadOnly);
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int code =
            NoteCli::run(QStringList{QStringLiteral("jottex-cli")} + arguments, in, out, err);
        m_out = QString::fromUtf8(outBytes);
        m_err = QString::fromUtf8(errBytes);
        return code;
    }

    QString twoNoteFile()
    {
        QString path = m_folder.filePath(QStringLiteral("two.not"));
        NoteRecord first = Samples::note(QString());
        first.Data = QStringLiteral(
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Hello \\b world\\b0\\par\r\n}\r\n");
        NoteRecord second = first;
        second.Color = QStringLiteral("255");
        second.Data = QStringLiteral("{\\rtf1 two}");
        second.Left = -15;
        QFile::remove(path); // a save keeps the further notes of a file that has them
        modNote::SaveNote(first, path);
        modNote::AppendNote(second, path);
        return path;
    }

private slots:
    void listsNotes()
    {
        QCOMPARE(run({QStringLiteral("list"), twoNoteFile()}), 0);
        QCOMPARE(m_out, QStringLiteral("1\tblue\t1/2/2020 3:04:05 AM\t2865\t3345\t6120\t4215\n"
                                       "2\t255\t1/2/2020 3:04:05 AM\t2865\t3345\t-15\t4215\n"));
        QVERIFY(m_err.isEmpty());
    }

    void catPrintsStoredDataAndConversions()
    {
        const QString path = twoNoteFile();
        QCOMPARE(
            run({QStringLiteral("cat"), path, QStringLiteral("--format"), QStringLiteral("rtf")}),
            0);
        QCOMPARE(m_out, QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Hello "
                                       "\\b world\\b0\\par\n}\n"));
        QCOMPARE(run({QStringLiteral("cat"), path, QStringLiteral("--note"), QStringLiteral("2")}),
                 0);
        QCOMPARE(m_out, QStringLiteral("{\\rtf1 two}"));
        QCOMPARE(
            run({QStringLiteral("cat"), path, QStringLiteral("--format"), QStringLiteral("text")}),
            0);
        QVERIFY2(m_out.startsWith(QStringLiteral("Hello world")), qPrintable(m_out));
        QCOMPARE(
            run({QStringLiteral("cat"), path, QStringLiteral("--format"), QStringLiteral("html")}),
            0);
        QVERIFY(m_out.contains(QStringLiteral("world")));
        QCOMPARE(run({QStringLiteral("rtf2text")}, "{\\rtf1\\ansi caf\\'e9}"), 0);
        QCOMPARE(m_out.trimmed(), QStringLiteral("café"));
    }

    void emptyNoteFilePrintsNothing()
    {
        const QString path = m_folder.filePath(QStringLiteral("empty.not"));
        QVERIFY(TestEnvironment::writeFile(path, "<NOTES version=\"4.4.0.9\">\r\n</NOTES>\r\n"));
        QCOMPARE(run({QStringLiteral("list"), path}), 0);
        QVERIFY(m_out.isEmpty());
        QCOMPARE(run({QStringLiteral("cat"), path}), 0);
        QVERIFY(m_out.isEmpty());
    }

    void failuresExitWithOne_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("File not found");
        QTest::newRow("broken") << QByteArray("<NOTES><NOTE>") << QStringLiteral("not well-formed");
        QTest::newRow("bad number") << QByteArray("<NOTES><NOTE><TOP>x</TOP></NOTE></NOTES>")
                                    << QStringLiteral("Type mismatch");
    }

    void failuresExitWithOne()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = m_folder.filePath(QStringLiteral("f.not"));
        QFile::remove(path);
        if (!content.isEmpty())
            QVERIFY(TestEnvironment::writeFile(path, content));
        for (const QString& command : {QStringLiteral("list"), QStringLiteral("cat")}) {
            QCOMPARE(run({command, path}), 1);
            QVERIFY2(m_err.contains(message), qPrintable(m_err));
            QVERIFY(m_out.isEmpty());
        }
    }

    void catShowsCharactersOfDataAsThemselves()
    {
        // Written by another program: the character stands in the RTF as it is.
        const QString path = m_folder.filePath(QStringLiteral("raw.not"));
        QVERIFY(TestEnvironment::writeFile(
            path,
            "<NOTES><NOTE><DATA>{\\rtf1\\ansi caf\xC3\xA9 \xE2\x82\xAC}</DATA></NOTE></NOTES>"));
        QCOMPARE(
            run({QStringLiteral("cat"), path, QStringLiteral("--format"), QStringLiteral("text")}),
            0);
        QCOMPARE(m_out, QStringLiteral("café €"));
    }

    void convertsToNoteRtf_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rtf") << QStringLiteral("rtf2rtf")
                             << QByteArray("{\\rtf1\\ansi caf\\'e9 \\b x}")
                             << QStringLiteral("caf\\'e9 \\b x\\par");
        QTest::newRow("text") << QStringLiteral("text2rtf") << QByteArray("one\r\ntw\xc3\xb6")
                              << QStringLiteral("one\\par\r\ntw\\'f6\\par");
        QTest::newRow("html") << QStringLiteral("html2rtf") << QByteArray("<p>a <b>b</b></p>")
                              << QStringLiteral("a \\b b\\par");
    }

    void convertsToNoteRtf()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QCOMPARE(run({command}, input), 0);
        QVERIFY2(m_out.startsWith(QStringLiteral("{\\rtf1")) && m_out.contains(expected),
                 qPrintable(m_out));
        QVERIFY(m_err.isEmpty());
    }

    // rtf2html writes each list item's style once, with its indent, and a list item's own
    // format (its marker's) lends nothing to the item's text.
    void htmlListItemsAsBrowsersRead_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("listItem");
        QTest::newRow("bold first word")
            << QByteArray("\\b Cheese\\b0  (\\cf1 important\\cf0 )")
            << QStringList{"Shopping:|400|#000000", "Cheese|700|#000000", " (|400|#000000",
                           "important|400|#ff0000", ")|400|#000000"}
            << "400|#000000|18px";
        QTest::newRow("bold red marker")
            << QByteArray("Cheese (\\b smoked\\b0 )\\cf1\\b ")
            << QStringList{"Shopping:|400|#000000", "Cheese (|400|#000000", "smoked|700|#000000",
                           ")|400|#000000"}
            << "700|#ff0000|18px";
    }

    void htmlListItemsAsBrowsersRead()
    {
        QFETCH(QByteArray, item);
        QFETCH(QStringList, texts);
        QFETCH(QString, listItem);
        const QByteArray rtf =
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
            "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20 Shopping:\\par"
            "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\li360 " +
            item + "\\par}";
        QCOMPARE(run({QStringLiteral("rtf2html")}, rtf), 0);
        const HtmlReading html(m_out);
        QCOMPARE(html.repeated, QStringList());
        QCOMPARE(html.texts, texts);
        QCOMPARE(html.listItems, QStringList{listItem});
    }

    // Every sample note, lists, links and all, converts to HTML without a repeated attribute.
    void htmlOfEverySampleHoldsEachAttributeOnce()
    {
        const QDir samples(QStringLiteral(JOTTEX_TEST_DATA "/rtf"));
        const QStringList files = samples.entryList({QStringLiteral("*.rtf")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& file : files) {
            QFile in(samples.filePath(file));
            QVERIFY(in.open(QIODevice::ReadOnly));
            QCOMPARE(run({QStringLiteral("rtf2html")}, in.readAll()), 0);
            QVERIFY2(HtmlReading(m_out).repeated.isEmpty(), qPrintable(file));
        }
    }

    void unreadableInputExitsWithOne_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("rtf2rtf without rtf") << QStringLiteral("rtf2rtf") << QByteArray("plain");
        QTest::newRow("text2rtf not utf-8") << QStringLiteral("text2rtf") << QByteArray("caf\xe9");
        QTest::newRow("html2rtf not utf-8")
            << QStringLiteral("html2rtf") << QByteArray("<b>\xff</b>");
    }

    void unreadableInputExitsWithOne()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, input);
        QCOMPARE(run({command}, input), 1);
        QVERIFY(m_err.startsWith(QStringLiteral("jottex-cli: ")));
        QVERIFY(m_out.isEmpty());
    }

    void usageErrors()
    {
        QCOMPARE(run({}), 2);
        QVERIFY(m_err.contains(QStringLiteral("Usage")));
        QCOMPARE(run({QStringLiteral("cat"), twoNoteFile(), QStringLiteral("--format"),
                      QStringLiteral("pdf")}),
                 2);
        QCOMPARE(run({QStringLiteral("cat"), twoNoteFile(), QStringLiteral("--note"),
                      QStringLiteral("3")}),
                 1);
    }

    void feedAndQuote()
    {
        const QString atom = QStringLiteral(JOTTEX_TEST_DATA "/feeds/atom.xml");
        QCOMPARE(run({QStringLiteral("feed"), atom}), 0);
        QCOMPARE(m_out, QStringLiteral("An Atom feed\nAtom entry one\nhttp://example.org/e1\n\n"
                                       "Atom entry two\nhttp://example.org/e2\n\n"));
        QCOMPARE(run({QStringLiteral("feed"), QStringLiteral(JOTTEX_TEST_DATA "/feeds/bomb.xml")}),
                 1);
        QVERIFY(m_err.contains(QLatin1String("...no feed could be loaded.")));
        // A bad feed is reported as a feed, never as a note file.
        QVERIFY(m_err.contains(QLatin1String("The feed was not read")));
        QVERIFY(!m_err.contains(QLatin1String("note file")));

        HttpTestServer server;
        server.serve("/feed", TestEnvironment::readFile(atom));
        server.serve("/d/quotes.csv", "\"X\",1.25,\"1/2/2026\",\"9:30am\",-0.5,1,2,0.75,9\r\n");
        QCOMPARE(run({QStringLiteral("feed"), server.url("/feed")}), 0);
        QVERIFY(m_out.startsWith(QLatin1String("An Atom feed\n")));
        QCOMPARE(run({QStringLiteral("feed"), server.url("/none")}), 1);
        QCOMPARE(run({QStringLiteral("quote"), QStringLiteral("x"), QStringLiteral("--server"),
                      server.url(QString())}),
                 0);
        QCOMPARE(m_out, QStringLiteral("Stock Symbol: X\nTrade: 1/2/2026 9:30am\nLast Price: "
                                       "1.25\nChange: -0.5\nOpen Price: 1\nLow Price: "
                                       "0.75\nHigh Price: 2\n"));
        QCOMPARE(run({QStringLiteral("quote"), QStringLiteral("x")}), 1); // no service set
        QCOMPARE(m_out, QStringLiteral("Stock Symbol: X\nerror looking up symbol\n"));
    }
};

JOTTEX_GUI_TEST_MAIN(TestNoteCli)
#include "tst_notecli.moc"
