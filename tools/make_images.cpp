// Draws the saver's fourteen images (ids 110..123) and writes them as
// <id>.tga into the directory given on the command line. The output depends
// on nothing but this code, so the committed images can be checked against a
// fresh run byte for byte.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/det_math.h"
#include "tools/image_drawing.h"
#include "tools/tga_write.h"

namespace {

using detmath::Cos;
using detmath::Radians;
using detmath::Sin;

constexpr int Samples = 8;  // 8 x 8 points per pixel for anti-aliased edges

std::vector<std::uint8_t> GreyToRgb(const GreyImage& image) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(image.Level.size() * 3);
    for (double level : image.Level) {
        double v = std::floor(level + 0.5);
        if (v < 0.0) v = 0.0;
        if (v > 255.0) v = 255.0;
        const auto byte = static_cast<std::uint8_t>(v);
        rgb.push_back(byte);
        rgb.push_back(byte);
        rgb.push_back(byte);
    }
    return rgb;
}

GreyImage Blank(int size) { return GreyImage(size, size); }

bool KeepAll(int, int) { return true; }

GreyImage Radial(int size, const std::vector<ProfilePoint>& profile) {
    GreyImage ones(size, size);
    for (double& v : ones.Level) v = 1.0;
    return FitProfile(ones, profile, KeepAll);
}

// 110: a pixel-drawn four-pointed sparkle, no anti-aliasing.
GreyImage ClassicStar() {
    GreyImage image = Blank(32);
    const int c = 15;
    auto set = [&](int dx, int dy, double level) { image.At(c + dx, c + dy) = level; };
    // Diamond core of full white, seven pixels across, with a 192 rim.
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            const int k = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy);
            if (k <= 3) set(dx, dy, 255);
            else if (k == 4) set(dx, dy, 192);
        }
    }
    // Rays along the axes, stopping one pixel short of the edges, brighter
    // near the core; a few pixels towards the tips left out.
    struct Arm {
        int Dx, Dy, Reach, Gap1, Gap2;
    };
    const Arm arms[4] = {{-1, 0, 14, 12, 0}, {1, 0, 15, 13, 0}, {0, -1, 14, 0, 0}, {0, 1, 15, 12, 0}};
    for (const Arm& arm : arms) {
        for (int d = 5; d <= arm.Reach; ++d) {
            if (d == arm.Gap1 || d == arm.Gap2) continue;
            set(arm.Dx * d, arm.Dy * d, d <= 8 ? 192 : 128);
        }
    }
    // Short diagonal glints.
    for (int sx = -1; sx <= 1; sx += 2) {
        for (int sy = -1; sy <= 1; sy += 2) {
            for (int d = 3; d <= 7; ++d) set(sx * d, sy * d, d == 3 ? 192 : 128);
        }
    }
    return image;
}

// 111: a radiant burst of some twenty thin rays around a small white core.
GreyImage ShiningStar() {
    const double c = 64.0;
    struct Ray {
        double Degrees, Length;
    };
    // Unequal lengths; the diagonal ones reach furthest, those along the
    // axes end at the edges of the lit area.
    const Ray rays[20] = {{0, 57},   {17, 38},  {37, 50},  {52, 44},  {71, 30},  {90, 54},  {108, 36},
                          {126, 61}, {145, 42}, {162, 33}, {180, 53}, {199, 40}, {217, 47}, {233, 60},
                          {252, 34}, {270, 55}, {289, 43}, {307, 58}, {325, 37}, {343, 46}};
    double dirX[20], dirY[20];
    for (int i = 0; i < 20; ++i) {
        dirX[i] = Cos(Radians(rays[i].Degrees));
        dirY[i] = Sin(Radians(rays[i].Degrees));
    }
    const GreyImage raw = Supersample(128, 128, 4, [&](Vec2 p) {
        const double x = p.X - c, y = p.Y - c;
        const double d = std::sqrt(x * x + y * y);
        const double s = (d - 4.0) / 7.0;
        double v = d <= 4.0 ? 1.0 : 1.0 / (1.0 + s * s);
        // The glow fades out inside the lit area, so that the area's edges
        // never show as a faint square: beyond it only the rays reach.
        const double fade = std::min(1.0, std::max(0.0, (50.0 - d) / 12.0));
        v *= fade * fade * (3.0 - 2.0 * fade);
        for (int i = 0; i < 20; ++i) {
            const double along = x * dirX[i] + y * dirY[i];
            if (along <= 0.0 || along >= rays[i].Length) continue;
            const double across = std::fabs(-x * dirY[i] + y * dirX[i]);
            const double left = 1.0 - along / rays[i].Length;
            const double halfWidth = 0.7 + 1.3 * left;
            if (across < halfWidth) v += (1.0 - across / halfWidth) * (0.35 + 0.65 * left);
        }
        return v > 1.0 ? 1.0 : v;
    });
    const std::vector<ProfilePoint> profile = {{0, 255},  {4, 255},  {8, 245},  {12, 196}, {16, 149}, {20, 117},
                                               {24, 91},  {32, 49},  {40, 25},  {48, 12},  {56, 4},   {60, 0}};
    // The lit area: columns 13..118 and rows 13..116 from the top, that is
    // stored rows 11..114.
    return FitProfile(raw, profile, [](int x, int y) { return x >= 13 && x <= 118 && y >= 11 && y <= 114; });
}

