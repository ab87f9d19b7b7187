// A frame's quads placed on the CPU, for the back ends that hand GL whole
// arrays (batched and shader): every quad's corners get the same translate,
// rotate and scale, in the same order and in the same single precision, as
// the matrix stack would apply them. No GL here, so every platform and the
// page share it.
#pragma once

#include "settings/saver_settings.h"
#include "sim/star_field.h"

struct QuadVertex {
    float X, Y;     // drawing-space units
    float S, T;     // texture coordinates
    float R, G, B;  // the quad's tint
};

// Two coronas and six flare elements per origin.
constexpr int MaxElementQuads = MaxOrigins * 8;
// Star slot j owns vertices 4j..4j+3, whose texture coordinates never
// change; the coronas and flares follow them, packed in drawing order.
constexpr int ElementBase = MaxStars * 4;
constexpr int MaxQuadVertices = ElementBase + MaxElementQuads * 4;

// A run of consecutive element quads drawn with one texture.
struct QuadRun {
    int Texture;  // index into TextureSet
    int First;    // first vertex
    int Count;    // vertices
};

// Sized for the largest field once and for all: a frame allocates nothing.
struct QuadBatch {
    QuadVertex Vertices[MaxQuadVertices];
    QuadRun Runs[MaxElementQuads];
    int RunCount;
    int ElementQuads;  // at ElementBase, in drawing order
    int Stars;         // star slots placed, at vertex 0
};

extern QuadBatch FrameQuads;

// Fills the star slots' fixed texture coordinates.
void StartQuadBatch();

// Places the current state's quads into FrameQuads: every active origin's
// corona pair and flare chain, then every star slot.
void PlaceFrameQuads(const SaverSettings& s);
