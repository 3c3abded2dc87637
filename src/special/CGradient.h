#pragma once

#include <QList>
#include <QPoint>
#include <QtGlobal>

class QImage;
class QPainter;

// Paints a two-colour linear gradient at any angle over a whole picture, as a sweep of
// parallel one-pixel lines, each a step further between the two colours.
class CGradient {
public:
    // A point in single precision, as the sweep computes its line ends.
    struct PointF {
        float x = 0;
        float y = 0;
    };

    // Colours are 0x00BBGGRR values; a system colour reference stores that colour's value now.
    qint32 Color1() const { return m_color1; }
    void setColor1(qint32 color);
    qint32 Color2() const { return m_color2; }
    void setColor2(qint32 color);
    // Degrees counter-clockwise on screen: 0 sweeps from the left (Color1) to the right, 90
    // from the bottom up. Stored reduced to [0, 360).
    float Angle() const { return m_angle; }
    void setAngle(float degrees);

    // Paints over the whole picture; false when it is too small to hold a line.
    bool Draw(QImage& picture) const;

    // lSteps colours (at least 2) from the first to the second, the ends exactly as given.
    static int BlendColors(qint32 lColor1, qint32 lColor2, int lSteps, QList<qint32>& laRetColors);
    // Turns point about centre by angle degrees, counter-clockwise on screen.
    static void RotatePoint(PointF centre, PointF& point, float angle);
    // The sweep over a width x height area; returns the loop index after the last line.
    int DrawGradientLines(QPainter& painter, int width, int height) const;

private:
    qint32 m_color1 = 0xFFFFD0;
    qint32 m_color2 = 0x400000;
    float m_angle = 315;
};
