// The batched back end: the frame's quads placed on the CPU (quad_batch),
// then handed to GL through OpenGL 1.1 vertex arrays: one glDrawArrays per
// run of quads that share a texture.
#include <GL/gl.h>

#include "render/quad_batch.h"
#include "render/scene_back_ends.h"
#include "render/texture_set.h"

void StartBatchedDrawing() { StartQuadBatch(); }

void DrawQuadsBatched(const SaverSettings& s) {
    PlaceFrameQuads(s);
    const QuadBatch& b = FrameQuads;

    // The corners are final: no matrix of GL's own may move them.
    glLoadIdentity();
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &b.Vertices[0].X);
    glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &b.Vertices[0].S);
    glColorPointer(3, GL_FLOAT, sizeof(QuadVertex), &b.Vertices[0].R);
    for (int r = 0; r < b.RunCount; ++r) {
        glBindTexture(GL_TEXTURE_2D, TextureSet[b.Runs[r].Texture].TextureName);
        glDrawArrays(GL_QUADS, b.Runs[r].First, b.Runs[r].Count);
    }
    glBindTexture(GL_TEXTURE_2D, TextureSet[ShapeIndex].TextureName);
    if (b.Stars > 0) glDrawArrays(GL_QUADS, 0, b.Stars * 4);
    glPopClientAttrib();

    // After array drawing GL's current colour and texture coordinate are
    // undefined; leave the last quad's, as drawing quad by quad does.
    const QuadVertex* last = b.Stars > 0          ? &b.Vertices[b.Stars * 4 - 1]
                             : b.ElementQuads > 0 ? &b.Vertices[ElementBase + b.ElementQuads * 4 - 1]
                                                  : nullptr;
    if (last != nullptr) {
        glColor3f(last->R, last->G, last->B);
        glTexCoord2f(last->S, last->T);
    }
}