// 115: a five-pointed star, one point up, bevelled.
GreyImage FivePointStar() {
    const Vec2 c{32.0, 28.9};
    const double outer = 33.4;
    const double inner = outer * 0.381966;  // a regular star's inner radius
    std::vector<Vec2> polygon;
    Vec2 tipDir[5];
    for (int k = 0; k < 5; ++k) {
        const double tip = Radians(90.0 + 72.0 * k);
        const double notch = Radians(90.0 + 72.0 * k + 36.0);
        tipDir[k] = {Cos(tip), Sin(tip)};
        polygon.push_back({c.X + outer * tipDir[k].X, c.Y + outer * tipDir[k].Y});
        polygon.push_back({c.X + inner * Cos(notch), c.Y + inner * Sin(notch)});
    }
    const double darkHalf[5] = {158, 204, 181, 170, 192};
    auto fill = [=](Vec2 p) {
        const double x = p.X - c.X, y = p.Y - c.Y;
        int arm = 0;
        double best = -1e30;
        for (int k = 0; k < 5; ++k) {
            const double along = x * tipDir[k].X + y * tipDir[k].Y;
            if (along > best) {
                best = along;
                arm = k;
            }
        }
        const double side = tipDir[arm].X * y - tipDir[arm].Y * x;  // > 0: counter-clockwise, the arm's left
        if (std::fabs(side) < 0.55) return 120.0;                     // the seam
        return side > 0.0 ? darkHalf[arm] : 246.0;
    };
    return Supersample(64, 64, Samples,
                       OutlinedShape([=](Vec2 p) { return PolygonDistance(p, polygon); }, fill, 1.1, 128.0, false));
}

// 116: about twelve sharp spikes of unequal length around a round core.
GreyImage Starburst() {
    const Vec2 c{32.0, 32.0};
    const double tips[12][2] = {{2, 31.6},   {31, 24.0},  {58, 28.5},  {90, 31.6},  {117, 23.0}, {148, 29.0},
                                {180, 31.6}, {207, 25.5}, {236, 30.0}, {270, 31.6}, {298, 22.5}, {327, 27.5}};
    std::vector<Vec2> polygon;
    for (int i = 0; i < 12; ++i) {
        const double a = Radians(tips[i][0]);
        polygon.push_back({c.X + tips[i][1] * Cos(a), c.Y + tips[i][1] * Sin(a)});
        const double next = i + 1 < 12 ? tips[i + 1][0] : tips[0][0] + 360.0;
        const double valley = Radians((tips[i][0] + next) / 2.0);
        polygon.push_back({c.X + 13.5 * Cos(valley), c.Y + 13.5 * Sin(valley)});
    }
    auto distance = [=](Vec2 p) {
        const double spikes = PolygonDistance(p, polygon);
        const double core = CircleDistance(p, c, 15.0);
        return spikes < core ? spikes : core;
    };
    return Supersample(64, 64, Samples, OutlinedShape(distance, [](Vec2) { return 246.0; }, 1.8, 70.0, true));
}

