#include "TestEnvironment.h"
#include "XServer.h"
#include "richtext/RichText.h"
#include "store/modNote.h"

#include <QtTest>
#include <csignal>

// Keys typed into a note on the real program reach the note: the date stamp keys, typed with
// the caret in the text, insert the stamps in the user's locale.
class TestEditingEndToEnd : public QObject {
    Q_OBJECT

private:
    XServer m_x;

    void xdotool(const QString& commands) const
    {
        m_x.run(QStringLiteral("xdotool"), commands.split(QLatin1Char(' ')));
    }

    // A blank note with the caret in its text.
    bool startWithCaretInNote(QProcess& jottex) const
    {
        TestEnvironment::resetFolders();
        if (!m_x.launch(jottex))
            return false;
        if (!QTest::qWaitFor(
                [this] { return m_x.windowIds(QStringLiteral("^Jottex$")).size() == 1; }, 20000))
            return false;
        const QRect place = m_x.geometry(m_x.windowIds(QStringLiteral("^Jottex$")).first());
        // Into the text area, below the caption strip.
        xdotool(QStringLiteral("mousemove %1 %2 sleep 0.2 click 1 sleep 0.2")
                    .arg(place.x() + 40)
                    .arg(place.y() + 50));
        return true;
    }

    // Ends the session, which keeps the note as it is without asking; its plain text.
    static QString keptText(QProcess& jottex)
    {
        ::kill(static_cast<pid_t>(jottex.processId()), SIGTERM);
        if (!jottex.waitForFinished(15000))
            return QStringLiteral("<still running>");
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        return kept.size() == 1 ? RichText::toPlainText(kept.first().Data)
                                : QStringLiteral("<%1 notes kept>").arg(kept.size());
    }

private slots:
    void initTestCase()
    {
        if (const QString why = m_x.start(true); !why.isEmpty())
            QSKIP(qPrintable(why));
    }

    void dateStampKeysReachTheNote()
    {
        QProcess jottex;
        QVERIFY(startWithCaretInNote(jottex));
        // The keys act when released, with the modifiers held then: F6 goes up before its
        // modifier does, as a person types it (xdotool's "key ctrl+F6" lets go of Ctrl first).
        xdotool(QStringLiteral("key a sleep 0.1 key F6 sleep 0.2 key Return key b sleep 0.1 "
                               "keydown shift keydown F6 keyup F6 keyup shift sleep 0.2 "
                               "key Return key c sleep 0.1 "
                               "keydown ctrl keydown F6 keyup F6 keyup ctrl sleep 0.3"));
        const QStringList lines = keptText(jottex).split(QStringLiteral("\r\n"));
        QVERIFY2(lines.size() == 3, qPrintable(lines.join(QLatin1Char('|'))));
        const QDate today = QDate::currentDate();
        QVERIFY2(QRegularExpression(QStringLiteral("^a\\d{1,2}/\\d{1,2}/\\d{4} "
                                                   "\\d{1,2}:\\d{2}:\\d{2} [AP]M$"))
                     .match(lines[0])
                     .hasMatch(),
                 qPrintable(lines[0]));
        QCOMPARE(lines[1],
                 QStringLiteral("b") + QLocale(QLocale::English, QLocale::UnitedStates)
                                           .toString(today, QStringLiteral("dddd, MMMM d, yyyy")));
        QCOMPARE(lines[2],
                 QStringLiteral("c%1/%2/%3").arg(today.month()).arg(today.day()).arg(today.year()));
    }

    // Ctrl held down in the note while Clear All is chosen from its menu writes our text.
    void clearAllWithCtrlHeld()
    {
        QProcess jottex;
        QVERIFY(startWithCaretInNote(jottex));
        // Clear All is the 13th item of the main menu.
        QString down;
        for (int i = 0; i < 13; ++i)
            down += QStringLiteral("key Down sleep 0.05 ");
        xdotool(QStringLiteral("key x sleep 0.1 keydown ctrl sleep 0.1 click 3 sleep 0.3 ") + down +
                QStringLiteral("key Return sleep 0.3 keyup ctrl sleep 0.2"));
        QVERIFY(keptText(jottex).startsWith(QStringLiteral("Jottex keeps sticky notes")));
    }
};

JOTTEX_TEST_MAIN(TestEditingEndToEnd)
#include "tst_editing_e2e.moc"
