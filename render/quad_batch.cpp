#include "render/quad_batch.h"

#include <cmath>

#include "render/scene_elements.h"
#include "sim/corona.h"

QuadBatch FrameQuads;

namespace {

// A quad's corners in units of its half-size, with their texture
// coordinates, in the order each element is drawn.
struct Corner {
    float X, Y, S, T;
};
constexpr Corner Upright[4] = {{-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1}, {-1, 1, 0, 1}};
// The image turned by 180 degrees, same corners.
constexpr Corner Turned[4] = {{-1, -1, 1, 1}, {1, -1, 0, 1}, {1, 1, 0, 0}, {-1, 1, 1, 0}};
// Flare elements start at the top-left corner and go clockwise.
constexpr Corner FlareCorners[4] = {{-1, 1, 0, 1}, {1, 1, 1, 1}, {1, -1, 1, 0}, {-1, -1, 0, 0}};

constexpr double Pi = 3.14159265358979323846;

// The 2 x 2 part of a modelview matrix: x' = A x + B y, y' = C x + D y.
struct Linear {
    float A, B, C, D;
};

// A turn about +z as GL builds it: sine and cosine of the single-precision
// angle in radians.
Linear Rotation(float degrees) {
    const float radians = static_cast<float>(degrees * Pi / 180.0);
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    return Linear{c, -s, s, c};
}

// m followed by n, as glRotatef multiplies the current matrix.
Linear Times(const Linear& m, const Linear& n) {
    return Linear{m.A * n.A + m.B * n.C, m.A * n.B + m.B * n.D, m.C * n.A + m.D * n.C, m.C * n.B + m.D * n.D};
}

// m with its columns scaled by f, as glScalef does.
Linear Scaled(const Linear& m, float f) { return Linear{m.A * f, m.B * f, m.C * f, m.D * f}; }

void Place(QuadVertex* v, const Corner (&corners)[4], float half, const Linear& m, float x, float y, float grey) {
    for (int k = 0; k < 4; ++k) {
        const float cx = corners[k].X * half;
        const float cy = corners[k].Y * half;
        v[k].X = m.A * cx + m.B * cy + x;
        v[k].Y = m.C * cx + m.D * cy + y;
        v[k].S = corners[k].S;
        v[k].T = corners[k].T;
        v[k].R = grey;
        v[k].G = grey;
        v[k].B = grey;
    }
}

void AddQuad(int texture, const Corner (&corners)[4], float half, const Linear& m, float x, float y, float grey) {
    QuadBatch& b = FrameQuads;
    const int first = ElementBase + b.ElementQuads * 4;
    Place(&b.Vertices[first], corners, half, m, x, y, grey);
    ++b.ElementQuads;
    if (b.RunCount > 0 && b.Runs[b.RunCount - 1].Texture == texture)
        b.Runs[b.RunCount - 1].Count += 4;
    else
        b.Runs[b.RunCount++] = QuadRun{texture, first, 4};
}

void AddCorona(const SaverSettings& s, float x, float y) {
    const float size = static_cast<float>(s.StarSize);
    const float grey = CoronaGrey(s);
    const Linear first = Times(Linear{size, 0.0f, 0.0f, size}, Rotation(CoronaAngle));
    AddQuad(CoronaIndex, Upright, QuadHalf, first, x, y, grey);
    const Linear second = Times(first, Rotation(SecondCoronaTurn(CoronaAngle)));
    AddQuad(CoronaIndex, Turned, QuadHalf, second, x, y, grey);
}

void AddFlare(float x, float y) {
    const Linear identity{1.0f, 0.0f, 0.0f, 1.0f};
    for (const FlareElement& e : FlareChain)
        AddQuad(e.Texture, FlareCorners, e.HalfSize, identity, FlarePlace(e.K, x, 320.0), FlarePlace(e.K, y, 240.0),
                e.Grey);
}

void PlaceStar(QuadVertex* v, const SaverSettings& s, const Star& star) {
    const Linear m = Scaled(Rotation(star.Angle), StarScale(s, star));
    const float r = star.Pulse * star.Red;
    const float g = star.Pulse * star.Green;
    const float b = star.Pulse * star.Blue;
    for (int k = 0; k < 4; ++k) {
        const float cx = Upright[k].X * QuadHalf;
        const float cy = Upright[k].Y * QuadHalf;
        v[k].X = m.A * cx + m.B * cy + star.X;
        v[k].Y = m.C * cx + m.D * cy + star.Y;
        v[k].R = r;
        v[k].G = g;
        v[k].B = b;
    }
}

}  // namespace

void StartQuadBatch() {
    for (int j = 0; j < MaxStars; ++j) {
        for (int k = 0; k < 4; ++k) {
            FrameQuads.Vertices[j * 4 + k].S = Upright[k].S;
            FrameQuads.Vertices[j * 4 + k].T = Upright[k].T;
        }
    }
}

void PlaceFrameQuads(const SaverSettings& s) {
    QuadBatch& b = FrameQuads;
    b.RunCount = 0;
    b.ElementQuads = 0;
    for (int i = 0; i < s.Origins && i < MaxOrigins; ++i) {
        const float x = StarField.OriginX[i];
        const float y = StarField.OriginY[i];
        if (s.Corona > 0) AddCorona(s, x, y);
        if (s.LensFlare != 0) AddFlare(x, y);
    }
    int stars = 0;
    for (; stars < s.StarCount && stars < MaxStars; ++stars) PlaceStar(&b.Vertices[stars * 4], s, StarField.Stars[stars]);
    b.Stars = stars;
}
