#include "TestEnvironment.h"
#include "special/cClipboardViewer.h"
#include "special/cCustomClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest>
#include <functional>
#include <memory>

using FormatIds = QList<quint32>;

class TestClipboard : public QObject {
    Q_OBJECT

private slots:
    void formatNames_data()
    {
        QTest::addColumn<quint32>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("text") << 1u << "Text";
        QTest::newRow("tiff") << 6u << "Tagged Image File Format (TIFF) Picture";
        QTest::newRow("oem") << 7u << "Text (OEM)";
        QTest::newRow("unicode") << 13u << "Text (Unicode)";
        QTest::newRow("locale") << 16u << "Text Locale Identifier";
        QTest::newRow("17 has no name") << 17u << "";
        QTest::newRow("unregistered") << 0xBFFFu << "";
        QTest::newRow("registered") << cCustomClipboard::AddFormat("application/x-jottex-sample")
                                    << "application/x-jottex-sample";
    }

    void formatNames()
    {
        QFETCH(quint32, id);
        QFETCH(QString, name);
        QCOMPARE(cCustomClipboard::FormatName(id), name);
    }

    void registeringIsByNameWithoutCase()
    {
        const quint32 id = cCustomClipboard::AddFormat("text/x-Jottex");
        QVERIFY(id >= 0xC000);
        QCOMPARE(cCustomClipboard::AddFormat("TEXT/X-JOTTEX"), id);
        QVERIFY(cCustomClipboard::AddFormat("text/x-jottex-other") != id);
        QCOMPARE(cCustomClipboard::AddFormat(""), 0u);
        QCOMPARE(cCustomClipboard::AddFormat(QString(256, u'x')), 0u);
    }

    void refusesWhileNotOpen()
    {
        auto owner = std::make_unique<QWidget>();
        cCustomClipboard clipboard;
        const QList<std::function<Result()>> operations{
            [&] { return failureOf(clipboard.GetBinaryData(1)); },
            [&] { return failureOf(clipboard.GetTextData(1)); },
            [&] { return failureOf(clipboard.GetFileList()); },
            [&] { return failureOf(clipboard.SetTextData(1, "x")); },
            [&] { return failureOf(clipboard.SetFileList({"/tmp/a"})); },
            [&] { return clipboard.ClearClipboard(); },
        };
        const auto expectRefusal = [&](const char* when) {
            for (const auto& operation : operations) {
                const Result failure = operation();
                QVERIFY2(failure.failed(), when);
                QCOMPARE(failure.error().number, 1570);
                QCOMPARE(failure.error().description,
                         "Attempt to access the clipboard when clipboard not Open.");
                QCOMPARE(failure.error().source, "special_tst_clipboard.cCustomClipboard");
            }
        };
        expectRefusal("never opened");

        const Result noOwner = clipboard.ClipboardOpen(nullptr);
        QVERIFY(noOwner.failed());
        QCOMPARE(noOwner.error().number, 1571);
        QCOMPARE(noOwner.error().description, "Unable to Open Clipboard.");
        expectRefusal("opened without an owner");

        QVERIFY(clipboard.ClipboardOpen(owner.get()).ok());
        QVERIFY(clipboard.GetTextData(1).ok());
        clipboard.ClipboardClose();
        expectRefusal("closed");

        QVERIFY(clipboard.ClipboardOpen(owner.get()).ok());
        owner.reset();
        expectRefusal("owner destroyed");
    }

    void viewersHearEveryChange()
    {
        QWidget first;
        auto second = std::make_unique<QWidget>();
        cClipboardViewer firstViewer;
        cClipboardViewer secondViewer;
        QSignalSpy firstSpy(&firstViewer, &cClipboardViewer::ClipboardChanged);
        QSignalSpy secondSpy(&secondViewer, &cClipboardViewer::ClipboardChanged);

        firstViewer.InitClipboardChangeNotification(&first);
        QCOMPARE(firstSpy.count(), 1); // joining reports the clipboard now
        secondViewer.InitClipboardChangeNotification(second.get());
        QCOMPARE(secondSpy.count(), 1);
        QCOMPARE(firstSpy.count(), 1);

        QGuiApplication::clipboard()->setText("one");
        QCOMPARE(firstSpy.count(), 2);
        QCOMPARE(secondSpy.count(), 2);

        secondViewer.StopClipboardChangeNotification();
        QVERIFY(!secondViewer.isWatching());
        QGuiApplication::clipboard()->setText("two");
        QCOMPARE(firstSpy.count(), 3);
        QCOMPARE(secondSpy.count(), 2);

        secondViewer.InitClipboardChangeNotification(second.get());
        QCOMPARE(secondSpy.count(), 3);
        second.reset();
        QGuiApplication::clipboard()->setText("three");
        QCOMPARE(firstSpy.count(), 4);
        QCOMPARE(secondSpy.count(), 3);
        QVERIFY(!secondViewer.isWatching());

        cClipboardViewer idle;
        QSignalSpy idleSpy(&idle, &cClipboardViewer::ClipboardChanged);
        idle.InitClipboardChangeNotification(nullptr);
        QVERIFY(!idle.isWatching());
        QGuiApplication::clipboard()->setText("four");
        QCOMPARE(idleSpy.count(), 0);
    }

