#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/frmInputBox.h"
#include "dialogs/frmInputBoxDT.h"
#include "dialogs/frmSpellCheck.h"

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

    // A German reader's prompts and spelling dialog: every caption translated, and each
    // accelerator of the spelling dialog its own.
    void captionsInGerman()
    {
        const GermanTexts german;
        QCOMPARE(german.language(), QStringLiteral("de"));
        DialogSeam::disarm();
        QStringList captions;
        const auto readButtons = [&] {
            if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }))
                return;
            QWidget* dialog = QApplication::activeModalWidget();
            for (const char* name : {"cmdOk", "cmdCancel"})
                captions << dialog->findChild<QPushButton*>(QLatin1String(name))->text();
            dialog->close();
        };
        QTimer::singleShot(0, readButtons);
        (void)frmInputBox::InputBoxEX(QStringLiteral("Symbol?"), QString(), QString());
        QTimer::singleShot(0, readButtons);
        (void)frmInputBoxDT::InputBoxEX(QStringLiteral("Time?"), QString(), QTime(9, 0));
        QCOMPARE(captions, (QStringList{"&OK", "&Abbrechen", "&OK", "&Abbrechen"}));

        const frmSpellCheck spelling(QStringLiteral("tset"), QStringLiteral("a tset"), 2, {},
                                     nullptr);
        QCOMPARE(spelling.windowTitle(), QStringLiteral("Rechtschreibprüfung"));
        QStringList texts;
        for (const QPushButton* button : spelling.findChildren<QPushButton*>())
            texts << button->text();
        for (const QLabel* label : spelling.findChildren<QLabel*>())
            texts << label->text();
        QCOMPARE(texts, (QStringList{"&Ignorieren", "Alle i&gnorieren", "&Hinzufügen", "Ä&ndern",
                                     "A&lle ändern", "Abbrechen",
                                     "Nicht im Wörterbuch:", "Än&dern in:", "&Vorschläge:"}));
        QSet<QChar> keys;
        for (const QString& text : std::as_const(texts)) {
            const qsizetype mark = text.indexOf(u'&');
            QVERIFY2(mark < 0 || !keys.contains(text[mark + 1].toLower()), qPrintable(text));
            if (mark >= 0)
                keys.insert(text[mark + 1].toLower());
        }
    }
};

JOTTEX_GUI_TEST_MAIN(TestInputBox)
#include "tst_frminputbox.moc"
