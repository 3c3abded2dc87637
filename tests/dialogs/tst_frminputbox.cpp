#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/frmInputBox.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestInputBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Jottex")); }
    void init() { DialogSeam::arm(); }

    void answeredThroughTheSeam()
    {
        DialogSeam::queueInputAnswer(QStringLiteral("MSFT"));
        QCOMPARE(
            frmInputBox::InputBoxEX(QStringLiteral("Please enter the Stock Symbol to look up."),
                                    QStringLiteral("Stock Symbol"), QString()),
            QStringLiteral("MSFT"));
        QCOMPARE(frmInputBox::InputBoxEX(QStringLiteral("Feed?"), QString(), QStringLiteral("x")),
                 QString()); // nothing queued: cancelled
        const QList<DialogSeam::Request>& requests = DialogSeam::requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0].kind, DialogSeam::Kind::InputBox);
        QCOMPARE(requests[0].title, QStringLiteral("Stock Symbol"));
        QCOMPARE(requests[0].text, QStringLiteral("Please enter the Stock Symbol to look up."));
        QCOMPARE(requests[1].title, QStringLiteral("Jottex"));
    }

    void realDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ok") << "cmdOk"
                            << "IBM";
        QTest::newRow("cancel") << "cmdCancel"
                                << "";
        QTest::newRow("closed") << ""
                                << "";
    }

    void realDialog()
    {
        QFETCH(QString, button);
        QFETCH(QString, expected);
        DialogSeam::disarm();
        QString title;
        QString prompt;
        QString selected;
        QTimer::singleShot(0, [&] {
            if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }))
                return;
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            title = dialog->windowTitle();
            prompt = dialog->findChild<QLabel*>(QStringLiteral("lblPrompt"))->text();
            auto* input = dialog->findChild<QLineEdit*>(QStringLiteral("txtInput"));
            selected = input->selectedText();
            input->setText(QStringLiteral("IBM"));
            if (button.isEmpty())
                dialog->close();
            else
                dialog->findChild<QPushButton*>(button)->click();
        });
        QCOMPARE(
            frmInputBox::InputBoxEX(QStringLiteral("Symbol?"), QString(), QStringLiteral("MSFT")),
            expected);
        QCOMPARE(title, QStringLiteral("Jottex"));
        QCOMPARE(prompt, QStringLiteral("Symbol?"));
        QCOMPARE(selected, QStringLiteral("MSFT"));
    }
};

JOTTEX_GUI_TEST_MAIN(TestInputBox)
#include "tst_frminputbox.moc"