// 117: five oval petals, one up, around a black centre.
GreyImage Flower() {
    const Vec2 c{32.0, 29.6};
    Vec2 petal[5];
    double cosA[5], sinA[5];
    for (int k = 0; k < 5; ++k) {
        const double a = Radians(90.0 + 72.0 * k);
        cosA[k] = Cos(a);
        sinA[k] = Sin(a);
        petal[k] = {c.X + 19.8 * cosA[k], c.Y + 19.8 * sinA[k]};
    }
    auto distance = [=](Vec2 p) {
        double d = 1e30;
        for (int k = 0; k < 5; ++k) {
            const double e = EllipseDistance(p, petal[k], 12.0, 9.6, cosA[k], sinA[k]);
            if (e < d) d = e;
        }
        const double hole = -CircleDistance(p, c, 8.0);
        return d > hole ? d : hole;
    };
    return Supersample(64, 64, Samples, [=](Vec2 p) { return distance(p) < 0.0 ? 255.0 : 0.0; });
}

// 118: a heart, point down: a square on its corner with two round lobes.
GreyImage Heart() {
    const double s = 36.9;
    const double h = s / std::sqrt(2.0);  // half the diamond's diagonal
    const double bottom = 3.2;
    const Vec2 low{32.0, bottom}, right{32.0 + h, bottom + h}, top{32.0, bottom + 2.0 * h}, left{32.0 - h, bottom + h};
    const std::vector<Vec2> diamond = {low, right, top, left};
    const Vec2 lobeRight{(right.X + top.X) / 2.0, (right.Y + top.Y) / 2.0};
    const Vec2 lobeLeft{(left.X + top.X) / 2.0, (left.Y + top.Y) / 2.0};
    auto distance = [=](Vec2 p) {
        double d = PolygonDistance(p, diamond);
        const double a = CircleDistance(p, lobeRight, s / 2.0);
        const double b = CircleDistance(p, lobeLeft, s / 2.0);
        if (a < d) d = a;
        if (b < d) d = b;
        return d;
    };
    return Supersample(64, 64, Samples, OutlinedShape(distance, [](Vec2) { return 246.0; }, 1.6, 110.0, true));
}

// 119: two beamed notes, stems up, the beams rising to the right.
GreyImage MusicalNote() {
    const double tilt = Radians(25.0);
    const double ct = Cos(tilt), st = Sin(tilt);
    const Vec2 headLeft{9.8, 11.0}, headRight{52.8, 18.0};
    const std::vector<Vec2> stemLeft = {{16.2, 11.0}, {19.4, 11.0}, {19.4, 56.0}, {16.2, 56.0}};
    const std::vector<Vec2> stemRight = {{59.2, 18.0}, {62.4, 18.0}, {62.4, 62.5}, {59.2, 62.5}};
    // Parallelograms between the stems, rising 6.5 units across.
    const std::vector<Vec2> beamTop = {{16.2, 50.0}, {62.4, 56.5}, {62.4, 62.5}, {16.2, 56.0}};
    const std::vector<Vec2> beamLow = {{16.2, 41.0}, {62.4, 47.5}, {62.4, 52.5}, {16.2, 46.0}};
    auto distance = [=](Vec2 p) {
        double d = EllipseDistance(p, headLeft, 9.2, 6.6, ct, st);
        const double parts[5] = {EllipseDistance(p, headRight, 9.2, 6.6, ct, st), PolygonDistance(p, stemLeft),
                                 PolygonDistance(p, stemRight), PolygonDistance(p, beamTop),
                                 PolygonDistance(p, beamLow)};
        for (double e : parts) {
            if (e < d) d = e;
        }
        return d;
    };
    return Supersample(64, 64, Samples, OutlinedShape(distance, [](Vec2) { return 246.0; }, 1.3, 110.0, true));
}

