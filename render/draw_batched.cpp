// The batched back end: every quad's corners are placed on the CPU with the
// same translate, rotate and scale, in the same order and in the same
// single precision as the matrix stack would apply them, then the whole
// frame goes to GL through OpenGL 1.1 vertex arrays: one glDrawArrays per
// run of quads that share a texture. The arrays are sized for the largest
// field once and for all, so a frame allocates nothing.
#include <GL/gl.h>

#include <cmath>

#include "render/scene_back_ends.h"
#include "render/scene_elements.h"
#include "sim/corona.h"

namespace {

struct Vertex {
    float X, Y;     // drawing-space units
    float S, T;     // texture coordinates
    float R, G, B;  // the quad's tint
};

// Two coronas and six flare elements per origin.
constexpr int MaxElementQuads = MaxOrigins * 8;
// Star slot j owns vertices 4j..4j+3, whose texture coordinates never
// change; the coronas and flares follow them, packed in drawing order.
constexpr int ElementBase = MaxStars * 4;
Vertex Vertices[ElementBase + MaxElementQuads * 4];

// A run of consecutive quads drawn with one texture.
struct QuadRun {
    GLuint Texture;
    GLint First;
    GLsizei Count;
};
QuadRun Runs[MaxElementQuads];

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

void Place(Vertex* v, const Corner (&corners)[4], float half, const Linear& m, float x, float y, float grey) {
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

// The scene's coronas and flares as they are appended in drawing order.
struct ElementBatch {
    int Quads;
    int RunCount;
};

void AddQuad(ElementBatch& batch, int texture, const Corner (&corners)[4], float half, const Linear& m, float x,
             float y, float grey) {
    const GLint first = ElementBase + batch.Quads * 4;
    Place(&Vertices[first], corners, half, m, x, y, grey);
    ++batch.Quads;
    const GLuint name = TextureSet[texture].TextureName;
    if (batch.RunCount > 0 && Runs[batch.RunCount - 1].Texture == name)
        Runs[batch.RunCount - 1].Count += 4;
    else
        Runs[batch.RunCount++] = QuadRun{name, first, 4};
}

void AddCorona(ElementBatch& batch, const SaverSettings& s, float x, float y) {
    const float size = static_cast<float>(s.StarSize);
    const float grey = CoronaGrey(s);
    const Linear first = Times(Linear{size, 0.0f, 0.0f, size}, Rotation(CoronaAngle));
    AddQuad(batch, CoronaIndex, Upright, QuadHalf, first, x, y, grey);
    const Linear second = Times(first, Rotation(SecondCoronaTurn(CoronaAngle)));
    AddQuad(batch, CoronaIndex, Turned, QuadHalf, second, x, y, grey);
}

void AddFlare(ElementBatch& batch, float x, float y) {
    const Linear identity{1.0f, 0.0f, 0.0f, 1.0f};
    for (const FlareElement& e : FlareChain)
        AddQuad(batch, e.Texture, FlareCorners, e.HalfSize, identity, FlarePlace(e.K, x, 320.0),
                  FlarePlace(e.K, y, 240.0), e.Grey);
}

void PlaceStar(Vertex* v, const SaverSettings& s, const Star& star) {
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

void StartBatchedDrawing() {
    for (int j = 0; j < MaxStars; ++j) {
        for (int k = 0; k < 4; ++k) {
            Vertices[j * 4 + k].S = Upright[k].S;
            Vertices[j * 4 + k].T = Upright[k].T;
        }
    }
}

void DrawQuadsBatched(const SaverSettings& s) {
    ElementBatch batch{0, 0};
    for (int i = 0; i < s.Origins && i < MaxOrigins; ++i) {
        const float x = StarField.OriginX[i];
        const float y = StarField.OriginY[i];
        if (s.Corona > 0) AddCorona(batch, s, x, y);
        if (s.LensFlare != 0) AddFlare(batch, x, y);
    }
    int stars = 0;
    for (; stars < s.StarCount && stars < MaxStars; ++stars) PlaceStar(&Vertices[stars * 4], s, StarField.Stars[stars]);

    // The corners are final: no matrix of GL's own may move them.
    glLoadIdentity();
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &Vertices[0].X);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &Vertices[0].S);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &Vertices[0].R);
    for (int r = 0; r < batch.RunCount; ++r) {
        glBindTexture(GL_TEXTURE_2D, Runs[r].Texture);
        glDrawArrays(GL_QUADS, Runs[r].First, Runs[r].Count);
    }
    glBindTexture(GL_TEXTURE_2D, TextureSet[ShapeIndex].TextureName);
    if (stars > 0) glDrawArrays(GL_QUADS, 0, stars * 4);
    glPopClientAttrib();

    // After array drawing GL's current colour and texture coordinate are
    // undefined; leave the last quad's, as drawing quad by quad does.
    const Vertex* last = stars > 0 ? &Vertices[stars * 4 - 1]
                                   : batch.Quads > 0 ? &Vertices[ElementBase + batch.Quads * 4 - 1] : nullptr;
    if (last != nullptr) {
        glColor3f(last->R, last->G, last->B);
        glTexCoord2f(last->S, last->T);
    }
}
