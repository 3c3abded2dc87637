#include "TestEnvironment.h"
#include "shell/Twips.h"
#include "window/NoteDrag.h"
#include "window/clsDockingHandler.h"

#include <QWidget>
#include <QtTest>

using Drag = QList<QPoint>; // the press, then each place the mouse moves to (screen pixels)

// Dragging a window against a fixed work area, at 15 twips per pixel with the note's snap
// distance of 20 pixels (300 twips).
class TestDockingHandler : public QObject {
    Q_OBJECT

private:
    // What the note window does with its mouse events: positions relative to the window, in
    // twips (the control pressed moves with the window).
    static QPointF inWindow(const QWidget& window, QPoint global)
    {
        const QPoint local = global - window.pos();
        return QPointF(local.x() * 15.0, local.y() * 15.0);
    }

    static QString heldEdges(const clsDockingHandler& handler)
    {
        QStringList edges;
        if (handler.SnappedLeft())
            edges << QStringLiteral("left");
        if (handler.SnappedTop())
            edges << QStringLiteral("top");
        if (handler.SnappedRight())
            edges << QStringLiteral("right");
        if (handler.SnappedBottom())
            edges << QStringLiteral("bottom");
        return edges.join(QLatin1Char(' '));
    }

private slots:
    void snapsHoldsAndReleases_data()
    {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QList<Drag>>("drags");
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<QString>("held");

        const QRect screen(0, 0, 800, 600);
        const QRect note(100, 100, 100, 100);
        // Pressed 50 pixels into the window; moved so its left edge would be 20 pixels
        // (300 twips) from the work area's left: it snaps.
        QTest::newRow("300 twips snaps") << screen << note << QList<Drag>{{{150, 110}, {70, 110}}}
                                         << QPoint(0, 100) << QStringLiteral("left");
        QTest::newRow("315 twips does not")
            << screen << note << QList<Drag>{{{150, 110}, {71, 110}}} << QPoint(21, 100)
            << QString();
        // Held at the edge while the pull stays within the distance, free beyond it.
        QTest::newRow("held within the distance")
            << screen << note << QList<Drag>{{{150, 110}, {70, 110}, {60, 110}, {40, 110}}}
            << QPoint(0, 100) << QStringLiteral("left");
        QTest::newRow("released beyond it")
            << screen << note << QList<Drag>{{{150, 110}, {70, 110}, {60, 110}, {71, 110}}}
            << QPoint(21, 100) << QString();
        QTest::newRow("bottom edge")
            << screen << note << QList<Drag>{{{150, 110}, {150, 495}, {150, 515}}}
            << QPoint(100, 500) << QStringLiteral("bottom");
        // A window nearly as tall (wide) as the work area: both edges qualify.
        QTest::newRow("top wins over bottom")
            << screen << QRect(100, 50, 100, 570) << QList<Drag>{{{150, 60}, {150, 25}}}
            << QPoint(100, 0) << QStringLiteral("top bottom");
        QTest::newRow("left wins over right")
            << screen << QRect(50, 100, 770, 100) << QList<Drag>{{{60, 150}, {25, 150}}}
            << QPoint(0, 100) << QStringLiteral("left right");
        // The second drag starts with the note still held at the left edge.
        QTest::newRow("held from one drag to the next")
            << screen << note << QList<Drag>{{{150, 110}, {70, 110}}, {{50, 110}}} << QPoint(0, 100)
            << QStringLiteral("left");
        // A second monitor to the left of and above the first.
        QTest::newRow("work area left of and above the origin")
            << QRect(-1280, -1024, 1280, 1000) << QRect(-1200, -200, 100, 100)
            << QList<Drag>{{{-1150, -190}, {-1210, -130}}} << QPoint(-1280, -124)
            << QStringLiteral("left bottom");
    }

    void snapsHoldsAndReleases()
    {
        QFETCH(QRect, workArea);
        QFETCH(QRect, window);
        QFETCH(QList<Drag>, drags);
        QFETCH(QPoint, place);
        QFETCH(QString, held);

        QWidget note(nullptr, Qt::Window | Qt::FramelessWindowHint);
        note.setGeometry(window);
        clsDockingHandler handler([workArea](const QWidget&) { return workArea; });
        handler.setParentForm(&note);
        handler.setSnapDistance(300);
        for (const Drag& drag : drags) {
            const QPointF press = inWindow(note, drag.first());
            handler.StartDockDrag(press.x(), press.y());
            for (qsizetype i = 1; i < drag.size(); ++i) {
                const QPointF at = inWindow(note, drag[i]);
                handler.UpdateDockDrag(at.x(), at.y());
            }
        }
        QCOMPARE(note.pos(), place);
        QCOMPARE(note.size(), window.size());
        QCOMPARE(heldEdges(handler), held);
    }

    void workAreaIsTakenInTwipsAtTheDragStart()
    {
        QWidget note;
        clsDockingHandler handler([](const QWidget&) { return QRect(-1280, 0, 1280, 994); });
        QCOMPARE(handler.SnapDistance(), 150); // 10 pixels until the note sets its own
        handler.setParentForm(&note);
        handler.StartDockDrag(0, 0);
        QCOMPARE(handler.WorkArea().left, -19200);
        QCOMPARE(handler.WorkArea().right, 0);
        QCOMPARE(handler.WorkArea().bottom, 14910);
    }

    // The note's drag part: a move follows the pointer and snaps at 20 pixels of the screen
    // it is on, and the release ends it; until the next press the pointer moves nothing.
    void noteDragMovesSnapsAndLetsGo()
    {
        QWidget note(nullptr, Qt::Window | Qt::FramelessWindowHint);
        const QRect area = clsDockingHandler::screenWorkArea(note);
        note.setGeometry(area.left() + 200, area.top() + 150, 300, 200);
        auto* drag = new NoteDrag(&note);
        drag->setUpSnapping();
        QCOMPARE(drag->docking().SnapDistance(), qRound(Twips::perPixel(note.screen()) * 20));

        const QPoint press = note.pos() + QPoint(10, 10);
        drag->followMove(press + QPoint(30, 30)); // no press yet
        QCOMPARE(note.pos(), area.topLeft() + QPoint(200, 150));
        drag->startMove(press);
        QVERIFY(drag->isMoving());
        drag->followMove(press + QPoint(50, 30));
        QCOMPARE(note.pos(), area.topLeft() + QPoint(250, 180));
        // 15 pixels from the left edge: within the snap distance.
        drag->followMove(press + QPoint(-185, 30));
        QCOMPARE(note.pos(), area.topLeft() + QPoint(0, 180));

        drag->end();
        QVERIFY(!drag->isMoving());
        drag->followMove(press + QPoint(100, 100));
        QCOMPARE(note.pos(), area.topLeft() + QPoint(0, 180));
    }

    // Where the window system cannot size the note, the grip sizes it by hand until the
    // release, and never moves it.
    void noteDragResizesByHandUntilTheRelease()
    {
        QWidget note(nullptr, Qt::Window | Qt::FramelessWindowHint);
        note.setGeometry(100, 100, 300, 200);
        auto* drag = new NoteDrag(&note);
        const QPoint grip(395, 295);
        drag->startResize(grip);
        drag->followResize(grip + QPoint(40, 30));
        QCOMPARE(note.geometry(), QRect(100, 100, 340, 230));
        QVERIFY(!drag->isMoving());
        drag->end();
        drag->followResize(grip + QPoint(90, 90));
        QCOMPARE(note.size(), QSize(340, 230));
    }
};

JOTTEX_GUI_TEST_MAIN(TestDockingHandler)
#include "tst_clsdockinghandler.moc"
