#include "render/frame_drawing.h"

#include <GL/gl.h>

#include "render/frame_renderer.h"
#include "render/scene_back_ends.h"
#include "settings/saver_settings.h"
#ifdef MIRROWEN_SHADER_RENDERER
#include "render/draw_shader.h"
#endif

namespace {
FrameRenderer Selected = FrameRenderer::Batched;
}

void SelectFrameRenderer(FrameRenderer renderer) { Selected = renderer; }

FrameRenderer SelectedFrameRenderer() { return Selected; }

bool StartFrameRenderer() {
    StartBatchedDrawing();
    if (Selected != FrameRenderer::Shader) return true;
#ifdef MIRROWEN_SHADER_RENDERER
    return StartShaderDrawing();
#else
    return false;
#endif
}

const char* FrameRendererProblem() {
#ifdef MIRROWEN_SHADER_RENDERER
    if (Selected == FrameRenderer::Shader) return ShaderDrawingProblem();
#else
    if (Selected == FrameRenderer::Shader) return "this build has no shader renderer";
#endif
    return "";
}

void BeginSceneState() {
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void EndSceneState() {
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
}

void DrawScene() {
    BeginSceneState();
    switch (Selected) {
    case FrameRenderer::Immediate:
        DrawQuadsImmediate(*Settings);
        break;
    case FrameRenderer::Shader:
#ifdef MIRROWEN_SHADER_RENDERER
        DrawQuadsShader(*Settings);
#endif
        break;
    case FrameRenderer::Batched:
        DrawQuadsBatched(*Settings);
        break;
    }
    EndSceneState();
}

int RenderFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScene();
    StepSimulation();
    return 1;
}
