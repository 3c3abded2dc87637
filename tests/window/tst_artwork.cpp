#include "TestEnvironment.h"
#include "window/Artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

class TestArtwork : public QObject {
    Q_OBJECT

private:
    // Pixels that are not fully transparent; a picture that failed to render has none.
    static int paintedPixels(const QImage& image)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
        return count;
    }

private slots:
    void menuIconRenders_data()
    {
        QTest::addColumn<QString>("key");
        for (const QString& key : Artwork::menuKeys())
            QTest::newRow(qPrintable(key)) << key;
    }

    void menuIconRenders()
    {
        QFETCH(QString, key);
        const QIcon icon = Artwork::menuIcon(key);
        QVERIFY(!icon.isNull());
        for (int size : {16, 32}) {
            const QImage image = icon.pixmap(size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(paintedPixels(image) > size);
        }
        // Drawn, not scaled up, on a 2x screen.
        QCOMPARE(icon.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
    }

    // A file added without a key (or a key without a file) would leave a menu item bare.
    void everyMenuFileHasAKey()
    {
        QStringList files;
        for (const QFileInfo& info : QDir(QStringLiteral(":/icons/menu")).entryInfoList())
            files << info.completeBaseName();
        QStringList keys = Artwork::menuKeys();
        files.sort();
        keys.sort();
        QCOMPARE(files, keys);
    }

    void specialPictureRenders_data()
    {
        QTest::addColumn<QIcon>("icon");
        QTest::addColumn<int>("size");
        QTest::newRow("note") << Artwork::noteIcon() << 32;
        QTest::newRow("reminder 0") << Artwork::reminderIcon(0) << 32;
        QTest::newRow("reminder 1") << Artwork::reminderIcon(1) << 32;
        QTest::newRow("resize") << Artwork::resizeGrip() << 12;
        QTest::newRow("help") << Artwork::helpPicture() << 17;
        QTest::newRow("close") << Artwork::closePicture() << 17;
        QTest::newRow("app") << Artwork::appIcon() << 48;
    }

    void specialPictureRenders()
    {
        QFETCH(QIcon, icon);
        QFETCH(int, size);
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(paintedPixels(image) > size);
    }

    // The caption strip is mid-grey; its pictures must be light to be seen on it.
    void captionPicturesAreLight()
    {
        for (const QIcon& icon : {Artwork::helpPicture(), Artwork::closePicture()}) {
            const QImage image = icon.pixmap(17).toImage();
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor color = image.pixelColor(x, y);
                    if (color.alpha() == 255)
                        QVERIFY2(color.lightness() > 200, qPrintable(color.name()));
                }
            }
        }
    }

    void unknownKeysGiveNullIcons()
    {
        QVERIFY(Artwork::menuIcon(QStringLiteral("Frobnicate")).isNull());
        QVERIFY(Artwork::menuIcon(QString()).isNull());
        QVERIFY(Artwork::menuIcon(QStringLiteral("bold")).isNull());
        QVERIFY(Artwork::reminderIcon(-1).isNull());
        QVERIFY(Artwork::reminderIcon(2).isNull());
    }
};

JOTTEX_GUI_TEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
