// Console-mode throughput: reports over a folder of generated WAVE files, as `Sonoprobe -a`
// does, written to /dev/null. Reports files per second.
#include "platform/CodePage.h"
#include "viewer/CSonoprobeCtrl.h"
#include "viewer/ConsoleReporter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string MakeWaveFolder(int count) {
    std::string folder = std::filesystem::temp_directory_path() / "sono-bench-XXXXXX";
    if (!mkdtemp(folder.data()))
        std::abort();
    const unsigned char header[44] = {'R', 'I', 'F', 'F', 0x24, 0x00, 0x01, 0x00, 'W', 'A', 'V',
                                      'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0,
                                      0x44, 0xAC, 0, 0, 0x10, 0xB1, 0x02, 0, 4, 0, 16, 0,
                                      'd', 'a', 't', 'a', 0, 0, 1, 0};
    std::string audio(65536, '\0');
    for (int i = 0; i < count; ++i) {
        std::ofstream out(folder + "/track" + std::to_string(i) + ".wav", std::ios::binary);
        out.write(reinterpret_cast<const char*>(header), sizeof header);
        out.write(audio.data(), static_cast<std::streamsize>(audio.size()));
    }
    return folder;
}

void ConsoleReportsOverWaveFolder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::string folder = MakeWaveFolder(count);
    std::FILE* sink = std::fopen("/dev/null", "w");
    viewer::CSonoprobeCtrl control;
    viewer::ConsoleReporter reporter(control, false, sink);
    const std::u16string pattern = platform::Utf8ToUtf16(folder + "/*.wav");
    for (auto _ : state)
        reporter.WriteConsoleReports(pattern);
    state.counters["files/s"] = benchmark::Counter(static_cast<double>(count) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
    std::fclose(sink);
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(ConsoleReportsOverWaveFolder)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
