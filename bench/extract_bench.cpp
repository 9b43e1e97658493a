// Measures a whole run over a generated CP936 source (lines of 40
// characters, nine in ten of them table characters) against merely writing
// the same number of glyph bytes from memory, both on tmpfs when there is one.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "extract/extractor.h"

namespace {

class SilentWindow : public pixtrel::WindowOperations {
 public:
  void EnableCommand1(bool) override {}
  void SetCommand1Caption(const std::string&) override {}
  void ShowMessageBox(const std::string&) override {}
  void ResetForm() override {}
};

std::string ScratchDir() {
  std::string dir = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  dir += "/pixtrel-bench-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  return dir;
}

/// Writes a source of about `megabytes` MB and returns its path.
std::string MakeSource(const pixtrel::GlyphStore& store, int megabytes) {
  std::vector<std::string> table_characters;
  for (const std::string& entry : store.CodeTable())
    if (entry.size() == 2) table_characters.push_back(entry);
  std::mt19937 random(2006);
  std::string path = ScratchDir() + "/source-" + std::to_string(megabytes) + ".txt";
  std::ofstream out(path, std::ios::binary);
  const size_t size = static_cast<size_t>(megabytes) * 1000 * 1000;
  std::string line;
  for (size_t written = 0; written < size; written += line.size()) {
    line.clear();
    for (int c = 0; c < 40; ++c) {
      if (random() % 10 == 0)
        line += static_cast<char>('a' + random() % 26);
      else
        line += table_characters[random() % table_characters.size()];
    }
    line += "\r\n";
    out << line;
  }
  return path;
}

void SetRates(benchmark::State& state, int64_t source_bytes, int64_t glyph_bytes) {
  state.counters["source_MB/s"] =
      benchmark::Counter(static_cast<double>(source_bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["glyph_MB/s"] =
      benchmark::Counter(static_cast<double>(glyph_bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Extract(benchmark::State& state) {
  auto run = std::make_unique<pixtrel::Extractor>(PIXTREL_DATA_DIR);
  SilentWindow window;
  run->LoadGlyphData();
  run->SourcePath = MakeSource(*run, static_cast<int>(state.range(0)));
  run->MakeOutputPath();
  for (auto _ : state) run->Run(window);
  int64_t glyph_bytes = static_cast<int64_t>(std::filesystem::file_size(run->OutputPath));
  SetRates(state, run->BytesDone, glyph_bytes);
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  state.counters["max_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
  std::filesystem::remove(run->SourcePath);
  std::filesystem::remove(run->OutputPath);
}
BENCHMARK(BM_Extract)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

/// What `dd if=/dev/zero bs=1M` does: the glyph bytes of a 20 MB run written from memory.
void BM_WriteFromMemory(benchmark::State& state) {
  const int64_t bytes = state.range(0) * 1000 * 1000;
  std::string path = ScratchDir() + "/zeros.bin";
  std::vector<char> block(1 << 20);
  for (auto _ : state) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (int64_t done = 0; done < bytes; done += static_cast<int64_t>(block.size()))
      if (write(fd, block.data(), block.size()) < 0) state.SkipWithError("write failed");
    close(fd);
    unlink(path.c_str());
  }
  SetRates(state, 0, bytes);
}
BENCHMARK(BM_WriteFromMemory)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
