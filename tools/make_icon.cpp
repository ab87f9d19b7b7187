// Draws the program's icon: a grey monitor whose black screen shows a small
// white four-pointed sparkle, on a stand (the large image with a green power
// light on it), in 16 x 16 and 32 x 32 with the 16 standard colours, and
// writes them as one .ico file. Integer drawing only: the output depends on
// nothing but this code, so the committed icon is checked against a fresh run.
//
// make_icon OUTPUT.ico
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// The 16 standard colours, by index.
enum Colour : std::uint8_t { Clear = 0, Black = 0, DarkGrey = 8, LightGrey = 7, Green = 10, White = 15 };

const std::uint8_t Palette[16][3] = {  // red, green, blue
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},  {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

// Rows from the top; Opaque marks the pixels that belong to the picture.
struct IconImage {
    int Size;
    std::vector<std::uint8_t> Index;
    std::vector<bool> Opaque;
    explicit IconImage(int size) : Size(size), Index(size * size, Clear), Opaque(size * size, false) {}
    void Put(int x, int y, std::uint8_t colour) {
        if (x < 0 || y < 0 || x >= Size || y >= Size) return;
        Index[y * Size + x] = colour;
        Opaque[y * Size + x] = true;
    }
    // Inclusive rectangle.
    void Fill(int x0, int y0, int x1, int y1, std::uint8_t colour) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Put(x, y, colour);
    }
    // A filled rectangle with a black outline, lit from the top left.
    void Box(int x0, int y0, int x1, int y1, std::uint8_t face) {
        Fill(x0, y0, x1, y1, Black);
        Fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, face);
        Fill(x0 + 1, y1 - 1, x1 - 1, y1 - 1, DarkGrey);
        Fill(x1 - 1, y0 + 1, x1 - 1, y1 - 1, DarkGrey);
        Fill(x0 + 1, y0 + 1, x1 - 2, y0 + 1, White);
        Fill(x0 + 1, y0 + 1, x0 + 1, y1 - 2, White);
    }
    // Four arms of `arm` pixels from a centre pixel, each thinning to a point.
    void Sparkle(int cx, int cy, int arm) {
        Put(cx, cy, White);
        for (int i = 1; i <= arm; ++i) {
            Put(cx + i, cy, White);
            Put(cx - i, cy, White);
            Put(cx, cy + i, White);
            Put(cx, cy - i, White);
        }
        if (arm >= 3) {  // a fuller heart where there is room for one
            Put(cx + 1, cy + 1, White);
            Put(cx - 1, cy + 1, White);
            Put(cx + 1, cy - 1, White);
            Put(cx - 1, cy - 1, White);
        }
    }
};

IconImage Large() {
    IconImage icon(32);
    icon.Box(1, 2, 30, 23, LightGrey);  // the monitor's case
    icon.Fill(4, 5, 27, 20, Black);     // its screen
    icon.Sparkle(15, 12, 5);
    icon.Fill(12, 24, 19, 26, DarkGrey);  // neck
    icon.Box(6, 26, 25, 30, LightGrey);   // foot
    icon.Fill(21, 28, 22, 28, Green);     // power light
    return icon;
}

IconImage Small() {
    IconImage icon(16);
    icon.Box(0, 1, 15, 11, LightGrey);
    icon.Fill(2, 3, 13, 9, Black);
    icon.Sparkle(7, 6, 2);
    icon.Fill(6, 12, 9, 12, DarkGrey);
    icon.Box(3, 13, 12, 15, LightGrey);
    return icon;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, unsigned v) {
    Put16(out, v & 0xFFFFu);
    Put16(out, v >> 16);
}

// One image as the .ico file keeps it: a 4-bit bitmap of twice the height
// (colour rows, then the transparency mask), rows from the bottom.
std::vector<std::uint8_t> Bitmap(const IconImage& icon) {
    const int n = icon.Size;
    const int colourRow = ((n * 4 + 31) / 32) * 4;
    const int maskRow = ((n + 31) / 32) * 4;
    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(n));
    Put32(out, static_cast<unsigned>(2 * n));
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, static_cast<unsigned>((colourRow + maskRow) * n));
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    for (const auto& c : Palette) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < n; ++x) {
            const std::uint8_t v = icon.Opaque[y * n + x] ? icon.Index[y * n + x] : 0;
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? v << 4 : v);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < n; ++x)
            if (!icon.Opaque[y * n + x]) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    const std::vector<std::uint8_t> images[2] = {Bitmap(Small()), Bitmap(Large())};
    const int sizes[2] = {16, 32};
    std::vector<std::uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);  // an icon
    Put16(file, 2);
    unsigned offset = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(16);  // colours
        file.push_back(0);
        Put16(file, 1);  // planes
        Put16(file, 4);  // bits per pixel
        Put32(file, static_cast<unsigned>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
