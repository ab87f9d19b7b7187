#include "render/draw_shader.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "render/gl_api.h"
#include "render/quad_batch.h"
#include "render/texture_set.h"

namespace {

// The drawing space's 640 x 480 units over the whole viewport, y upward: the
// orthographic projection of the fixed-function frame.
const char* const VertexSource = MIRROWEN_GLSL_HEADER
    "in vec2 Position;\n"
    "in vec2 TexCoord;\n"
    "in vec3 Tint;\n"
    "out vec2 ImageCoord;\n"
    "out vec3 QuadTint;\n"
    "void main() {\n"
    "    ImageCoord = TexCoord;\n"
    "    QuadTint = Tint;\n"
    "    gl_Position = vec4(Position.x / 320.0 - 1.0, Position.y / 240.0 - 1.0, 0.0, 1.0);\n"
    "}\n";

// The modulating texture environment: texel times tint, alpha the texel's.
const char* const FragmentSource = MIRROWEN_GLSL_HEADER
    "uniform sampler2D Image;\n"
    "in vec2 ImageCoord;\n"
    "in vec3 QuadTint;\n"
    "out vec4 Colour;\n"
    "void main() {\n"
    "    Colour = texture(Image, ImageCoord) * vec4(QuadTint, 1.0);\n"
    "}\n";

enum Attribute : GLuint { PositionAttribute = 0, TexCoordAttribute = 1, TintAttribute = 2 };

constexpr int MaxQuads = MaxQuadVertices / 4;
// Two triangles a quad; vertex numbers fit 16 bits.
static_assert(MaxQuadVertices <= 65536, "quad vertices must fit 16-bit indices");
constexpr int IndicesPerQuad = 6;
std::uint16_t Indices[MaxQuads * IndicesPerQuad];

GLuint Program = 0;
GLuint VertexArray = 0;
GLuint VertexBuffer = 0;
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
    Problem = std::string("the ") + what + " shader does not compile: " + log;
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
    glBindAttribLocation(Program, TexCoordAttribute, "TexCoord");
    glBindAttribLocation(Program, TintAttribute, "Tint");
    glLinkProgram(Program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(Program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[512] = "";
        glGetProgramInfoLog(Program, sizeof log, nullptr, log);
        Problem = std::string("the shader program does not link: ") + log;
        glDeleteProgram(Program);
        Program = 0;
        return false;
    }
    glUseProgram(Program);
    glUniform1i(glGetUniformLocation(Program, "Image"), 0);
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
    glEnableVertexAttribArray(TexCoordAttribute);
    glVertexAttribPointer(TexCoordAttribute, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(QuadVertex, S)));
    glEnableVertexAttribArray(TintAttribute);
    glVertexAttribPointer(TintAttribute, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(QuadVertex, R)));
    glBindVertexArray(0);
    // Client-side arrays (the batched back end) need no buffer bound.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// The vertices [first, first + count) into the same place of the buffer.
void Upload(int first, int count) {
    if (count <= 0) return;
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(first) * sizeof(QuadVertex),
                    static_cast<GLsizeiptr>(count) * sizeof(QuadVertex), &FrameQuads.Vertices[first]);
}

void DrawQuads(int firstVertex, int vertexCount) {
    const std::uintptr_t offset = static_cast<std::uintptr_t>(firstVertex / 4) * IndicesPerQuad * sizeof(std::uint16_t);
    glDrawElements(GL_TRIANGLES, vertexCount / 4 * IndicesPerQuad, GL_UNSIGNED_SHORT,
                   reinterpret_cast<const void*>(offset));
}

}  // namespace

bool StartShaderDrawing() {
    // A new context: the names of an earlier one mean nothing here.
    Program = VertexArray = VertexBuffer = IndexBuffer = 0;
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
    glBindVertexArray(VertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, VertexBuffer);
    // A fresh store each frame, so that the last frame's draws need not finish first.
    glBufferData(GL_ARRAY_BUFFER, sizeof b.Vertices, nullptr, GL_STREAM_DRAW);
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
