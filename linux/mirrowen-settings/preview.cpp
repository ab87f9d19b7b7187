#include "linux/mirrowen-settings/preview.h"

#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "linux/egl_config.h"
#include "render/texture_set.h"
#include "render/viewport.h"
#include "render/viewport_frame.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"

namespace {

bool ClearTarget(int, void*) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void ShowPixels(SettingsPreview& preview) {
    if (preview.Picture == nullptr) return;
    // GL gives the bottom row first; the texture wants the top row first.
    const std::size_t stride = static_cast<std::size_t>(preview.Width) * 4;
    guchar* rows = static_cast<guchar*>(g_malloc(stride * static_cast<std::size_t>(preview.Height)));
    for (int y = 0; y < preview.Height; ++y)
        std::memcpy(rows + stride * static_cast<std::size_t>(y),
                    preview.Pixels.data() + stride * static_cast<std::size_t>(preview.Height - 1 - y), stride);
    GBytes* bytes = g_bytes_new_take(rows, stride * static_cast<std::size_t>(preview.Height));
    GdkTexture* texture =
        gdk_memory_texture_new(preview.Width, preview.Height, GDK_MEMORY_R8G8B8A8, bytes, stride);
    g_bytes_unref(bytes);
    gtk_picture_set_paintable(preview.Picture, GDK_PAINTABLE(texture));
    g_object_unref(texture);
}

gboolean Tick(GtkWidget*, GdkFrameClock* clock, gpointer data) {
    SettingsPreview& preview = *static_cast<SettingsPreview*>(data);
    // The frame clock's ticks jitter around the display's refresh: a tick a
    // little early still takes its frame, so 60 frames a second on a 60 Hz
    // display is every tick, not every other one. Behind by more than a
    // frame, the field does not catch up.
    constexpr std::int64_t Slack = 4000;
    const std::int64_t now = gdk_frame_clock_get_frame_time(clock);
    if (preview.Frames > 0 && now + Slack < preview.NextFrameTime) return G_SOURCE_CONTINUE;
    preview.NextFrameTime =
        preview.NextFrameTime + preview.FrameDelay >= now ? preview.NextFrameTime + preview.FrameDelay
                                                          : now + preview.FrameDelay;
    DrawPreviewFrame(preview);
    // G_MESSAGES_DEBUG=mirrowen-settings shows how soon the first frame came
    // and the rate since.
    const std::int64_t elapsed = g_get_monotonic_time() - preview.StartTime;
    if (preview.Frames == 1)
        g_debug("first preview frame %.0f ms after start", elapsed / 1000.0);
    else if (preview.Frames % 300 == 0)
        g_debug("%lld preview frames, %.1f a second", static_cast<long long>(preview.Frames),
                preview.Frames * 1e6 / static_cast<double>(elapsed));
    return G_SOURCE_CONTINUE;
}

}  // namespace

namespace {

// The display, context and pbuffer, without the images.
bool OpenOffscreenContext(SettingsPreview& preview, int width, int height, std::string* error) {
    // A display of its own, apart from whatever GTK draws with: Mesa's
    // surfaceless platform needs no window system.
    preview.Display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (preview.Display == EGL_NO_DISPLAY || !eglInitialize(preview.Display, nullptr, nullptr)) {
        preview.Display = EGL_NO_DISPLAY;
        *error = "EGL offers no offscreen display";
        return false;
    }
    EGLConfig config = nullptr;
    if (!eglBindAPI(EGL_OPENGL_API) || !ChooseExactRgba8Config(preview.Display, EGL_PBUFFER_BIT, &config)) {
        *error = "EGL offers no offscreen desktop OpenGL config";
        return false;
    }
    preview.Context = eglCreateContext(preview.Display, config, EGL_NO_CONTEXT, nullptr);
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    preview.Surface = eglCreatePbufferSurface(preview.Display, config, size);
    if (preview.Context == EGL_NO_CONTEXT || preview.Surface == EGL_NO_SURFACE) {
        *error = "EGL could not make an offscreen OpenGL context";
        return false;
    }
    preview.Width = width;
    preview.Height = height;
    return true;
}

}  // namespace

