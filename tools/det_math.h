// Trigonometry from + - * / only, so that the image generator writes the
// same bytes on every machine (library sin/cos may differ in the last bit).
#pragma once

namespace detmath {

constexpr double Pi = 3.14159265358979323846;

// sin x for any x, by reduction to [-pi, pi] and a fixed Taylor sum.
inline double Sin(double x) {
    const double twoPi = 2.0 * Pi;
    while (x > Pi) x -= twoPi;
    while (x < -Pi) x += twoPi;
    double term = x;
    double sum = x;
    const double x2 = x * x;
    for (int n = 1; n <= 14; ++n) {
        term = -term * x2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

inline double Cos(double x) { return Sin(x + Pi / 2.0); }

inline double Radians(double degrees) { return degrees * Pi / 180.0; }

}  // namespace detmath
