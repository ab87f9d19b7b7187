// Fuzz entry for the settings file's reader and writer, as a round trip:
// whatever the reader keeps of any input, the writer must write so that it
// reads back to the same keys, values and kept unreadable lines, with a
// problem for each kept line and no other, and writing that again must give
// the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/file_store.h"

namespace {

bool SameFile(const RegFile& a, const RegFile& b) {
    if (a.Keys.size() != b.Keys.size()) return false;
    for (std::size_t k = 0; k < a.Keys.size(); ++k) {
        const RegFileKey& x = a.Keys[k];
        const RegFileKey& y = b.Keys[k];
        if (x.Path != y.Path || x.Values.size() != y.Values.size()) return false;
        for (std::size_t v = 0; v < x.Values.size(); ++v) {
            const RegFileValue& p = x.Values[v];
            const RegFileValue& q = y.Values[v];
            if (p.Name != q.Name || p.Data != q.Data || p.Bytes != q.Bytes || p.Verbatim != q.Verbatim)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const RegFile first = ParseRegFile(input, nullptr);
    const std::string written = FormatRegFile(first);
    std::vector<std::string> problems;
    const RegFile second = ParseRegFile(written, &problems);
    std::size_t kept = 0;
    for (const RegFileKey& key : second.Keys)
        for (const RegFileValue& value : key.Values) kept += value.Verbatim;
    if (problems.size() != kept) {
        std::fprintf(stderr, "the written file reads back with %zu problems for %zu kept lines: %s\n",
                     problems.size(), kept, problems.empty() ? "" : problems[0].c_str());
        std::abort();
    }
    if (!SameFile(first, second)) {
        std::fprintf(stderr, "the written file reads back to other keys or values\n");
        std::abort();
    }
    if (FormatRegFile(second) != written) {
        std::fprintf(stderr, "writing what was read back gives another text\n");
        std::abort();
    }
    return 0;
}
