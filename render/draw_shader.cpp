#include "render/draw_shader.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "render/gl_api.h"
#include "render/quad_batch.h"
#include "render/texture_set.h"

namespace {

// The drawing space's 640 x 480 units over the whole viewport, y upward: the
// orthographic projection of the fixed-function frame. Each quad also
// carries the affine map from a drawing-space point to its image
// coordinates, the same at its four corners.
const char* const VertexSource = MIRROWEN_GLSL_HEADER
    "in vec2 Position;\n"
    "in vec3 Tint;\n"
    "in vec4 MapOrigin;\n"
    "in vec4 MapLinear;\n"
    "flat out vec3 QuadTint;\n"
    "flat out vec4 QuadOrigin;\n"
    "flat out mat2 QuadLinear;\n"
    "void main() {\n"
    "    QuadTint = Tint;\n"
    "    QuadOrigin = MapOrigin;\n"
    "    QuadLinear = mat2(MapLinear.xy, MapLinear.zw);\n"
    "    gl_Position = vec4(Position.x / 320.0 - 1.0, Position.y / 240.0 - 1.0, 0.0, 1.0);\n"
    "}\n";

// The image coordinates are worked out at each pixel's centre from the
// quad's map rather than interpolated between its corners, so the picture
// does not hang on how finely a rasterizer snaps the corners (SwiftShader
// under WebGL to 1/16 of a pixel, Mesa to 1/256): over small, turned,
// finely drawn images that alone moved texels by several levels. The image
// is then filtered and tinted as the fixed-function frame does it; how
// finely a rasterizer weighs neighbouring texels still differs a little.
const char* const FragmentSource = MIRROWEN_GLSL_HEADER
    "uniform sampler2D Image;\n"
    "uniform vec4 Viewport;\n"  // its lower-left pixel, and units per pixel
    "flat in vec3 QuadTint;\n"
    "flat in vec4 QuadOrigin;\n"
    "flat in mat2 QuadLinear;\n"
    "out vec4 Colour;\n"
    "void main() {\n"
    "    vec2 point = (gl_FragCoord.xy - Viewport.xy) * Viewport.zw;\n"
    "    vec2 coord = QuadOrigin.zw + QuadLinear * (point - QuadOrigin.xy);\n"
    "    Colour = texture(Image, coord) * vec4(QuadTint, 1.0);\n"
    "}\n";

enum Attribute : GLuint { PositionAttribute = 0, TintAttribute = 1, MapOriginAttribute = 2, MapLinearAttribute = 3 };

// A quad's image coordinates at a point p of the drawing space:
// (S, T) + Linear (p - (X, Y)). Repeated at the quad's four vertices.
struct QuadMap {
    float X, Y, S, T;
    float Linear[4];  // columns
};
QuadMap Maps[MaxQuadVertices];

constexpr int MaxQuads = MaxQuadVertices / 4;
// Two triangles a quad; vertex numbers fit 16 bits.
static_assert(MaxQuadVertices <= 65536, "quad vertices must fit 16-bit indices");
constexpr int IndicesPerQuad = 6;
std::uint16_t Indices[MaxQuads * IndicesPerQuad];

GLuint Program = 0;
GLuint VertexArray = 0;
GLuint VertexBuffer = 0;
GLuint MapBuffer = 0;
GLint ViewportLocation = -1;
GLuint IndexBuffer = 0;
std::string Problem;

GLuint CompileShader(GLenum kind, const char* source, const char* what) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) return shader;
    char log[512] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    Problem = std::string("the shader renderer needs OpenGL 3.3 or OpenGL ES 3.0; here its ") + what +
              " shader does not compile: " + log;
    glDeleteShader(shader);
    return 0;
}

bool MakeProgram() {
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, VertexSource, "vertex");
    if (vertex == 0) return false;
    const GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, FragmentSource, "fragment");
    if (fragment == 0) {
        glDeleteShader(vertex);
        return false;
    }
    Program = glCreateProgram();
    glAttachShader(Program, vertex);
    glAttachShader(Program, fragment);
    glBindAttribLocation(Program, PositionAttribute, "Position");
    glBindAttribLocation(Program, TintAttribute, "Tint");
    glBindAttribLocation(Program, MapOriginAttribute, "MapOrigin");
    glBindAttribLocation(Program, MapLinearAttribute, "MapLinear");
    glLinkProgram(Program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(Program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[512] = "";
        glGetProgramInfoLog(Program, sizeof log, nullptr, log);
        Problem = std::string("the shader renderer needs OpenGL 3.3 or OpenGL ES 3.0; here its program does not link: ") +
                  log;
        glDeleteProgram(Program);
        Program = 0;
        return false;
    }
    glUseProgram(Program);
    glUniform1i(glGetUniformLocation(Program, "Image"), 0);
    ViewportLocation = glGetUniformLocation(Program, "Viewport");
    glUseProgram(0);
    return true;
}

