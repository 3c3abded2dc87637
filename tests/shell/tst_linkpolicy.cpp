#include "TestEnvironment.h"
#include "TestSeams.h"
#include "shell/LinkPolicy.h"
#include "shell/WindowUtils.h"

#include <QtTest>

// The one rule for links: what a note shows as a link in its text, and what opening that link
// (or, where nothing is shown, the whole text) hands to the desktop seam.
class TestLinkPolicy : public QObject {
    Q_OBJECT

private slots:
    void linkRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("link"); // shown as a link in the note; empty for none
        QTest::addColumn<QString>("url");  // handed to the desktop; empty for nothing

        QTest::newRow("http") << "go http://example.org/a?b=1 now"
                              << "http://example.org/a?b=1"
                              << "http://example.org/a?b=1";
        QTest::newRow("ftp") << "ftp://files.example.org/x"
                             << "ftp://files.example.org/x"
                             << "ftp://files.example.org/x";
        QTest::newRow("sftp") << "sftp://h"
                              << ""
                              << "";
        QTest::newRow("xhttp") << "xhttp://e"
                               << ""
                               << "";
        QTest::newRow("scheme after a dot") << "a.http://e"
                                            << ""
                                            << "";
        QTest::newRow("no host") << "http://"
                                 << ""
                                 << "";
        QTest::newRow("www") << "at www.example.org."
                             << "www.example.org"
                             << "http://www.example.org";
        QTest::newRow("www with path") << "www.example.org/a?x=1"
                                       << "www.example.org/a?x=1"
                                       << "http://www.example.org/a?x=1";
        QTest::newRow("www inside a word") << "xwww.example.org"
                                           << ""
                                           << "";
        QTest::newRow("www without host") << "www."
                                          << ""
                                          << "";
        QTest::newRow("www with a bad host") << "www.exa_mple.org"
                                             << "www.exa_mple.org"
                                             << "";
        QTest::newRow("www with a control") << QStringLiteral("www.exa\u0001mple.org")
                                            << QStringLiteral("www.exa\u0001mple.org") << "";
        QTest::newRow("bare mail") << "ann@example.org"
                                   << "ann@example.org"
                                   << "mailto:ann@example.org";
        QTest::newRow("mail fields kept")
            << "mailto:ann@example.org?subject=Hi&body=a%0D%0Ab&cc=b@example.org&bcc=c@x.org"
            << "mailto:ann@example.org?subject=Hi&body=a%0D%0Ab&cc=b@example.org&bcc=c@x.org"
            << "mailto:ann@example.org?subject=Hi&body=a%0D%0Ab&cc=b@example.org&bcc=c@x.org";
        QTest::newRow("mail attachment dropped")
            << "mailto:ann@example.org?attach=/etc/passwd&subject=x&Attachment=~/.ssh/id_rsa&to=d@"
               "e.org&x-other=1"
            << "mailto:ann@example.org?attach=/etc/passwd&subject=x&Attachment=~/.ssh/id_rsa&to=d@"
               "e.org&x-other=1"
            << "mailto:ann@example.org?subject=x&to=d@e.org";
        QTest::newRow("mail only attachment") << "mailto:ann@example.org?attach=a"
                                              << "mailto:ann@example.org?attach=a"
                                              << "mailto:ann@example.org";
        QTest::newRow("file") << "file:///etc/passwd"
                              << ""
                              << "";
        QTest::newRow("javascript") << "javascript:alert(1)"
                                    << ""
                                    << "";
        QTest::newRow("https upper case") << "HTTPS://example.org"
                                          << "HTTPS://example.org"
                                          << "https://example.org";
        QTest::newRow("mailto") << "mailto:ann@example.org"
                                << "mailto:ann@example.org"
                                << "mailto:ann@example.org";
        QTest::newRow("sentence end") << "see (http://example.org/x)."
                                      << "http://example.org/x"
                                      << "http://example.org/x";
        QTest::newRow("local path") << "/usr/bin/xterm"
                                    << ""
                                    << "";
        QTest::newRow("custom scheme") << "smb://host/share"
                                       << ""
                                       << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }

    void linkRules()
    {
        QFETCH(QString, text);
        QFETCH(QString, link);
        QFETCH(QString, url);
        const QList<LinkPolicy::Span> spans = LinkPolicy::linksIn(text);
        QCOMPARE(spans.size(), link.isEmpty() ? 0 : 1);
        if (!link.isEmpty())
            QCOMPARE(text.mid(spans.first().start, spans.first().length), link);

        TestSeams seams;
        const bool handed =
            modMain::ShellOpen(QStringLiteral("open"), link.isEmpty() ? text : link);
        QCOMPARE(handed, !url.isEmpty());
        QCOMPARE(seams.openedUrls().size(), url.isEmpty() ? 0 : 1);
        if (!url.isEmpty())
            QCOMPARE(seams.openedUrls().first().toString(QUrl::FullyEncoded), url);
    }

    void everyLinkOfALineIsFound()
    {
        const QString line = QStringLiteral("a http://x.org, b www.y.org; ann@z.org!");
        QStringList found;
        for (const LinkPolicy::Span& span : LinkPolicy::linksIn(line))
            found << line.mid(span.start, span.length);
        QCOMPARE(found, (QStringList{QStringLiteral("http://x.org"), QStringLiteral("www.y.org"),
                                     QStringLiteral("ann@z.org")}));
    }

    void onlyTheOpenVerbOpens()
    {
        TestSeams seams;
        QVERIFY(!modMain::ShellOpen(QStringLiteral("edit"), QStringLiteral("http://x.org")));
        QVERIFY(seams.openedUrls().isEmpty());
    }
};

JOTTEX_GUI_TEST_MAIN(TestLinkPolicy)
#include "tst_linkpolicy.moc"
