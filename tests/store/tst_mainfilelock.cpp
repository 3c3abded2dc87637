#include "TestEnvironment.h"
#include "shell/Paths.h"
#include "store/modNote.h"

#include <QProcess>
#include <QtTest>

namespace {
// Run as a child, the program adds this many notes to the main data file, one logout each.
const char* const kAppendSwitch = "--append-main-notes";
constexpr int kNotesPerProcess = 100;
const QStringList kNames{QStringLiteral("a"), QStringLiteral("b")};

NoteRecord note(const QString& text)
{
    NoteRecord record;
    record.Color = QStringLiteral("yellow");
    record.Data = text;
    return record;
}

int appendNotes(const QString& name)
{
    for (int i = 0; i < kNotesPerProcess; ++i)
        modNote::SaveMainNote(note(name + QString::number(i)));
    return 0;
}

} // namespace

class TestMainFileLock : public QObject {
    Q_OBJECT

private slots:
    void twoProgramsEndingTogetherLoseNoNote()
    {
        // Two real processes, as two running copies of the program at a logout.
        QList<QProcess*> children;
        for (const QString& name : kNames) {
            auto* child = new QProcess(this);
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(),
                         {QString::fromLatin1(kAppendSwitch), name});
            children << child;
        }
        for (QProcess* child : children) {
            QVERIFY(child->waitForFinished(120000));
            QCOMPARE(child->exitCode(), 0);
        }

        QStringList texts;
        for (const NoteRecord& record : modNote::LoadNote(true, QString()))
            texts << record.Data;
        QCOMPARE(texts.size(), 2 * kNotesPerProcess);
        // Each program's notes come in the order it wrote them.
        for (const QString& name : kNames) {
            QStringList own;
            for (const QString& text : texts) {
                if (text.startsWith(name))
                    own << text;
            }
            QStringList expected;
            for (int i = 0; i < kNotesPerProcess; ++i)
                expected << name + QString::number(i);
            QCOMPARE(own, expected);
        }
        QVERIFY(TestEnvironment::logLines().isEmpty());
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], kAppendSwitch) == 0) {
        // The parent's folders, inherited through the environment.
        QCoreApplication app(argc, argv);
        return appendNotes(QString::fromLocal8Bit(argv[2]));
    }
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    TestMainFileLock test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainfilelock.moc"