void MakeBuffers() {
    for (int q = 0; q < MaxQuads; ++q) {
        // Corners 0 1 2 and 0 2 3: the quad's two halves.
        const int v = q * 4;
        std::uint16_t* i = &Indices[q * IndicesPerQuad];
        i[0] = static_cast<std::uint16_t>(v);
        i[1] = static_cast<std::uint16_t>(v + 1);
        i[2] = static_cast<std::uint16_t>(v + 2);
        i[3] = static_cast<std::uint16_t>(v);
        i[4] = static_cast<std::uint16_t>(v + 2);
        i[5] = static_cast<std::uint16_t>(v + 3);
    }
    glGenVertexArrays(1, &VertexArray);
    glBindVertexArray(VertexArray);
    glGenBuffers(1, &IndexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, IndexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof Indices, Indices, GL_STATIC_DRAW);
    glGenBuffers(1, &VertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, VertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof FrameQuads.Vertices, nullptr, GL_STREAM_DRAW);
    const GLsizei stride = sizeof(QuadVertex);
    glEnableVertexAttribArray(PositionAttribute);
    glVertexAttribPointer(PositionAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(QuadVertex, X)));
    glEnableVertexAttribArray(TintAttribute);
    glVertexAttribPointer(TintAttribute, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(QuadVertex, R)));
    glGenBuffers(1, &MapBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, MapBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof Maps, nullptr, GL_STREAM_DRAW);
    glEnableVertexAttribArray(MapOriginAttribute);
    glVertexAttribPointer(MapOriginAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(QuadMap),
                          reinterpret_cast<const void*>(offsetof(QuadMap, X)));
    glEnableVertexAttribArray(MapLinearAttribute);
    glVertexAttribPointer(MapLinearAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(QuadMap),
                          reinterpret_cast<const void*>(offsetof(QuadMap, Linear)));
    glBindVertexArray(0);
    // Client-side arrays (the batched back end) need no buffer bound.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// The maps of the quads whose vertices are [first, first + count): from
// corners 0, 1 and 3, which span every quad (a parallelogram). A quad with
// no area covers no pixel and gets any map.
void MapQuads(int first, int count) {
    for (int v = first; v < first + count; v += 4) {
        const QuadVertex* q = &FrameQuads.Vertices[v];
        const float ux = q[1].X - q[0].X, uy = q[1].Y - q[0].Y;
        const float vx = q[3].X - q[0].X, vy = q[3].Y - q[0].Y;
        const float det = ux * vy - vx * uy;
        QuadMap m{q[0].X, q[0].Y, q[0].S, q[0].T, {0.0f, 0.0f, 0.0f, 0.0f}};
        if (det != 0.0f) {
            // The point's place along the two edges, (a, b) = E^-1 (p - corner 0) ...
            const float ia = vy / det, ib = -vx / det, ic = -uy / det, id = ux / det;
            // ... then the image coordinates along the same edges.
            const float ds1 = q[1].S - q[0].S, dt1 = q[1].T - q[0].T;
            const float ds3 = q[3].S - q[0].S, dt3 = q[3].T - q[0].T;
            m.Linear[0] = ds1 * ia + ds3 * ic;  // dS/dx
            m.Linear[1] = dt1 * ia + dt3 * ic;  // dT/dx
            m.Linear[2] = ds1 * ib + ds3 * id;  // dS/dy
            m.Linear[3] = dt1 * ib + dt3 * id;  // dT/dy
        }
        for (int k = 0; k < 4; ++k) Maps[v + k] = m;
    }
}

// The vertices and maps [first, first + count) into the same places of their buffers.
void Upload(int first, int count) {
    if (count <= 0) return;
    MapQuads(first, count);
    glBindBuffer(GL_ARRAY_BUFFER, VertexBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first) * sizeof(QuadVertex),
                    static_cast<GLsizeiptr>(count) * sizeof(QuadVertex), &FrameQuads.Vertices[first]);
    glBindBuffer(GL_ARRAY_BUFFER, MapBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first) * sizeof(QuadMap),
                    static_cast<GLsizeiptr>(count) * sizeof(QuadMap), &Maps[first]);
}

void DrawQuads(int firstVertex, int vertexCount) {
    const std::uintptr_t offset = static_cast<std::uintptr_t>(firstVertex / 4) * IndicesPerQuad * sizeof(std::uint16_t);
    glDrawElements(GL_TRIANGLES, vertexCount / 4 * IndicesPerQuad, GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(offset));
}

}  // namespace

bool StartShaderDrawing() {
    // A new context: the names of an earlier one mean nothing here.
    Program = VertexArray = VertexBuffer = MapBuffer = IndexBuffer = 0;
    Problem.clear();
    StartQuadBatch();
    if (!MakeProgram()) return false;
    MakeBuffers();
    return true;
}

const char* ShaderDrawingProblem() { return Problem.c_str(); }

void DrawQuadsShader(const SaverSettings& s) {
    if (Program == 0) return;
    PlaceFrameQuads(s);
    const QuadBatch& b = FrameQuads;

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(Program);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glUniform4f(ViewportLocation, static_cast<GLfloat>(viewport[0]), static_cast<GLfloat>(viewport[1]),
                640.0f / static_cast<GLfloat>(viewport[2]), 480.0f / static_cast<GLfloat>(viewport[3]));
    glBindVertexArray(VertexArray);
    // Fresh stores each frame, so that the last frame's draws need not finish first.
    glBindBuffer(GL_ARRAY_BUFFER, VertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof b.Vertices, nullptr, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, MapBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof Maps, nullptr, GL_STREAM_DRAW);
    Upload(0, b.Stars * 4);
    Upload(ElementBase, b.ElementQuads * 4);
    for (int r = 0; r < b.RunCount; ++r) {
        glBindTexture(GL_TEXTURE_2D, TextureSet[b.Runs[r].Texture].TextureName);
        DrawQuads(b.Runs[r].First, b.Runs[r].Count);
    }
    glBindTexture(GL_TEXTURE_2D, TextureSet[ShapeIndex].TextureName);
    if (b.Stars > 0) DrawQuads(0, b.Stars * 4);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glUseProgram(0);
}
