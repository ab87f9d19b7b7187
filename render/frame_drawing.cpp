#include "render/frame_drawing.h"

#include <GL/gl.h>

#include "render/frame_renderer.h"
#include "render/scene_back_ends.h"
#include "settings/saver_settings.h"
#include "sim/corona.h"
#include "sim/origins.h"
#include "sim/star_update.h"

namespace {
FrameRenderer Selected = FrameRenderer::Batched;
}

void SelectFrameRenderer(FrameRenderer renderer) { Selected = renderer; }

FrameRenderer SelectedFrameRenderer() { return Selected; }

void StartFrameRenderer() { StartBatchedDrawing(); }

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
    if (Selected == FrameRenderer::Immediate)
        DrawQuadsImmediate(*Settings);
    else
        DrawQuadsBatched(*Settings);
    EndSceneState();
}

void StepSimulation() {
    MoveOrigins(Settings->OriginSpeed);
    UpdateStars(*Settings);
    StepCoronaAngle();
}

int RenderFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScene();
    StepSimulation();
    return 1;
}
