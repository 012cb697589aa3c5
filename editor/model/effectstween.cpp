// Tweens: a run of frames of one channel filled from its two end cells.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "editor/model/effects.h"

namespace {

bool ValidRun(int A, int B) {
    return A >= 0 && B < ScoreFrameCount && A <= B;
}

// Positions are whole pixels: fractions are cut toward zero.
TPoint TruncatedPosition(double X, double Y) {
    return ClampPosition(static_cast<std::int64_t>(std::trunc(X)), static_cast<std::int64_t>(std::trunc(Y)));
}

} // namespace

void LinearTween(int A, int B, TScoreChannel& Channel) {
    if (!ValidRun(A, B) || B - A < 2 || !Channel.CellSet[A] || !Channel.CellSet[B]) return;
    const int d = B - A;
    const TPoint from = Channel.Positions[A];
    const TPoint to = Channel.Positions[B];
    const double qx = (static_cast<double>(to.X) - from.X) / d;
    const double qy = (static_cast<double>(to.Y) - from.Y) / d;
    // The far end is written by the same formula.
    for (int i = 1; i <= d; ++i) {
        Channel.Positions[A + i] = TruncatedPosition(from.X + i * qx, from.Y + i * qy);
        Channel.CellSet[A + i] = true;
    }
}

void RotationTween(int A, int B, TScoreChannel& Channel) {
    if (!ValidRun(A, B)) return;
    const int n = B - A + 1;
    if (n < 2 || !Channel.CellSet[A] || !Channel.CellSet[B]) return;
    const double step = 6.28318 / n;
    const TPoint from = Channel.Positions[A];
    const TPoint to = Channel.Positions[B];
    // 64 bits: the span of two ends fits whatever they are.
    const std::int64_t rx = std::llabs(static_cast<std::int64_t>(to.X) - from.X) / 2;
    const std::int64_t ry = std::llabs(static_cast<std::int64_t>(to.Y) - from.Y) / 2;
    if (rx < 1 || ry < 1) return;
    const double cx = static_cast<double>(std::min(from.X, to.X)) + static_cast<double>(rx);
    const double cy = static_cast<double>(std::min(from.Y, to.Y)) + static_cast<double>(ry);
    // Once round from the bottom centre, rightwards first; an end left of the start runs the
    // same points backwards.
    const bool forwards = to.X >= from.X;
    for (int i = 0; i < n; ++i) {
        const double angle = (forwards ? i : n - 1 - i) * step;
        Channel.Positions[A + i] = TruncatedPosition(cx + static_cast<double>(rx) * std::sin(angle),
                                                     cy + static_cast<double>(ry) * std::cos(angle));
        Channel.CellSet[A + i] = true;
    }
}

void HoldTween(int A, int B, TScoreChannel& Channel) {
    if (!ValidRun(A, B) || B - A < 1 || (!Channel.CellSet[A] && !Channel.CellSet[B])) return;
    const TPoint held = Channel.CellSet[A] ? Channel.Positions[A] : Channel.Positions[B];
    for (int f = A; f <= B; ++f) {
        Channel.Positions[f] = held;
        Channel.CellSet[f] = true;
    }
}
