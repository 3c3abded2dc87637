#include "special/CGradient.h"

#include "dialogs/SystemColors.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kRadiansPerDegree = 0.017453292519943278;

float reducedAngle(float degrees)
{
    return degrees - std::floor(degrees / 360.0F) * 360.0F;
}

// Halves go to the even neighbour, as the classic rounding did.
int roundHalfEven(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

int channel(qint32 color, int shift)
{
    return static_cast<int>((quint32(color) >> shift) & 0xFFU);
}

// Where the sweep starts and which way it moves, one pixel per line.
struct Sweep {
    float xOffset = 0;
    float yOffset = 0;
    int xStep = 0;
    int yStep = 0;
};

// The quarter of the stored angle picks the start edge: steep lines sweep across, flat ones
// up or down.
Sweep sweepFor(float angle, CGradient::PointF p0, CGradient::PointF p1, int width, int height)
{
    const bool steep = std::abs(p0.y - p1.y) >= std::abs(p0.x - p1.x);
    const bool rightwards = angle <= 90 || angle > 270;
    const bool upwards = angle <= 180;
    Sweep sweep;
    if (steep) {
        sweep.xOffset = rightwards ? -std::max(p0.x, p1.x) : float(width) - std::min(p0.x, p1.x);
        sweep.xStep = rightwards ? 1 : -1;
    } else {
        sweep.yOffset = upwards ? float(height) - std::min(p0.y, p1.y) : -std::max(p0.y, p1.y);
        sweep.yStep = upwards ? -1 : 1;
    }
    return sweep;
}

bool beyondFarEdge(QPoint point, const Sweep& sweep, int width, int height)
{
    if (sweep.xStep > 0)
        return point.x() > width;
    if (sweep.xStep < 0)
        return point.x() < 0;
    if (sweep.yStep > 0)
        return point.y() > height;
    return point.y() < 0;
}
} // namespace

void CGradient::setColor1(qint32 color)
{
    m_color1 = SystemColors::resolve(color);
}

void CGradient::setColor2(qint32 color)
{
    m_color2 = SystemColors::resolve(color);
}

void CGradient::setAngle(float degrees)
{
    m_angle = reducedAngle(degrees);
}

bool CGradient::Draw(QImage& picture) const
{
    if (picture.width() <= 1 || picture.height() <= 1)
        return false;
    QPainter painter(&picture);
    return DrawGradientLines(painter, picture.width(), picture.height()) > 0;
}

int CGradient::BlendColors(qint32 lColor1, qint32 lColor2, int lSteps, QList<qint32>& laRetColors)
{
    lSteps = std::max(lSteps, 2);
    laRetColors.resize(lSteps);
    laRetColors[0] = lColor1;
    laRetColors[lSteps - 1] = lColor2;
    // The divisor is the number of colours, so the last step jumps to the second colour.
    double steps[3];
    for (int c = 0; c < 3; ++c)
        steps[c] = double(channel(lColor2, 8 * c) - channel(lColor1, 8 * c)) / lSteps;
    for (int i = 1; i <= lSteps - 2; ++i) {
        qint32 color = 0;
        for (int c = 0; c < 3; ++c)
            color += roundHalfEven(channel(lColor1, 8 * c) + i * steps[c]) << (8 * c);
        laRetColors[i] = color;
    }
    return lSteps;
}

void CGradient::RotatePoint(PointF centre, PointF& point, float angle)
{
    const double r = angle * kRadiansPerDegree;
    const double dx = point.x - centre.x;
    const double dy = point.y - centre.y;
    point.x = float(centre.x + dx * std::cos(r) + dy * std::sin(r));
    point.y = float(centre.y - (dx * std::sin(r) - dy * std::cos(r)));
}

int CGradient::DrawGradientLines(QPainter& painter, int width, int height) const
{
    const PointF centre{std::floor(float(width) / 2), std::floor(float(height) / 2)};
    const float longest = float(height < width ? width : height);
    // A line this long through the centre crosses the whole area at any angle.
    const float half = (std::sqrt(longest * longest + longest * longest) + 2) / 2;
    PointF p0{centre.x - half, centre.y};
    PointF p1{centre.x + half, centre.y};
    const float turn = reducedAngle(m_angle + 90);
    RotatePoint(centre, p0, turn);
    RotatePoint(centre, p1, turn);

    const Sweep sweep = sweepFor(m_angle, p0, p1, width, height);
    QList<QPoint> points;
    points.reserve(1000);
    points.append(QPoint(roundHalfEven(p0.x + sweep.xOffset), roundHalfEven(p0.y + sweep.yOffset)));
    points.append(QPoint(roundHalfEven(p1.x + sweep.xOffset), roundHalfEven(p1.y + sweep.yOffset)));
    const QPoint step(sweep.xStep, sweep.yStep);
    do {
        points.append(points[points.size() - 2] + step);
    } while (!(beyondFarEdge(points[points.size() - 1], sweep, width, height) &&
               beyondFarEdge(points[points.size() - 2], sweep, width, height)));

    const auto n = int(points.size());
    QList<qint32> colors;
    BlendColors(m_color1, m_color2, roundHalfEven(n / 2.0), colors);
    // The line on the start edge (points 0 and 1) and colour 0 stay unused.
    int i = 2;
    for (; i <= n - 2; i += 2) {
        painter.setPen(QPen(SystemColors::toQColor(quint32(colors[i / 2])), 1));
        painter.drawLine(points[i], points[i + 1]);
    }
    return i;
}
