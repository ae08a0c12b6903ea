// One tag write on a 5 MB MP3 file whose old tag holds a cover: the new tag, the cover carried
// over, the audio copied into a temporary file, synced, and renamed over the old file.
// Reports the time per write.
#include "control/ID3v2TagWriter.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr size_t FileSize = 5 * 1024 * 1024;
constexpr size_t CoverSize = 100 * 1024;

std::string PlainFrame(const std::string& id, const std::string& data) {
    std::string frame = id;
    for (int shift = 24; shift >= 0; shift -= 8)
        frame.push_back(static_cast<char>(data.size() >> shift & 0xFF));
    return frame + std::string(2, '\0') + data;
}

std::string MakeFile(const std::string& folder) {
    std::string body =
        PlainFrame("TIT2", std::string("\0Old title", 10)) +
        PlainFrame("APIC", std::string("\0image/png\0\3\0", 13) + std::string(CoverSize, '\x5A'));
    std::string tag("ID3\3\0\0", 6);
    for (int shift = 21; shift >= 0; shift -= 7)
        tag.push_back(static_cast<char>(body.size() >> shift & 0x7F));
    tag += body;
    std::string audio(FileSize - tag.size(), '\0');
    for (size_t i = 0; i < audio.size(); i += 417)
        audio.replace(i, std::min<size_t>(4, audio.size() - i), "\xFF\xFB\x90\x40", 4);
    const std::string path = folder + "/track.mp3";
    std::ofstream out(path, std::ios::binary);
    out << tag << audio;
    return path;
}

void BM_TagWrite5MB(benchmark::State& state) {
    std::string folder = std::filesystem::temp_directory_path() / "sono-bench-XXXXXX";
    if (!mkdtemp(folder.data()))
        std::abort();
    const std::u16string path = std::u16string(folder.begin(), folder.end()) + u"/track.mp3";
    MakeFile(folder);
    for (auto _ : state) {
        const bool written =
            control::WriteID3v2Tags(path, u"Звезда по имени Солнце", u"Кино", u"Звезда", u"1989",
                                    u"Rock", u"Comment", u"1/8", true, 0);
        if (!written)
            state.SkipWithError("the write failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FileSize);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TagWrite5MB)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