// 120: a thick arrow pointing to +x, full width, stored rows 14..51.
GreyImage Arrow() {
    const std::vector<Vec2> polygon = {{0.0, 24.0},  {36.0, 24.0}, {36.0, 14.0}, {63.8, 33.0},
                                       {36.0, 52.0}, {36.0, 42.0}, {0.0, 42.0}};
    return Supersample(64, 64, Samples,
                       OutlinedShape([=](Vec2 p) { return PolygonDistance(p, polygon); },
                                     [](Vec2) { return 246.0; }, 1.0, 128.0, false));
}

bool Save(const std::string& dir, int id, int size, const std::vector<std::uint8_t>& rgb) {
    const std::string path = dir + "/" + std::to_string(id) + ".tga";
    if (WriteFileBytes(path, EncodeTga24(size, size, rgb))) return true;
    std::fprintf(stderr, "make_images: cannot write %s\n", path.c_str());
    return false;
}

bool SaveGrey(const std::string& dir, int id, const GreyImage& image) {
    return Save(dir, id, image.Width, GreyToRgb(image));
}

// 123: a pale-yellow glow, red and green alike, blue lower.
bool SaveFlareGlow(const std::string& dir) {
    const GreyImage redGreen = Radial(64, {{0, 255},  {14, 255}, {16, 247}, {18, 214}, {20, 181}, {22, 140},
                                           {24, 107}, {26, 74},  {28, 41},  {30, 8},   {31, 0}});
    const GreyImage blue = Radial(64, {{0, 189},  {14, 189}, {16, 181}, {18, 165}, {20, 132}, {22, 107},
                                       {24, 82},  {26, 57},  {28, 33},  {30, 8},   {31, 0}});
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i < redGreen.Level.size(); ++i) {
        const auto rg = static_cast<std::uint8_t>(redGreen.Level[i]);
        rgb.push_back(rg);
        rgb.push_back(rg);
        rgb.push_back(static_cast<std::uint8_t>(blue.Level[i]));
    }
    return Save(dir, 123, 64, rgb);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_images OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = SaveGrey(dir, 110, ClassicStar());
    ok = ok && SaveGrey(dir, 111, ShiningStar());
    ok = ok && SaveGrey(dir, 112, Radial(64, {{0, 255}, {9, 232}, {15, 191}, {20, 141}, {24, 90}, {28, 32},
                                              {30, 4}, {31, 0}}));
    ok = ok && SaveGrey(dir, 113, Radial(64, {{0, 0},   {11, 0},   {12, 16},  {13, 80}, {15, 149}, {17, 193},
                                              {19, 221}, {21, 185}, {23, 123}, {24, 69}, {25, 7},   {26, 0}}));
    ok = ok && SaveGrey(dir, 114, Radial(64, {{0, 104},  {17, 248}, {18, 248}, {19, 234}, {21, 195}, {23, 156},
                                              {25, 116}, {27, 70},  {29, 19},  {31, 0}}));
    ok = ok && SaveGrey(dir, 115, FivePointStar());
    ok = ok && SaveGrey(dir, 116, Starburst());
    ok = ok && SaveGrey(dir, 117, Flower());
    ok = ok && SaveGrey(dir, 118, Heart());
    ok = ok && SaveGrey(dir, 119, MusicalNote());
    ok = ok && SaveGrey(dir, 120, Arrow());
    ok = ok && SaveGrey(dir, 121, Radial(64, {{0, 0},    {17, 0},   {18, 15},  {19, 86},  {20, 157}, {21, 203},
                                              {22, 240}, {23, 254}, {24, 255}, {25, 248}, {26, 215}, {27, 161},
                                              {28, 97},  {29, 33},  {30, 3},   {31, 0}}));
    ok = ok && SaveGrey(dir, 122, Radial(64, {{0, 0},    {2, 0},    {3, 7},    {6, 46},   {8, 75},   {10, 103},
                                              {12, 132}, {14, 155}, {16, 180}, {18, 204}, {20, 227}, {22, 249},
                                              {23, 255}, {24, 255}, {25, 248}, {26, 215}, {27, 161}, {28, 98},
                                              {29, 35},  {30, 5},   {31, 0}}));
    ok = ok && SaveFlareGlow(dir);
    return ok ? 0 : 1;
}
