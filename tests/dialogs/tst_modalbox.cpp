#include "TestEnvironment.h"
#include "dialogs/ModalBox.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
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
