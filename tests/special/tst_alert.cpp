#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/SystemColors.h"
#include "shell/Twips.h"
#include "special/CGradient.h"
#include "special/ReminderDue.h"
#include "special/frmAlert.h"

#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QtTest>

// The reminder's due rule, the gradient painter's arithmetic and the alert's slide and stacking.
class TestAlert : public QObject {
    Q_OBJECT

private:
    static int workBottomTwips()
    {
        const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
        return Twips::fromPixels(work.y() + work.height());
    }

    static frmAlert* showAlert(int durationMs)
    {
        auto* alert = new frmAlert;
        alert->DisplayAlert(QStringLiteral("Your reminder note is now active"), durationMs);
        return alert;
    }

    static void hover(QWidget* widget)
    {
        const QPoint centre = widget->rect().center();
        QMouseEvent move(QEvent::MouseMove, centre, widget->mapToGlobal(centre), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

private slots:
    void init() { DialogSeam::arm(); }

    void reminderIsDueInTheTenSecondsAfter_data()
    {
        QTest::addColumn<QTime>("reminder");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<bool>("due");
        const QTime half(15, 30, 0);
        QTest::newRow("at the time") << half << half << false;
        QTest::newRow("a second after") << half << QTime(15, 30, 1) << true;
        QTest::newRow("nine after") << half << QTime(15, 30, 9) << true;
        QTest::newRow("ten after") << half << QTime(15, 30, 10) << false;
        QTest::newRow("before") << half << QTime(15, 29, 59) << false;
        QTest::newRow("past midnight") << QTime(23, 59, 55) << QTime(0, 0, 2) << true;
        QTest::newRow("ten past midnight") << QTime(23, 59, 55) << QTime(0, 0, 5) << false;
    }

    void reminderIsDueInTheTenSecondsAfter()
    {
        QFETCH(QTime, reminder);
        QFETCH(QTime, now);
        QFETCH(bool, due);
        QCOMPARE(modSpecialNote::IsReminderDue(reminder, now), due);
    }

    void blendColorsDividesByTheNumberOfColours_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<QList<qint32>>("colors");
        QTest::newRow("none") << 0 << QList<qint32>{0x000000, 0x0000FF};
        QTest::newRow("one") << 1 << QList<qint32>{0x000000, 0x0000FF};
        // 63.75 and 127.5 round to 64 and 128: halves to even.
        QTest::newRow("four") << 4 << QList<qint32>{0x000000, 0x000040, 0x000080, 0x0000FF};
    }

    void blendColorsDividesByTheNumberOfColours()
    {
        QFETCH(int, steps);
        QFETCH(QList<qint32>, colors);
        QList<qint32> blended;
        QCOMPARE(CGradient::BlendColors(0x000000, 0x0000FF, steps, blended), colors.size());
        QCOMPARE(blended, colors);
    }

    void propertiesReduceAnglesAndResolveSystemColours()
    {
        CGradient gradient;
        QCOMPARE(gradient.Angle(), 315.0F);
        gradient.setAngle(-100);
        QCOMPARE(gradient.Angle(), 260.0F);
        gradient.setAngle(720);
        QCOMPARE(gradient.Angle(), 0.0F);
        gradient.setColor1(qint32(0x80000005));
        QCOMPARE(gradient.Color1(),
                 SystemColors::toValue(QGuiApplication::palette().color(QPalette::Base)));
        gradient.setColor2(0x123456);
        QCOMPARE(gradient.Color2(), 0x123456);
    }

    void sweepPaintsOneLinePerPixelLeavingTheStartEdge()
    {
        CGradient gradient;
        gradient.setAngle(0);
        gradient.setColor1(0x000000);
        gradient.setColor2(0xFFFFFF);
        QImage picture(100, 50, QImage::Format_RGB32);
        picture.fill(Qt::magenta);
        QVERIFY(gradient.Draw(picture));
        QList<qint32> colors;
        CGradient::BlendColors(0x000000, 0xFFFFFF, 102, colors);
        QCOMPARE(picture.pixelColor(0, 25), QColor(Qt::magenta)); // the undrawn first line
        for (int x : {1, 50, 99})
            QCOMPARE(SystemColors::toValue(picture.pixelColor(x, 25)), colors[x]);

        // The sweep starts at the edge the angle points away from: dark (the first colour)
        // there, light at the opposite edge.
        const struct {
            float angle;
            QPoint dark;
            QPoint light;
        } sweeps[] = {{90, {50, 48}, {50, 1}},
                      {180, {98, 25}, {2, 25}},
                      {270, {50, 1}, {50, 48}},
                      {-100, {60, 2}, {40, 47}}};
        for (const auto& sweep : sweeps) {
            gradient.setAngle(sweep.angle);
            QVERIFY(gradient.Draw(picture));
            QVERIFY2(picture.pixelColor(sweep.dark).lightness() + 100 <
                         picture.pixelColor(sweep.light).lightness(),
                     qPrintable(QString::number(sweep.angle)));
        }

        QImage line(1, 50, QImage::Format_RGB32);
        QVERIFY(!gradient.Draw(line));
    }

    void alertSlidesUpStaysAndSlidesAway()
    {
        frmAlert* first = showAlert(200);
        QCOMPARE(frmAlert::alertCount(), 1);
        QCOMPARE(first->heightTwips(), 90);
        QCOMPARE(first->topTwips() + first->heightTwips(), workBottomTwips());
        QVERIFY(!first->isActiveWindow());
        QTRY_COMPARE(first->heightTwips(), 1695);
        // Its bottom edge stayed where it was.
        QCOMPARE(first->topTwips() + first->heightTwips(), workBottomTwips());

        frmAlert* second = showAlert(100);
        QCOMPARE(frmAlert::alertCount(), 2);
        QCOMPARE(second->topTwips() + second->heightTwips(), workBottomTwips() - 1695);

        QPointer<frmAlert> firstGone(first);
        QPointer<frmAlert> secondGone(second);
        QTRY_VERIFY_WITH_TIMEOUT(firstGone.isNull() && secondGone.isNull(), 10000);
        QCOMPARE(frmAlert::alertCount(), 0);
    }

    void messageAndCloseImageAnswerTheMouse()
    {
        frmAlert* alert = showAlert(60000);
        QTRY_COMPARE(alert->heightTwips(), 1695);
        hover(alert->lblAlert());
        QVERIFY(alert->lblAlert()->font().underline());
        QCOMPARE(alert->lblAlert()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QTest::mouseClick(alert->lblAlert(), Qt::LeftButton);
        QCOMPARE(DialogSeam::requests().size(), 1);
        QCOMPARE(DialogSeam::requests().first().text,
                 QStringLiteral("The time on your reminder note has expired"));

        hover(alert->lblAlert()->parentWidget());
        QVERIFY(!alert->lblAlert()->font().underline());
        QTest::mouseClick(alert->imgClose(), Qt::LeftButton);
        QVERIFY(alert->isHidden());
        delete alert;
    }
};

JOTTEX_GUI_TEST_MAIN(TestAlert)
#include "tst_alert.moc"
