// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/render/BadgeRotationGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/render/BadgeRenderer.h"

namespace tarn {

namespace {

constexpr double degrees = 180.0 / std::numbers::pi;

double distance(QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()); }

bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

} // namespace

BadgeRotationGeometry::BadgeRotationGeometry(const QRectF &badgeBounds)
    : center_(badgeBounds.center()),
      radius_(std::max(minimumRadius, std::hypot(badgeBounds.width(), badgeBounds.height()) / 2 + 18))
{ }

QRectF BadgeRotationGeometry::ringBounds() const
{
    return {center_.x() - radius_, center_.y() - radius_, 2 * radius_, 2 * radius_};
}

QPointF BadgeRotationGeometry::handleCenter(double rotationDegrees) const
{
    const double theta = (std::fmod(BadgeRenderer::clampedRotation(rotationDegrees), 360.0) + 180.0) / degrees;
    return center_ + radius_ * QPointF(std::cos(theta), std::sin(theta));
}

bool BadgeRotationGeometry::containsHandle(QPointF point, double rotationDegrees) const
{
    return distance(point, handleCenter(rotationDegrees)) <= handleRadius;
}

bool BadgeRotationGeometry::containsRing(QPointF point) const
{
    return std::abs(distance(point, center_) - radius_) <= ringHalfWidth;
}

std::optional<double> BadgeRotationGeometry::rotation(QPointF point, QPointF start, double initialRotation,
                                                      bool snapping) const
{
    if (!finite(point) || distance(point, center_) < deadZone)
        return std::nullopt;
    const double a1 = std::atan2(point.y() - center_.y(), point.x() - center_.x()) * degrees;
    if (!finite(start) || distance(start, center_) < deadZone)
        return std::nullopt;
    const double a0 = std::atan2(start.y() - center_.y(), start.x() - center_.x()) * degrees;

    const double turned = BadgeRenderer::clampedRotation(initialRotation) + a1 - a0;
    const double raw = std::fmod(std::fmod(turned, 360.0) + 360.0, 360.0);
    const double step = snapping ? 15.0 : 1.0;
    const double snapped = step * std::round(raw / step); // halves away from zero
    if (!std::isfinite(snapped))
        return 0.0;
    return std::clamp(snapped, 0.0, 360.0);
}

} // namespace tarn
