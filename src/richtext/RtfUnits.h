#pragma once

#include <QtGlobal>

namespace RichText {

// RTF measures paragraph geometry in twips; QTextBlockFormat keeps it in points.
// Every conversion goes through these two so a value read and written comes back unchanged.
constexpr int kTwipsPerPoint = 20;

constexpr qreal twipsToPoints(int twips)
{
    return qreal(twips) / kTwipsPerPoint;
}

inline int pointsToTwips(qreal points)
{
    return qRound(points * kTwipsPerPoint);
}

} // namespace RichText
