#include "TestEnvironment.h"
#include "shell/LinkPolicy.h"
#include "window/NoteTextEdit.h"

#include <QSignalSpy>
#include <QtTest>

// The note's text area shows as links exactly what the link policy finds, in every paragraph,
// and a click on one asks for that link to be opened.
class TestNoteLinks : public QObject {
    Q_OBJECT

private slots:
    void textAreaShowsThePolicysLinks()
    {
        const QStringList lines{QStringLiteral("go http://example.org/a now."),
                                QStringLiteral("no link here"),
                                QStringLiteral("mail ann@example.org or www.example.org")};
        NoteTextEdit note;
        note.setPlainText(lines.join(QLatin1Char('\n')));
        note.refreshLinks();
        QStringList expected;
        for (const QString& line : lines) {
            for (const LinkPolicy::Span& span : LinkPolicy::linksIn(line))
                expected << line.mid(span.start, span.length);
        }
        QStringList shown;
        const QString text = note.toPlainText();
        for (int position = 0; position < text.size(); ++position) {
            const auto link = note.linkAt(position);
            if (link && (shown.isEmpty() || shown.last() != *link))
                shown << *link;
        }
        QCOMPARE(shown, expected);
        QCOMPARE(shown.size(), 3);
    }

    void clickOnALinkAsksToOpenIt()
    {
        NoteTextEdit note;
        note.resize(400, 200);
        note.setPlainText(QStringLiteral("http://example.org"));
        note.refreshLinks();
        note.show();
        QVERIFY(QTest::qWaitForWindowExposed(&note));
        QSignalSpy clicked(&note, &NoteTextEdit::linkClicked);
        const QRect at = note.cursorRect(QTextCursor(note.document()));
        QTest::mouseClick(note.viewport(), Qt::LeftButton, {}, at.center() + QPoint(4, 0));
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.first().first().toString(), QStringLiteral("http://example.org"));
    }
};

JOTTEX_GUI_TEST_MAIN(TestNoteLinks)
#include "tst_notelinks.moc"
