#include "TestEnvironment.h"
#include "shell/Paths.h"
#include "store/NoteRecovery.h"
#include "store/modNote.h"

#include <QtTest>

namespace {
// What the open notes are, as the window floor would report them.
NoteRecordList& openNotes()
{
    static NoteRecordList notes;
    return notes;
}

NoteRecordList currentNotes()
{
    return openNotes();
}

NoteRecord note(const QString& text)
{
    NoteRecord record;
    record.Color = QStringLiteral("yellow");
    record.Data = text;
    return record;
}

QStringList keptTexts()
{
    QStringList texts;
    for (const NoteRecord& record : modNote::LoadNote(false, NoteRecovery::path()))
        texts << record.Data;
    return texts;
}
} // namespace

// The recovery file follows the notes the installed source reports: written a moment after a
// change, gone at once when the last note is closed.
class TestNoteRecovery : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        TestEnvironment::resetFolders();
        NoteRecovery::setRecordSource(&currentNotes);
        openNotes() = {note(QStringLiteral("one")), note(QStringLiteral("two"))};
    }

    void cleanup() { NoteRecovery::remove(); }

    void noSourceMeansNoNoteIsOpen()
    {
        NoteRecovery::setRecordSource(nullptr);
        QVERIFY(NoteRecovery::openRecords().isEmpty());
        QVERIFY(NoteRecovery::writeNow().ok());
        QVERIFY(!QFile::exists(NoteRecovery::path()));
    }

    void changeIsWrittenAfterTheDelayWithLaterChanges()
    {
        QElapsedTimer since;
        since.start();
        NoteRecovery::noteChanged();
        QVERIFY(!QFile::exists(NoteRecovery::path()));
        openNotes().append(note(QStringLiteral("three")));
        NoteRecovery::noteChanged();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(NoteRecovery::path()),
                                 NoteRecovery::WriteDelayMs * 3);
        QVERIFY(since.elapsed() >= NoteRecovery::WriteDelayMs - 100);
        QCOMPARE(keptTexts(), (QStringList{QStringLiteral("one"), QStringLiteral("two"),
                                           QStringLiteral("three")}));
    }

    void closingTheLastNoteRemovesTheFileAtOnce()
    {
        QVERIFY(NoteRecovery::writeNow().ok());
        QVERIFY(QFile::exists(NoteRecovery::path()));
        // One note left: the file is rewritten later, not removed.
        openNotes().removeFirst();
        NoteRecovery::noteClosed();
        QCOMPARE(keptTexts().size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(keptTexts(), QStringList{QStringLiteral("two")},
                                  NoteRecovery::WriteDelayMs * 3);
        openNotes().clear();
        NoteRecovery::noteClosed();
        QVERIFY(!QFile::exists(NoteRecovery::path()));
    }

    void onlyFilesOfEndedRunsAreOrphans_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("process");
        QTest::addColumn<bool>("orphan");
        const qint64 self = QCoreApplication::applicationPid();
        QTest::newRow("this run") << QStringLiteral("session-%1.recovery").arg(self) << self
                                  << false;
        QTest::newRow("ended run")
            << QStringLiteral("session-999999999.recovery") << qint64(999999999) << true;
        QTest::newRow("no number") << QStringLiteral("session-.recovery") << qint64(0) << true;
        QTest::newRow("not digits") << QStringLiteral("session-12a.recovery") << qint64(0) << true;
        QTest::newRow("other prefix") << QStringLiteral("other-12.recovery") << qint64(0) << false;
    }

    void onlyFilesOfEndedRunsAreOrphans()
    {
        QFETCH(QString, name);
        QFETCH(qint64, process);
        QFETCH(bool, orphan);
        const QString file = AppPaths::appDirectory() + QLatin1Char('/') + name;
        QVERIFY(TestEnvironment::writeFile(file, "<NOTES>\r\n</NOTES>\r\n"));
        QCOMPARE(NoteRecovery::processOf(file), process);
        QCOMPARE(NoteRecovery::orphanedFiles().contains(file), orphan);
    }
};

JOTTEX_TEST_MAIN(TestNoteRecovery)
#include "tst_noterecovery.moc"
