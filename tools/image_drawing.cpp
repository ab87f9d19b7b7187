#include "tools/image_drawing.h"

#include <cmath>

namespace {

double SegmentDistance(Vec2 p, Vec2 a, Vec2 b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double px = p.X - a.X, py = p.Y - a.Y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0 ? (px * dx + py * dy) / lengthSquared : 0.0;
    if (t < 0.0) t = 0.0;
    if (t > 1.0) t = 1.0;
    const double ex = px - t * dx, ey = py - t * dy;
    return std::sqrt(ex * ex + ey * ey);
}

double Clamp(double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); }

double Gain(const std::vector<ProfilePoint>& knots, double r) {
    if (r <= knots.front().Radius) return knots.front().Level;
    for (std::size_t i = 1; i < knots.size(); ++i) {
        if (r <= knots[i].Radius) {
            const double t = (r - knots[i - 1].Radius) / (knots[i].Radius - knots[i - 1].Radius);
            return knots[i - 1].Level + t * (knots[i].Level - knots[i - 1].Level);
        }
    }
    return 0.0;
}

double CentreDistance(const GreyImage& image, int x, int y) {
    const double dx = x + 0.5 - image.Width / 2.0;
    const double dy = y + 0.5 - image.Height / 2.0;
    return std::sqrt(dx * dx + dy * dy);
}

GreyImage ApplyGain(const GreyImage& raw, const std::vector<ProfilePoint>& gain,
                    const std::function<bool(int, int)>& keep) {
    GreyImage out(raw.Width, raw.Height);
    for (int y = 0; y < raw.Height; ++y) {
        for (int x = 0; x < raw.Width; ++x) {
            const double v = keep(x, y) ? raw.At(x, y) * Gain(gain, CentreDistance(raw, x, y)) : 0.0;
            // Levels are stored rounded, so fit what will be stored.
            out.At(x, y) = std::floor(Clamp(v, 0.0, 255.0) + 0.5);
        }
    }
    return out;
}

}  // namespace

double CircleDistance(Vec2 p, Vec2 centre, double radius) {
    const double dx = p.X - centre.X, dy = p.Y - centre.Y;
    return std::sqrt(dx * dx + dy * dy) - radius;
}

double PolygonDistance(Vec2 p, const std::vector<Vec2>& polygon) {
    double nearest = 1e30;
    bool inside = false;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Vec2 a = polygon[i], b = polygon[j];
        const double d = SegmentDistance(p, a, b);
        if (d < nearest) nearest = d;
        if ((a.Y > p.Y) != (b.Y > p.Y)) {
            const double crossX = a.X + (p.Y - a.Y) * (b.X - a.X) / (b.Y - a.Y);
            if (p.X < crossX) inside = !inside;
        }
    }
    return inside ? -nearest : nearest;
}

double EllipseDistance(Vec2 p, Vec2 centre, double a, double b, double cosA, double sinA) {
    const double dx = p.X - centre.X, dy = p.Y - centre.Y;
    const double u = dx * cosA + dy * sinA;
    const double v = -dx * sinA + dy * cosA;
    const double k0 = std::sqrt((u / a) * (u / a) + (v / b) * (v / b));
    const double k1 = std::sqrt((u / (a * a)) * (u / (a * a)) + (v / (b * b)) * (v / (b * b)));
    if (k1 == 0.0) return -(a < b ? a : b);
    return k0 * (k0 - 1.0) / k1;
}

GreyImage Supersample(int width, int height, int n, const std::function<double(Vec2)>& level) {
    GreyImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum = 0.0;
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    sum += level({x + (i + 0.5) / n, y + (j + 0.5) / n});
                }
            }
            image.At(x, y) = sum / (n * n);
        }
    }
    return image;
}

std::function<double(Vec2)> OutlinedShape(std::function<double(Vec2)> distance, std::function<double(Vec2)> fill,
                                          double outlineWidth, double outlineLevel, bool soft) {
    return [=](Vec2 p) {
        const double d = distance(p);
        if (d >= 0.0) return 0.0;
        if (d <= -outlineWidth) return fill(p);
        if (!soft) return outlineLevel;
        const double t = -d / outlineWidth;  // 0 at the edge, 1 inside
        return outlineLevel + t * (fill(p) - outlineLevel);
    };
}

double AnnulusMean(const GreyImage& image, double r) {
    double sum = 0.0;
    int count = 0;
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            const double d = CentreDistance(image, x, y);
            const bool in = r == 0.0 ? d < 1.0 : (d >= r - 0.5 && d < r + 0.5);
            if (in) {
                sum += image.At(x, y);
                ++count;
            }
        }
    }
    return count ? sum / count : 0.0;
}

GreyImage FitProfile(const GreyImage& raw, const std::vector<ProfilePoint>& profile,
                     const std::function<bool(int, int)>& keep) {
    std::vector<ProfilePoint> gain = profile;
    std::vector<bool> fixed(profile.size(), false);
    for (std::size_t i = 0; i < profile.size(); ++i) {
        const bool samePrev = i > 0 && profile[i - 1].Level == profile[i].Level;
        const bool sameNext = i + 1 < profile.size() && profile[i + 1].Level == profile[i].Level;
        fixed[i] = samePrev || sameNext || profile[i].Level == 0.0;
    }
    for (int round = 0; round < 60; ++round) {
        const GreyImage trial = ApplyGain(raw, gain, keep);
        for (std::size_t i = 0; i < gain.size(); ++i) {
            if (fixed[i]) continue;
            const double measured = AnnulusMean(trial, profile[i].Radius);
            // Half steps: neighbouring radii share pixels, so full steps overshoot.
            const double ratio = measured > 0.0 ? profile[i].Level / measured : 2.0;
            gain[i].Level = Clamp(gain[i].Level * (1.0 + 0.5 * (ratio - 1.0)), 0.0, 4000.0);
        }
    }
    return ApplyGain(raw, gain, keep);
}
