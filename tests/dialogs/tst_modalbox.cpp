#include "TestEnvironment.h"
#include "dialogs/ModalBox.h"
#include "dialogs/WindowBand.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>

// A box runs while what it belongs to is closed or deleted under it. The code that opened the
// box must come back into a live owner, and the owner must still go afterwards.
class TestModalBox : public QObject {
    Q_OBJECT

private:
    // Runs a box over parent; while it runs, `during` is done to the windows, then the box is
    // answered. Whether the parent was still there when exec() returned.
    static bool parentLivesThroughBox(QWidget* parent, const std::function<void()>& during,
                                      int expectedResult = QDialog::Accepted)
    {
        const QPointer<QWidget> guard(parent);
        ModalBox<QDialog> box(new QDialog(parent));
        QTimer::singleShot(0, box.get(), [&box, during] {
            during();
            // The deletions asked have had their chance to run.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            if (box)
                box->accept();
        });
        const int result = box.exec();
        const bool lived = !guard.isNull();
        if (result != expectedResult)
            return false;
        return lived;
    }

private slots:
    void ownerGoesOnlyAfterTheBox_data()
    {
        QTest::addColumn<int>("what");
        // What happens to the windows while the box runs.
        QTest::newRow("parent closed, deleted on close") << 0;
        QTest::newRow("parent deleteLater") << 1;
        QTest::newRow("window owning the parent deleteLater") << 2;
    }

    // A timer closing an alert, or the end of the session closing a note, while a box of it
    // is open: before, the owner went in the box's own event loop and took the box with it.
    void ownerGoesOnlyAfterTheBox()
    {
        QFETCH(int, what);
        auto* owner = new QWidget;
        auto* parent = new QWidget(owner, Qt::Window);
        parent->setAttribute(Qt::WA_DeleteOnClose);
        parent->show();
        const QPointer<QWidget> ownerGuard(owner);
        const QPointer<QWidget> parentGuard(parent);
        const std::function<void()> actions[] = {
            [parent] { parent->close(); },
            [parent] { parent->deleteLater(); },
            [owner] { owner->deleteLater(); },
        };
        QVERIFY(parentLivesThroughBox(parent, actions[what]));
        // Once the box has returned, the deletion asked meanwhile happens.
        QTRY_VERIFY(parentGuard.isNull());
        if (what == 2)
            QVERIFY(ownerGuard.isNull());
        delete ownerGuard.data();
    }

    // A box over a box: the inner box's return hands the held deletion to the outer one, so
    // the owner lives until the outer box has returned too.
    void nestedBoxesHoldUntilTheOuterReturns()
    {
        auto* owner = new QWidget;
        owner->setAttribute(Qt::WA_DeleteOnClose);
        owner->show();
        const QPointer<QWidget> guard(owner);
        bool innerLived = false;
        const bool outerLived = parentLivesThroughBox(owner, [&] {
            innerLived = parentLivesThroughBox(owner, [owner] { owner->close(); });
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(guard);
        });
        QVERIFY(innerLived);
        QVERIFY(outerLived);
        QTRY_VERIFY(guard.isNull());
    }

    // While a box shows it is the only window of the program in the on-top band, so no note
    // covers it, however the user stacks them. The windows come back afterwards, and a window
    // put into the band meanwhile (a note becoming active, a note made) only then goes there.
    // A box over a box takes the outer one out until it closes.
    void boxIsTheOnlyWindowInTheBand()
    {
        QWidget onTop;
        QWidget normal;
        QWidget askedIn;
        for (QWidget* window : {&onTop, &normal, &askedIn}) {
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
        }
        WindowBand::place(&onTop, true);
        WindowBand::place(&askedIn, false);
        QStringList seen;
        const auto look = [&](const char* when, const QWidget* box) {
            seen << QStringLiteral("%1: %2%3%4%5")
                        .arg(QLatin1String(when))
                        .arg(WindowBand::isInBand(&onTop))
                        .arg(WindowBand::isInBand(&normal))
                        .arg(WindowBand::isInBand(&askedIn))
                        .arg(box && box->windowHandle() &&
                             box->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        };
        ModalBox<QDialog> outer(new QDialog(&onTop));
        QTimer::singleShot(0, outer.get(), [&] {
            look("outer", outer.get());
            WindowBand::place(&askedIn, true);
            look("asked in", outer.get());
            ModalBox<QDialog> inner(new QDialog(outer.get()));
            QTimer::singleShot(0, inner.get(), [&] {
                look("inner", inner.get());
                seen << QStringLiteral("outer during inner: %1")
                            .arg(WindowBand::isInBand(outer.get()));
                inner->accept();
            });
            inner.exec();
            seen << QStringLiteral("outer after inner: %1").arg(WindowBand::isInBand(outer.get()));
            outer->accept();
        });
        QCOMPARE(outer.exec(), int(QDialog::Accepted));
        look("after", nullptr);
        QCOMPARE(seen, (QStringList{
                           QStringLiteral("outer: 0001"),
                           QStringLiteral("asked in: 0001"),
                           QStringLiteral("inner: 0001"),
                           QStringLiteral("outer during inner: 0"),
                           QStringLiteral("outer after inner: 1"),
                           QStringLiteral("after: 1010"),
                       }));
        QVERIFY(onTop.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(askedIn.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    }

    // A parent deleted outright takes its box along: exec() answers Rejected, the ModalBox
    // knows the dialog is gone, and nothing is freed twice.
    void parentDeletedOutrightRejectsTheBox()
    {
        auto* parent = new QWidget;
        const QPointer<QWidget> guard(parent);
        ModalBox<QDialog> box(new QDialog(parent));
        QTimer::singleShot(0, parent, [parent] { delete parent; });
        QCOMPARE(box.exec(), int(QDialog::Rejected));
        QVERIFY(!box);
        QVERIFY(guard.isNull());
    }
};

JOTTEX_GUI_TEST_MAIN(TestModalBox)
#include "tst_modalbox.moc"
