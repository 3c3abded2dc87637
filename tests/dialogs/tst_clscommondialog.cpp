#include "RealDialogs.h"
#include "TestEnvironment.h"
#include "dialogs/ApplicationPrinter.h"
#include "dialogs/DialogSeam.h"
#include "dialogs/clsCommonDialog.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QIntValidator>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QStringListModel>
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

    // A start folder that is not there is never split into a folder and a name: the dialog
    // starts with an empty name, so Enter cannot write the folder's name as a file.
    void realDialogStartsWithAnEmptyName_data()
    {
        QTest::addColumn<bool>("folderIsThere");
        QTest::newRow("folder") << true;
        QTest::newRow("missing folder") << false;
    }

    void realDialogStartsWithAnEmptyName()
    {
        QFETCH(bool, folderIsThere);
        DialogSeam::disarm();
        QTemporaryDir folder;
        const QString start = folder.filePath(QStringLiteral("Desktop"));
        if (folderIsThere)
            QVERIFY(QDir().mkpath(start));
        clsCommonDialog dialog;
        dialog.setInitDir(start);
        QString seenName = QStringLiteral("<no dialog>");
        QString seenFolder;
        QTimer::singleShot(0, [&] {
            QFileDialog* fileDialog = RealDialogs::waitForFileDialog();
            if (!fileDialog)
                return;
            if (const auto* name =
                    fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                seenName = name->text();
            seenFolder = fileDialog->directory().absolutePath();
            fileDialog->reject();
        });
        QCOMPARE(dialog.ShowSave(), 0);
        QCOMPARE(seenName, QString());
        if (folderIsThere)
            QCOMPARE(seenFolder, start);
        DialogSeam::arm();
    }

    // The real dialog starts on the face given at 12 point, takes sizes 10 to 72 only, and
    // hands back the chosen face; a cancel keeps the face the caller set.
    void realFontDialogIsAnswered()
    {
        DialogSeam::disarm();
        clsCommonDialog dialog;
        dialog.setFontName(QStringLiteral("DejaVu Sans"));
        QFont started;
        QStringList sizesOffered;
        std::pair<int, int> sizeBoxRange;
        QTimer::singleShot(0, [&] {
            QFontDialog* fontDialog = RealDialogs::waitForFontDialog();
            if (!fontDialog)
                return;
            started = fontDialog->currentFont();
            for (const QLineEdit* edit : fontDialog->findChildren<QLineEdit*>()) {
                if (const auto* numbers = qobject_cast<const QIntValidator*>(edit->validator()))
                    sizeBoxRange = {numbers->bottom(), numbers->top()};
            }
            for (const QListView* list : fontDialog->findChildren<QListView*>()) {
                const auto* model = qobject_cast<const QStringListModel*>(list->model());
                const QStringList rows = model ? model->stringList() : QStringList();
                if (!rows.isEmpty() && rows.first().toInt() > 0)
                    sizesOffered = rows;
            }
            fontDialog->setCurrentFont(QFont(QStringLiteral("DejaVu Serif")));
            fontDialog->accept();
        });
        QVERIFY(dialog.ShowFont());
        QCOMPARE(started.family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(started.pointSize(), 12);
        QCOMPARE(QFontInfo(started).style(), QFont::StyleNormal); // upright, not the first style
        QCOMPARE(QFontInfo(started).weight(), int(QFont::Normal));
        QCOMPARE(sizeBoxRange, std::make_pair(10, 72));
        QVERIFY(!sizesOffered.isEmpty());
        QCOMPARE(sizesOffered.first(), QStringLiteral("10"));
        QCOMPARE(sizesOffered.last(), QStringLiteral("72"));
        QCOMPARE(dialog.FontName(), QStringLiteral("DejaVu Serif"));

        QTimer::singleShot(0, [] {
            if (QFontDialog* fontDialog = RealDialogs::waitForFontDialog())
                fontDialog->reject();
        });
        QVERIFY(!dialog.ShowFont());
        QCOMPARE(dialog.FontName(), QStringLiteral("DejaVu Serif"));
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
    // PrintDoc prints only after a confirmed printer dialog; otherwise the job is thrown away.
    void printDocFollowsThePrinterDialog_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }

    void printDocFollowsThePrinterDialog()
    {
        QFETCH(bool, confirmed);
        QTemporaryDir folder;
        const QString pdf = folder.filePath(QStringLiteral("job.pdf"));
        clsCommonDialog dialog;
        DialogSeam::queuePrinterAnswer({confirmed, pdf});
        QCOMPARE(dialog.ShowPrinter(0), confirmed);
        ApplicationPrinter::StartDoc();
        ApplicationPrinter::Print([](QPainter& painter) { painter.drawText(10, 10, "x"); });
        QVERIFY(dialog.PrintDoc());
        QCOMPARE(QFile::exists(pdf), confirmed);
        QCOMPARE(ApplicationPrinter::pageCount(), 0);
    }

    // Each of the printer, page setup and folder dialogs, shown for real: the printer dialog
    // cancelled, page setup confirmed, and a folder chosen.
    void realPrinterPageAndFolderDialogs()
    {
        DialogSeam::disarm();
        QTemporaryDir folder;
        clsCommonDialog dialog;
        QString seen;
        QStringList choices; // every choice the dialog's drop-down lists offer
        const auto answer = [&seen, &choices](bool accept) {
            QTimer::singleShot(0, [&seen, &choices, accept] {
                QDialog* shown = RealDialogs::waitForDialog();
                if (!shown)
                    return;
                seen = QString::fromLatin1(shown->metaObject()->className());
                choices.clear();
                for (const QComboBox* box : shown->findChildren<QComboBox*>()) {
                    for (int i = 0; i < box->count(); ++i)
                        choices << box->itemText(i);
                }
                if (auto* files = qobject_cast<QFileDialog*>(shown))
                    files->selectFile(files->directory().absolutePath());
                accept ? shown->accept() : shown->reject();
            });
        };
        answer(false);
        QVERIFY(!dialog.ShowPrinter(0));
        QVERIFY(seen.contains(QStringLiteral("PrintDialog")));
        // With no printer installed, a PDF file is still on offer.
        QVERIFY2(choices.filter(QStringLiteral("PDF")).size() > 0, qPrintable(choices.join('|')));
        answer(true);
        QVERIFY(dialog.ShowPageSetupDlg());
        QVERIFY(seen.contains(QStringLiteral("PageSetupDialog")));
        dialog.setDialogTitle(QStringLiteral("Choose a folder"));
        dialog.setInitDir(folder.path());
        answer(true);
        QVERIFY(dialog.Browse() != 0);
        QCOMPARE(seen, QStringLiteral("QFileDialog"));
        QCOMPARE(dialog.path(), QDir::cleanPath(folder.path()));
        DialogSeam::arm();
    }

    void browseCancelledKeepsNoPath()
    {
        clsCommonDialog dialog;
        DialogSeam::queueFolderAnswer(QString());
        QCOMPARE(dialog.Browse(), 0);
        QVERIFY(dialog.path().isEmpty());
        QCOMPARE(DialogSeam::requests().first().kind, DialogSeam::Kind::Folder);
    }
};

JOTTEX_GUI_TEST_MAIN(TestCommonDialog)
#include "tst_clscommondialog.moc"
