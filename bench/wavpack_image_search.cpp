// Analysis of a WavPack stream inside a 700 MiB disc image (sparse): the stream at the last
// offset of the first mebibyte that is searched, and an image without a stream, which searches
// the whole mebibyte. Reports the time per analysis.
#include "control/AnalysisDriver.h"
#include "control/ModuleState.h"
#include "platform/CodePage.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr uint64_t Mebibyte = 1048576;
constexpr uint64_t ImageSize = 700 * Mebibyte;

std::string MakeImage(const std::string& folder, const std::string& name, bool withStream) {
    const std::string path = folder + "/" + name;
    {
        std::ofstream out(path, std::ios::binary);
        if (withStream) {
            // A stereo 16-bit 44,100 Hz block header with 13,230,000 total samples.
            const unsigned char header[32] = {
                'w', 'v', 'p', 'k', 0,    0x10, 0, 0, 0x10, 0x04, 0,    0,    0xB0, 0xE0, 0xC9, 0,
                0,   0,   0,   0,   0x3A, 0x11, 0, 0, 0x11, 0,    0x80, 0x04, 0,    0,    0,    0};
            out.seekp(static_cast<std::streamoff>(Mebibyte - 1));
            out.write(reinterpret_cast<const char*>(header), sizeof header);
        }
    }
    std::filesystem::resize_file(path, ImageSize);
    return path;
}

void AnalyseImage(benchmark::State& state, bool withStream) {
    std::string folder = std::filesystem::temp_directory_path() / "sono-bench-XXXXXX";
    if (!mkdtemp(folder.data()))
        std::abort();
    control::SetShowMessageBoxEnabled(false);
    const std::string path = MakeImage(folder, "disc.iso.wv", withStream);
    control::AnalysisRecord record;
    for (auto _ : state) {
        record.FilePath = platform::Utf8ToUtf16(path);
        benchmark::DoNotOptimize(control::AnalyseFile(record));
    }
    if (record.Codec != (withStream ? u"ISO with WavPack ver 4.16" : u"ISO with WavPack"))
        state.SkipWithError("unexpected analysis result");
    std::filesystem::remove_all(folder);
}

void StreamAtLastSearchedOffset(benchmark::State& state) {
    AnalyseImage(state, true);
}
void ImageWithoutStream(benchmark::State& state) {
    AnalyseImage(state, false);
}

} // namespace

BENCHMARK(StreamAtLastSearchedOffset)->Unit(benchmark::kMillisecond);
BENCHMARK(ImageWithoutStream)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
