#include "window/CaretBlink.h"

#include <QStyleHints>
#include <QTextEdit>
#include <QtTest>

using namespace std::chrono_literals;

// The caret rests after the quiet period and blinks again at the next key or click.
class TestCaretBlink : public QObject {
    Q_OBJECT

private slots:
    void restsWhenQuietAndWakesOnInput()
    {
        QStyleHints* hints = QGuiApplication::styleHints();
        const int platformPeriod = hints->cursorFlashTime();
        QVERIFY(platformPeriod > 0);
        QTextEdit edit;
        edit.show();
        CaretBlink::install(100ms);
        QTRY_COMPARE(hints->cursorFlashTime(), 0);

        QTest::keyClick(&edit, Qt::Key_A);
        QCOMPARE(hints->cursorFlashTime(), platformPeriod);
        QTRY_COMPARE(hints->cursorFlashTime(), 0);

        QTest::mouseClick(edit.viewport(), Qt::LeftButton);
        QCOMPARE(hints->cursorFlashTime(), platformPeriod);
        // Typing keeps it blinking: each key starts the quiet period again.
        for (int i = 0; i < 4; ++i) {
            QTest::qWait(60);
            QTest::keyClick(&edit, Qt::Key_B);
            QCOMPARE(hints->cursorFlashTime(), platformPeriod);
        }
        QTRY_COMPARE(hints->cursorFlashTime(), 0);
        QCOMPARE(edit.toPlainText(), QStringLiteral("abbbb"));
    }
};

QTEST_MAIN(TestCaretBlink)
#include "tst_caretblink.moc"
