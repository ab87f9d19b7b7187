// The floor both frame benchmarks measure the back ends against: the same
// number of textured quads as a frame of the current settings, at the
// current state's places and sizes, placed once and then drawn each frame
// by one glDrawArrays under the scene's projection and blending, with no
// other work. Needs a current context with the textures loaded (on Windows,
// <windows.h> included before this header).
#pragma once

#include <GL/gl.h>

#include "render/frame_drawing.h"
#include "render/scene_elements.h"
#include "sim/star_field.h"

namespace floorbench {

struct Vertex {
    float X, Y, S, T, R, G, B;
};

// Every star slot, and two coronas and six flare elements per origin.
constexpr int MaxQuads = MaxStars + MaxOrigins * 8;
inline Vertex Vertices[MaxQuads * 4];
inline int Quads = 0;

inline void AddQuad(float x, float y, float half, float r, float g, float b) {
    const float corners[4][4] = {{-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1}, {-1, 1, 0, 1}};
    for (int k = 0; k < 4; ++k)
        Vertices[Quads * 4 + k] = {x + corners[k][0] * half, y + corners[k][1] * half, corners[k][2], corners[k][3],
                                   r, g, b};
    ++Quads;
}

// Places as many quads as a frame of `s` draws, where that frame draws them,
// and sets up the scene's state for drawing them.
inline void Start(const SaverSettings& s) {
    Quads = 0;
    for (int i = 0; i < s.Origins && i < MaxOrigins; ++i) {
        const float x = StarField.OriginX[i];
        const float y = StarField.OriginY[i];
        if (s.Corona > 0) {
            const float grey = CoronaGrey(s);
            AddQuad(x, y, QuadHalf * static_cast<float>(s.StarSize), grey, grey, grey);
            AddQuad(x, y, QuadHalf * static_cast<float>(s.StarSize), grey, grey, grey);
        }
        if (s.LensFlare != 0) {
            for (const FlareElement& e : FlareChain)
                AddQuad(FlarePlace(e.K, x, 320.0), FlarePlace(e.K, y, 240.0), e.HalfSize, e.Grey, e.Grey, e.Grey);
        }
    }
    for (int j = 0; j < s.StarCount && j < MaxStars; ++j) {
        const Star& star = StarField.Stars[j];
        AddQuad(star.X, star.Y, QuadHalf * StarScale(s, star), star.Pulse * star.Red, star.Pulse * star.Green,
                star.Pulse * star.Blue);
    }
    BeginSceneState();
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, TextureSet[ShapeIndex].TextureName);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &Vertices[0].X);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &Vertices[0].S);
    glColorPointer(3, GL_FLOAT, sizeof(Vertex), &Vertices[0].R);
}

// One floor frame, in place of RenderFrame.
inline void Draw() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDrawArrays(GL_QUADS, 0, Quads * 4);
}

inline void End() {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    EndSceneState();
}

}  // namespace floorbench