bool OpenPreview(SettingsPreview& preview, int width, int height, std::string* error) {
    if (!OpenOffscreenContext(preview, width, height, error)) return false;
    if (!MakePreviewCurrent(preview)) {
        *error = "EGL could not make the offscreen context current";
        return false;
    }
    const bool loaded = InitGlState() != 0;
    ReleasePreview(preview);
    if (!loaded) *error = "could not load the images into textures";
    return loaded;
}

bool PreviewGlIsSoftware() {
    SettingsPreview probe;
    std::string error;
    bool software = false;
    if (OpenOffscreenContext(probe, 16, 16, &error) &&
        eglMakeCurrent(probe.Display, probe.Surface, probe.Surface, probe.Context) == EGL_TRUE) {
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        software = renderer != nullptr && (std::strstr(renderer, "llvmpipe") != nullptr ||
                                           std::strstr(renderer, "softpipe") != nullptr);
        eglMakeCurrent(probe.Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    ClosePreview(probe);
    return software;
}

void ChooseGtkRenderer() {
    if (std::getenv("GSK_RENDERER") == nullptr && PreviewGlIsSoftware()) setenv("GSK_RENDERER", "cairo", 1);
}

void ClosePreview(SettingsPreview& preview) {
    StopPreviewTicks(preview);
    // The textures die with the context; their images are let go here.
    for (TgaTexture& texture : TextureSet) {
        std::free(texture.Pixels);
        texture = TgaTexture{};
    }
    if (preview.Display != EGL_NO_DISPLAY) {
        eglMakeCurrent(preview.Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (preview.Surface != EGL_NO_SURFACE) eglDestroySurface(preview.Display, preview.Surface);
        if (preview.Context != EGL_NO_CONTEXT) eglDestroyContext(preview.Display, preview.Context);
        eglTerminate(preview.Display);
    }
    preview.Display = EGL_NO_DISPLAY;
    preview.Context = EGL_NO_CONTEXT;
    preview.Surface = EGL_NO_SURFACE;
}

bool MakePreviewCurrent(SettingsPreview& preview) {
    // A thread holds one current context at a time: GTK makes its own
    // current again before it next draws.
    gdk_gl_context_clear_current();
    return eglMakeCurrent(preview.Display, preview.Surface, preview.Surface, preview.Context) == EGL_TRUE;
}

void ReleasePreview(SettingsPreview& preview) {
    eglMakeCurrent(preview.Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void RestartPreviewField() {
    ResetOrigins(Settings->ScrWidth, Settings->ScrHeight);
    SeedStars(*Settings);
}

bool ReloadPreviewShape(SettingsPreview& preview) {
    if (!MakePreviewCurrent(preview)) return false;
    TgaTexture& shape = TextureSet[ShapeIndex];
    glDeleteTextures(1, &shape.TextureName);
    std::free(shape.Pixels);
    shape = TgaTexture{};
    const bool loaded = LoadTgaTexture(shape, ShapeResourceId(Settings->Shape));
    ReleasePreview(preview);
    return loaded;
}

bool DrawPreviewFrame(SettingsPreview& preview) {
    if (!MakePreviewCurrent(preview)) {
        preview.Error = "EGL could not make the offscreen context current";
        return false;
    }
    const ViewportRect whole{0, 0, preview.Width, preview.Height};
    DrawFrameInViewports(&whole, 1, ClearTarget, nullptr, nullptr);
    preview.Pixels.resize(static_cast<std::size_t>(preview.Width) * preview.Height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, preview.Width, preview.Height, GL_RGBA, GL_UNSIGNED_BYTE, preview.Pixels.data());
    ReleasePreview(preview);
    ++preview.Frames;
    ShowPixels(preview);
    return true;
}

void StartPreviewTicks(SettingsPreview& preview) {
    if (preview.TickId == 0 && preview.Picture != nullptr)
        preview.TickId = gtk_widget_add_tick_callback(GTK_WIDGET(preview.Picture), Tick, &preview, nullptr);
}

void StopPreviewTicks(SettingsPreview& preview) {
    if (preview.TickId != 0 && preview.Picture != nullptr)
        gtk_widget_remove_tick_callback(GTK_WIDGET(preview.Picture), preview.TickId);
    preview.TickId = 0;
}
