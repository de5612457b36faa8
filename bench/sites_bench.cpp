// The site search's costs that grow with what it is given: folding one long text of each script (linear in
// its length, so the time per character stays flat over the sizes), and indexing a site file at its size
// limit of Latin, Cyrillic or Chinese names.
#include "SiteSearch.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using korvane::GeoEntry;

// Letters of each script: ASCII, accented Latin, Cyrillic, Chinese.
struct Script {
    char32_t first;
    uint32_t count;
};
const Script kScripts[] = {{U'a', 26}, {U'\u00E0', 31}, {U'\u0430', 32}, {U'\u4E00', 3000}};

void AppendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | c >> 6);
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | c >> 12);
        text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Words of 4 to 9 letters of the script, chosen by a fixed sequence, until the text has `bytes` bytes.
std::string Words(const Script& script, size_t bytes, uint32_t& seed) {
    std::string text;
    while (text.size() < bytes) {
        for (uint32_t letters = 4 + seed % 6; letters > 0; --letters) {
            seed = seed * 1664525u + 1013904223u;
            AppendUtf8(text, script.first + (seed >> 8) % script.count);
        }
        text += ' ';
    }
    return text;
}

void BM_FoldForSearch(benchmark::State& state) {
    uint32_t seed = 1;
    const std::string text = Words(kScripts[state.range(0)], static_cast<size_t>(state.range(1)), seed);
    for (auto _ : state)
        benchmark::DoNotOptimize(korvane::sites::FoldForSearch(text));
    state.SetBytesProcessed(state.iterations() * state.range(1));
}
BENCHMARK(BM_FoldForSearch)
    ->ArgNames({"script", "bytes"})
    ->ArgsProduct({{0, 1, 2, 3}, {16000, 128000, 1024000}})
    ->Unit(benchmark::kMillisecond);

// 32,000 names of about 128 bytes each: a site file at its size limit of 4 MiB.
void BM_IndexSiteFile(benchmark::State& state) {
    std::vector<GeoEntry> sites(1);
    uint32_t seed = 1;
    for (int n = 0; n < 32000; ++n)
        sites.push_back({Words(kScripts[state.range(0)], 120, seed) + std::to_string(n), 8.5, 50.1, 1});
    for (auto _ : state)
        benchmark::DoNotOptimize(korvane::sites::SiteFinder(sites, {}));
}
BENCHMARK(BM_IndexSiteFile)->ArgName("script")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace
