#include "RealDialogs.h"
#include "TestEnvironment.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/clsCommonDialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QtTest>

class TestCommonDialog : public QObject {
    Q_OBJECT

private slots:
    void init() { DialogSeam::arm(); }

    void filterTakesDialogForm()
    {
        clsCommonDialog dialog;
        dialog.setFilter(QStringLiteral("Jottex Note (*.not)|*.not"));
        const QString expected = QStringLiteral("Jottex Note (*.not)") + QChar(0) +
                                 QStringLiteral("*.not") + QChar(0) + QChar(0);
        QCOMPARE(dialog.dialogFilter(), expected);
        QCOMPARE(dialog.Filter(), QStringLiteral("Jottex Note (*.not)|*.not"));
        dialog.setFilter(QStringLiteral("Jottex Note (*.not)|*.not|"));
        QCOMPARE(dialog.dialogFilter(), expected);
        dialog.setFilter(QStringLiteral("a||b"));
        QCOMPARE(dialog.dialogFilter(), QStringLiteral("a") + QChar(0) + QChar(0) +
                                            QStringLiteral("b") + QChar(0) + QChar(0));
    }

    void cancelLeavesResetBuffer()
    {
        clsCommonDialog dialog;
        dialog.setFileName(QStringLiteral("/preset.not"));
        DialogSeam::queueFileCancel();
        QCOMPARE(dialog.ShowOpen(), 0);
        QCOMPARE(dialog.FileName(), QString(256, QChar(0)));
        QCOMPARE(dialog.MaxFileSize(), qint16(256));
    }

    void chosenFileFillsNameTitleAndPath()
    {
        clsCommonDialog dialog;
        DialogSeam::queueFileAnswer(QStringLiteral("/x/y.not"));
        QCOMPARE(dialog.ShowOpen(), 1);
        QCOMPARE(dialog.FileName(), QStringLiteral("/x/y.not"));
        QCOMPARE(dialog.FileTitle(), QStringLiteral("y.not"));
        QCOMPARE(dialog.path(), QStringLiteral("/x/"));
        QCOMPARE(dialog.ParseFileNames(), QStringList{QStringLiteral("/x/y.not")});
    }

    void multipleSelection()
    {
        clsCommonDialog dialog;
        dialog.setFlags(clsCommonDialog::OFN_ALLOWMULTISELECT | clsCommonDialog::OFN_EXPLORER);
        DialogSeam::queueFileAnswers({QStringLiteral("/x/a"), QStringLiteral("/x/b")});
        QCOMPARE(dialog.ShowOpen(), 1);
        QCOMPARE(dialog.ParseFileNames(),
                 (QStringList{QStringLiteral("/x/a"), QStringLiteral("/x/b")}));
    }

    void realDialogIsAnswered()
    {
        DialogSeam::disarm();
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("typed"));
        clsCommonDialog dialog;
        dialog.setDialogTitle(QStringLiteral("Select a file: "));
        dialog.setFilter(QStringLiteral("Jottex Note (*.not)|*.not"));
        dialog.setDefaultExt(QStringLiteral("not"));
        dialog.setInitDir(folder.path());
        QString seenTitle;
        QStringList seenFilters;
        QTimer::singleShot(0, [&] {
            QFileDialog* fileDialog = RealDialogs::waitForFileDialog();
            if (!fileDialog)
                return;
            seenTitle = fileDialog->windowTitle();
            seenFilters = fileDialog->nameFilters();
            fileDialog->selectFile(target);
            static_cast<QDialog*>(fileDialog)->accept(); // public in the base
        });
        QCOMPARE(dialog.ShowSave(), 1);
        QCOMPARE(seenTitle, QStringLiteral("Select a file: "));
        QCOMPARE(seenFilters, QStringList{QStringLiteral("Jottex Note (*.not)")});
        QCOMPARE(dialog.FileName(), target + QStringLiteral(".not"));
        QCOMPARE(dialog.FileTitle(), QStringLiteral("typed.not"));
        DialogSeam::arm();
    }

    void colorDialogStartAndCancel()
    {
        clsCommonDialog dialog;
        DialogSeam::queueColorCancel();
        QCOMPARE(dialog.ShowColor(false, 0), -1);
        QCOMPARE(DialogSeam::requests().last().text, QStringLiteral("#000000")); // 0 is black
        QCOMPARE(dialog.colorFlags(), 0x181);
        DialogSeam::queueColorAnswer(QColor(0x12, 0x34, 0x56));
        QCOMPARE(dialog.ShowColor(true, 0x8000000F), 0x563412); // a system colour as the start
        QCOMPARE(dialog.colorFlags(), 0x183);
    }

    // The note's custom colour: the real dialog opens on red, offers no alpha and starts its
    // custom colours black.
    void realColorDialogIsAnswered()
    {
        DialogSeam::disarm();
        QColorDialog::setCustomColor(3, Qt::white);
        QColor seenStart;
        QColor seenCustom;
        bool seenAlpha = true;
        QTimer::singleShot(0, [&] {
            QColorDialog* colorDialog = RealDialogs::waitForColorDialog();
            if (!colorDialog)
                return;
            seenStart = colorDialog->currentColor();
            seenAlpha = colorDialog->testOption(QColorDialog::ShowAlphaChannel);
            seenCustom = QColorDialog::customColor(3);
            colorDialog->setCurrentColor(QColor(10, 20, 30));
            colorDialog->accept();
        });
        clsCommonDialog dialog;
        QCOMPARE(dialog.ShowColor(true, 255), 10 + 20 * 256 + 30 * 65536);
        QCOMPARE(seenStart, QColor(255, 0, 0));
        QVERIFY(!seenAlpha);
        QCOMPARE(seenCustom, QColor(Qt::black));

        QTimer::singleShot(0, [] {
            if (QColorDialog* colorDialog = RealDialogs::waitForColorDialog())
                colorDialog->reject();
        });
        QCOMPARE(dialog.ShowColor(true, 255), -1);
        DialogSeam::arm();
    }
};

JOTTEX_GUI_TEST_MAIN(TestCommonDialog)
#include "tst_clscommondialog.moc"
