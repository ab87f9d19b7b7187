// Runs the decoder's fuzz entry over the fourteen images and a fixed number
// of seeded mutations of them (header fields set to edge values, bytes
// flipped, files cut short or grown), so that the ordinary test run
// exercises malformed input under the sanitizers without a fuzzing engine.
// Usage: tga_mutation_run IMAGE_DIRECTORY ITERATIONS [SEED]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::uint32_t State = 1;

std::uint32_t Next() {
    State = State * 1664525u + 1013904223u;
    return State >> 8;
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
    return bytes;
}

// Runs one input from its own exact-size heap block, so that the address
// sanitizer sees any read past its end.
void RunExact(const std::vector<std::uint8_t>& input) {
    std::uint8_t* block = static_cast<std::uint8_t*>(std::malloc(input.empty() ? 1 : input.size()));
    for (std::size_t i = 0; i < input.size(); ++i) block[i] = input[i];
    LLVMFuzzerTestOneInput(block, input.size());
    std::free(block);
}

void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, unsigned value) {
    if (at + 1 < bytes.size()) {
        bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
}

std::vector<std::uint8_t> Mutate(std::vector<std::uint8_t> bytes) {
    static const unsigned edgeSizes[] = {0, 1, 2, 3, 31, 32, 33, 63, 64, 65, 127, 128, 255, 256, 4096, 65535};
    static const unsigned depths[] = {0, 8, 15, 16, 24, 32, 33, 255};
    const int steps = 1 + static_cast<int>(Next() % 4);
    for (int s = 0; s < steps; ++s) {
        switch (Next() % 8) {
            case 0:  // width
                Put16(bytes, 12, edgeSizes[Next() % 16]);
                break;
            case 1:  // height
                Put16(bytes, 14, edgeSizes[Next() % 16]);
                break;
            case 2:  // depth
                if (bytes.size() > 16) bytes[16] = static_cast<std::uint8_t>(depths[Next() % 8]);
                break;
            case 3:  // one header byte
                if (bytes.size() > 18) bytes[Next() % 18] = static_cast<std::uint8_t>(Next());
                break;
            case 4:  // cut short anywhere, the header included
                if (!bytes.empty()) bytes.resize(Next() % bytes.size());
                break;
            case 5:  // grow
                bytes.resize(bytes.size() + 1 + Next() % 64, static_cast<std::uint8_t>(Next()));
                break;
            case 6:  // flip bits anywhere
                if (!bytes.empty()) bytes[Next() % bytes.size()] ^= static_cast<std::uint8_t>(1u << (Next() % 8));
                break;
            default:  // a small image whose size is just right, or one byte short
                if (bytes.size() > 18) {
                    const unsigned w = 1 + Next() % 5, h = 1 + Next() % 5, depth = Next() % 2 ? 24 : 32;
                    Put16(bytes, 12, w);
                    Put16(bytes, 14, h);
                    bytes[16] = static_cast<std::uint8_t>(depth);
                    bytes.resize(18 + w * h * (depth / 8) - (Next() % 2));
                }
                break;
        }
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tga_mutation_run IMAGE_DIRECTORY ITERATIONS [SEED]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const long iterations = std::strtol(argv[2], nullptr, 10);
    State = argc > 3 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1u;

    std::vector<std::vector<std::uint8_t>> seeds;
    for (int id = 110; id <= 123; ++id) {
        seeds.push_back(ReadAll(dir + "/" + std::to_string(id) + ".tga"));
        if (seeds.back().size() < 18) {
            std::fprintf(stderr, "tga_mutation_run: cannot read image %d in %s\n", id, dir.c_str());
            return 1;
        }
    }
    for (const auto& seed : seeds) RunExact(seed);
    for (std::size_t cut = 0; cut < 40; ++cut) RunExact(std::vector<std::uint8_t>(seeds[0].begin(), seeds[0].begin() + cut));
    for (long i = 0; i < iterations; ++i) RunExact(Mutate(seeds[Next() % seeds.size()]));
    std::printf("%ld mutated inputs decoded or refused cleanly\n", iterations);
    return 0;
}
