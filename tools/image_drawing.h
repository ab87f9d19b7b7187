// Drawing tools of the image generator: signed distances of simple shapes,
// anti-aliased filling by supersampling, and radial profiles fitted to the
// mean level they must show at given radii. Plain double arithmetic
// (+ - * / sqrt) only, so the output is the same on every machine.
#pragma once

#include <functional>
#include <vector>

struct Vec2 {
    double X;
    double Y;
};

// Signed distances: negative inside, positive outside.
double CircleDistance(Vec2 p, Vec2 centre, double radius);
double PolygonDistance(Vec2 p, const std::vector<Vec2>& polygon);
// An ellipse with semi-axis a along direction (cosA, sinA) and b across it;
// the distance is approximate away from the edge, exact in sign.
double EllipseDistance(Vec2 p, Vec2 centre, double a, double b, double cosA, double sinA);

// One grey channel, width x height levels, row 0 at the bottom.
struct GreyImage {
    int Width = 0;
    int Height = 0;
    std::vector<double> Level;
    GreyImage(int width, int height) : Width(width), Height(height), Level(static_cast<std::size_t>(width) * height) {}
    double& At(int x, int y) { return Level[static_cast<std::size_t>(y) * Width + x]; }
    double At(int x, int y) const { return Level[static_cast<std::size_t>(y) * Width + x]; }
};

// Each pixel gets the mean of level() over an n x n grid of points inside it
// (pixel x, y covers [x, x+1] x [y, y+1] in drawing units).
GreyImage Supersample(int width, int height, int n, const std::function<double(Vec2)>& level);

// The usual look of a filled shape: fill() deep inside, a band of the
// outline level along the inner side of the edge, black outside.
// A soft outline fades from fill to outlineLevel towards the edge instead.
std::function<double(Vec2)> OutlinedShape(std::function<double(Vec2)> distance, std::function<double(Vec2)> fill,
                                          double outlineWidth, double outlineLevel, bool soft);

// A level wanted at a radius: the mean of the pixels at that distance from
// the image centre (see AnnulusMean).
struct ProfilePoint {
    double Radius;
    double Level;
};

// Mean level of the pixels whose centres lie within half a pixel of radius
// r from the centre of the image (for r = 0: within one pixel).
double AnnulusMean(const GreyImage& image, double r);

// Scales raw (0..1) by a radial gain, piecewise linear between the profile's
// radii and 0 beyond the last one, found so that each radius shows its level
// (within rounding). Points on a plateau (same level as a neighbour) keep
// their level as gain. Pixels where keep() is false are black.
GreyImage FitProfile(const GreyImage& raw, const std::vector<ProfilePoint>& profile,
                     const std::function<bool(int, int)>& keep);
