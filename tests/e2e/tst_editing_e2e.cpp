#include "TestEnvironment.h"
#include "TestPictures.h"
#include "XServer.h"
#include "richtext/Pictures.h"
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"
#include "shell/Paths.h"
#include "store/modNote.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>
#include <csignal>

namespace {
const char* const kDragSourceOption = "--drag-source";
const char* const kPictureSourceOption = "--picture-source";

// A window that, pressed, drags one file as a file manager does; this program runs as it,
// on the test's display, since xdotool cannot start a drag itself.
class FileDragSource : public QWidget {
public:
    explicit FileDragSource(const QString& path) : m_path(path)
    {
        setWindowTitle(QStringLiteral("JottexDragSource"));
        resize(80, 80);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* drag = new QDrag(this);
        auto* files = new QMimeData;
        files->setUrls({QUrl::fromLocalFile(m_path)});
        drag->setMimeData(files);
        // Stays up afterwards: the note asks this program for the file's address after the drop.
        drag->exec(Qt::CopyAction);
    }

private:
    QString m_path;
};

int runDragSource(int argc, char** argv)
{
    QApplication app(argc, argv);
    FileDragSource source(QString::fromLocal8Bit(argv[2]));
    source.move(0, 0);
    source.show();
    return QApplication::exec();
}
// Offers a PNG file's picture on the clipboard as PNG alone, as a screenshot tool does, then
// shows a window to say so; it stays up, since the clipboard's owner hands the data over.
int runPictureSource(int argc, char** argv)
{
    QApplication app(argc, argv);
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    auto* picture = new QMimeData;
    picture->setData(QStringLiteral("image/png"), file.readAll());
    QGuiApplication::clipboard()->setMimeData(picture);
    QWidget offered;
    offered.setWindowTitle(QStringLiteral("JottexPictureSource"));
    offered.resize(40, 40);
    offered.show();
    return QApplication::exec();
}
} // namespace

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
        // The keys act when released, with the modifiers held when they went down: whichever
        // goes up first, the key or its modifier (xdotool's "key ctrl+F6" lets go of Ctrl first).
        xdotool(QStringLiteral("key a sleep 0.1 key F6 sleep 0.2 key Return key b sleep 0.1 "
                               "keydown shift keydown F6 keyup F6 keyup shift sleep 0.2 "
                               "key Return key c sleep 0.1 "
                               "keydown ctrl keydown F6 keyup F6 keyup ctrl sleep 0.3 "
                               "key Return key d sleep 0.1 "
                               "keydown shift keydown F6 keyup shift keyup F6 sleep 0.3"));
        const QStringList lines = keptText(jottex).split(QStringLiteral("\r\n"));
        QVERIFY2(lines.size() == 4, qPrintable(lines.join(QLatin1Char('|'))));
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
        QCOMPARE(lines[3], QStringLiteral("d") + lines[1].mid(1));
    }

    // Ctrl+S saves whether Ctrl or S goes up first: through the file dialog for a new note,
    // then to its file.
    void ctrlSSavesInEitherReleaseOrder()
    {
        QProcess jottex;
        QVERIFY(startWithCaretInNote(jottex));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("saved.not"));
        const auto savedText = [&path] {
            const NoteRecordList saved = modNote::LoadNote(false, path);
            return saved.isEmpty() ? QString() : RichText::toPlainText(saved.first().Data);
        };
        xdotool(QStringLiteral("type --delay 30 abc"));
        xdotool(QStringLiteral("keydown ctrl keydown s keyup ctrl keyup s"));
        QTRY_VERIFY_WITH_TIMEOUT(m_x.windowIds(QStringLiteral("^Select a file")).size() == 1,
                                 10000);
        xdotool(QStringLiteral("type --delay 10 ") + path);
        xdotool(QStringLiteral("key Return"));
        QTRY_COMPARE_WITH_TIMEOUT(savedText(), QStringLiteral("abc"), 10000);

        xdotool(QStringLiteral("type --delay 30 d"));
        xdotool(QStringLiteral("keydown ctrl keydown s keyup s keyup ctrl"));
        QTRY_COMPARE_WITH_TIMEOUT(savedText(), QStringLiteral("abcd"), 10000);
        QCOMPARE(keptText(jottex), QStringLiteral("abcd"));
    }

    // A file dropped on the note replaces its text, and one Ctrl+Z brings all of the old text
    // back; the recovery file shows what the note holds in between.
    void ctrlZTakesBackADroppedFile()
    {
        QProcess jottex;
        QVERIFY(startWithCaretInNote(jottex));
        // Found before typing: the caption changes with the text.
        const QRect note = m_x.geometry(m_x.windowIds(QStringLiteral("^Jottex$")).value(0));
        xdotool(QStringLiteral("type --delay 30 oldwords"));
        QTemporaryDir folder;
        const QString dropped = folder.filePath(QStringLiteral("new.txt"));
        QVERIFY(TestEnvironment::writeFile(dropped, "dropped text"));
        const QString recovery =
            QDir(AppPaths::appDirectory())
                .filePath(QStringLiteral("session-%1.recovery").arg(jottex.processId()));
        const auto recoveryHolds = [&recovery](const char* text) {
            return TestEnvironment::readFile(recovery).contains(text);
        };
        QTRY_VERIFY_WITH_TIMEOUT(recoveryHolds("oldwords"), 10000);

        QProcess source;
        source.setProcessEnvironment(m_x.environment());
        source.setProcessChannelMode(QProcess::ForwardedChannels);
        source.start(QCoreApplication::applicationFilePath(),
                     {QString::fromLatin1(kDragSourceOption), dropped});
        QTRY_VERIFY_WITH_TIMEOUT(m_x.windowIds(QStringLiteral("^JottexDragSource$")).size() == 1,
                                 10000);
        const QRect from =
            m_x.geometry(m_x.windowIds(QStringLiteral("^JottexDragSource$")).value(0));
        const QPoint target(note.x() + note.width() / 2, note.y() + note.height() / 2);
        xdotool(QStringLiteral("mousemove %1 %2 sleep 0.2 mousedown 1 sleep 0.3 "
                               "mousemove %3 %4 sleep 0.3 mousemove %5 %6 sleep 0.3 "
                               "mousemove %7 %8 sleep 0.5 mousemove %9 %10 sleep 1 mouseup 1")
                    .arg(from.center().x())
                    .arg(from.center().y())
                    .arg(from.center().x() + 40)
                    .arg(from.center().y() + 40)
                    .arg(target.x() - 5)
                    .arg(target.y())
                    .arg(target.x())
                    .arg(target.y())
                    .arg(target.x() + 3)
                    .arg(target.y() + 3));
        QTRY_VERIFY_WITH_TIMEOUT(recoveryHolds("dropped text") && !recoveryHolds("oldwords"),
                                 10000);
        source.kill();
        source.waitForFinished();

        xdotool(QStringLiteral("key ctrl+z"));
        QTRY_VERIFY_WITH_TIMEOUT(recoveryHolds("oldwords"), 10000);
        QCOMPARE(keptText(jottex), QStringLiteral("oldwords"));
    }

    // Ctrl+V in a note with a picture alone on the desktop's clipboard puts the picture in,
    // and the note keeps it.
    void ctrlVPastesAPicture()
    {
        QProcess jottex;
        QVERIFY(startWithCaretInNote(jottex));
        QTemporaryDir folder;
        const QString png = folder.filePath(QStringLiteral("shot.png"));
        const QImage picture = TestPictures::picture(24, 16);
        QVERIFY(TestEnvironment::writeFile(png, TestPictures::encoded(picture)));
        QProcess source;
        source.setProcessEnvironment(m_x.environment());
        source.setProcessChannelMode(QProcess::ForwardedChannels);
        source.start(QCoreApplication::applicationFilePath(),
                     {QString::fromLatin1(kPictureSourceOption), png});
        QTRY_VERIFY_WITH_TIMEOUT(m_x.windowIds(QStringLiteral("^JottexPictureSource$")).size() == 1,
                                 10000);
        const QRect note = m_x.geometry(m_x.windowIds(QStringLiteral("^Jottex$")).value(0));
        xdotool(QStringLiteral("mousemove %1 %2 sleep 0.2 click 1 sleep 0.2 key a key ctrl+v "
                               "sleep 0.5 key b sleep 0.3")
                    .arg(note.x() + 40)
                    .arg(note.y() + 50));
        ::kill(static_cast<pid_t>(jottex.processId()), SIGTERM);
        QVERIFY(jottex.waitForFinished(15000));
        source.kill();
        source.waitForFinished();
        const NoteRecordList kept = modNote::LoadNote(true, QString());
        QCOMPARE(kept.size(), 1);
        QTextDocument document;
        RichText::readRtf(kept.first().Data, &document);
        QCOMPARE(RichText::plainText(&document), QStringLiteral("a\uFFFCb"));
        QTextCursor at(&document);
        at.setPosition(2);
        QCOMPARE(RichText::pictureOf(&document, at.charFormat().toImageFormat())
                     .convertToFormat(QImage::Format_RGB32),
                 picture);
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

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], kDragSourceOption) == 0)
        return runDragSource(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kPictureSourceOption) == 0)
        return runPictureSource(argc, argv);
    TestEnvironment environment;
    QCoreApplication app(argc, argv);
    TestEditingEndToEnd test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_editing_e2e.moc"
