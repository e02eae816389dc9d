// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QPointF>
#include <QRectF>

namespace tarn {

// The rotation ring round a selected badge: where the ring and its handle are, hit tests,
// and the rotation a drag produces (with a dead zone near the centre and optional 15-degree
// snapping). Lengths are in the caller's y-down coordinates; angles turn clockwise on screen.
class BadgeRotationGeometry {
public:
    explicit BadgeRotationGeometry(const QRectF &badgeBounds);

    QPointF center() const { return center_; }
    double radius() const { return radius_; }
    QRectF ringBounds() const;

    QPointF handleCenter(double rotationDegrees) const;
    bool containsHandle(QPointF point, double rotationDegrees) const;
    bool containsRing(QPointF point) const;
    // The new rotation for a drag from `start` to `point`, or nothing when either point lies in
    // the dead zone or is not finite.
    std::optional<double> rotation(QPointF point, QPointF start, double initialRotation, bool snapping) const;

    static constexpr double minimumRadius = 48;
    static constexpr double handleRadius = 13;
    static constexpr double ringHalfWidth = 7;
    static constexpr double deadZone = 8;

private:
    QPointF center_;
    double radius_;
};

} // namespace tarn