    void formatsMapOntoNumbers_data()
    {
        QTest::addColumn<QStringList>("mimeTypes");
        QTest::addColumn<FormatIds>("ids");
        const quint32 html = cCustomClipboard::AddFormat("text/html");
        QTest::newRow("text") << QStringList{"text/plain"} << FormatIds{1};
        QTest::newRow("text twice")
            << QStringList{"text/plain", "text/plain;charset=utf-8"} << FormatIds{1, 13};
        QTest::newRow("rich text") << QStringList{"text/html", "text/plain"} << FormatIds{html, 1};
        QTest::newRow("image") << QStringList{"application/x-qt-image", "image/png", "image/bmp"}
                               << FormatIds{8};
        QTest::newRow("files") << QStringList{"text/uri-list", "text/plain"} << FormatIds{15, 1};
        QTest::newRow("empty") << QStringList{} << FormatIds{};
    }

    void formatsMapOntoNumbers()
    {
        QFETCH(QStringList, mimeTypes);
        QFETCH(FormatIds, ids);
        auto* data = new QMimeData;
        for (const QString& mimeType : mimeTypes)
            data->setData(mimeType, "x");
        QGuiApplication::clipboard()->setMimeData(data);

        QWidget owner;
        cCustomClipboard clipboard;
        QCOMPARE(clipboard.GetCurrentFormats(&owner), ids.size());
        QCOMPARE(clipboard.FormatCount(), ids.size());
        for (int position = 1; position <= ids.size(); ++position) {
            QCOMPARE(clipboard.GetCurrentFormatID(position).value(), ids.at(position - 1));
            QCOMPARE(clipboard.GetCurrentFormatName(position).value(),
                     cCustomClipboard::FormatName(ids.at(position - 1)));
        }
        const Expected<quint32> outside = clipboard.GetCurrentFormatID(int(ids.size()) + 1);
        QVERIFY(!outside.ok());
        QCOMPARE(outside.error().number, 5);
        QVERIFY(!clipboard.GetCurrentFormatID(0).ok());
        QVERIFY(!clipboard.isOpen());
    }

    void imageCopyIsOnePicture()
    {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(image);
        QWidget owner;
        cCustomClipboard clipboard;
        QCOMPARE(clipboard.GetCurrentFormats(&owner), 1);
        QCOMPARE(clipboard.GetCurrentFormatID(1).value(), cCustomClipboard::CF_DIB);
        QVERIFY(clipboard.ClipboardOpen(&owner).ok());
        QCOMPARE(QImage::fromData(clipboard.GetBinaryData(cCustomClipboard::CF_DIB).value()).size(),
                 image.size());
        QCOMPARE(clipboard.GetTextData(cCustomClipboard::CF_TEXT).value(), QString());
    }

    void roundTrips_data()
    {
        QTest::addColumn<quint32>("writeId");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("plainText");
        const quint32 custom = cCustomClipboard::AddFormat("application/x-jottex-8bit");
        QTest::newRow("text") << 1u << "Grüße\r\nnext"
                              << "Grüße\r\nnext";
        QTest::newRow("unicode") << 13u << "Ω ≈ ∑"
                                 << "Ω ≈ ∑";
        QTest::newRow("registered") << custom << "café"
                                    << "";
    }

    void roundTrips()
    {
        QFETCH(quint32, writeId);
        QFETCH(QString, text);
        QFETCH(QString, plainText);
        QWidget owner;
        cCustomClipboard clipboard;
        QVERIFY(clipboard.ClipboardOpen(&owner).ok());
        QVERIFY(clipboard.SetTextData(writeId, text).value());
        QCOMPARE(clipboard.GetTextData(writeId).value(), text);
        // Both text formats read the one text of the clipboard.
        QCOMPARE(clipboard.GetTextData(cCustomClipboard::CF_TEXT).value(), plainText);
        QCOMPARE(clipboard.GetTextData(cCustomClipboard::CF_UNICODETEXT).value(), plainText);
        QVERIFY(clipboard.isOpen());
        QCOMPARE(clipboard.GetCurrentFormats(&owner), 1);
        QCOMPARE(clipboard.GetCurrentFormatID(1).value(), writeId);
        QVERIFY(clipboard.IsDataAvailableForFormat(writeId));
        QVERIFY(!clipboard.SetTextData(writeId, QString()).value());
    }

    void fileListRoundTrip()
    {
        QWidget owner;
        cCustomClipboard clipboard;
        QVERIFY(clipboard.ClipboardOpen(&owner).ok());
        const QStringList files{"/tmp/a note.not", "/home/anna/Grüße.txt"};
        QVERIFY(clipboard.SetFileList(files).value());
        QCOMPARE(clipboard.GetFileList().value(), files);
        QCOMPARE(clipboard.FormatIDForName(&owner, "File List"), cCustomClipboard::CF_HDROP);
        QVERIFY(clipboard.ClearClipboard().ok());
        QCOMPARE(clipboard.GetFileList().value(), QStringList());
        QCOMPARE(clipboard.FormatCount(), 0);
    }

private:
    template <typename T> static Result failureOf(const Expected<T>& result)
    {
        return result.ok() ? Result() : Result(result.error());
    }
};

JOTTEX_GUI_TEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
