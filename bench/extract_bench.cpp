// Measures a whole run, as pixtrel-extract makes it, against writing the
// same number of glyph bytes, all on tmpfs when there is one, and reports
// ratios so that the figures compare across machines:
//
//   cp936 / dd       the run over a generated CP936 source (lines of 40
//                    characters, nine in ten of them table characters)
//                    against `dd if=/dev/zero bs=1M` writing its glyph bytes
//   cp936 / memory   the same against writing them from memory, 1 MB a write
//   utf-8 / cp936    the same text in UTF-8, found without asking
//   page-lsb / cp936 the CP936 run in another layout
//
// Each ratio is the median over rounds of pairs run one after the other.
// Then the peak memory of pixtrel-extract on a 100 MB source of one line.
//
//   extract_bench [ROUNDS] [MEGABYTES]     (5 rounds of a 20 MB source)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "glyphdata/glyph_layout.h"
#include "extract/extractor.h"
#include "extract/glyph_output.h"
#include "glyphdata/source_text.h"

namespace {

using Clock = std::chrono::steady_clock;

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

/// Writes a CP936 text of about `megabytes` MB to `path`: lines of 40
/// characters ending in `line_end`, nine in ten of them characters of the
/// table.
void MakeText(const std::string& path, const pixtrel::GlyphStore& store, int megabytes, const std::string& line_end) {
  std::vector<std::string> table_characters;
  for (const pixtrel::TableEntry& entry : store.CodeTable())
    if (entry.size() == 2) table_characters.emplace_back(entry.view());
  std::mt19937 random(2006);
  std::ofstream out(path, std::ios::binary);
  std::string line;
  for (size_t size = static_cast<size_t>(megabytes) * 1000 * 1000, written = 0; written < size;
       written += line.size()) {
    line.clear();
    for (int c = 0; c < 40; ++c) {
      if (random() % 10 == 0)
        line += static_cast<char>('a' + random() % 26);
      else
        line += table_characters[random() % table_characters.size()];
    }
    out << (line += line_end);
  }
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

/// How long `work` takes, which writes `output`; the output is removed
/// afterwards, so that every step finds the same memory free.
double Seconds(const std::string& output, const std::function<void()>& work) {
  const Clock::time_point start = Clock::now();
  work();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::filesystem::remove(output);
  return seconds;
}

/// A run as pixtrel-extract makes it: the source found as CP936 or UTF-8,
/// the glyph file written beside the target and renamed into place.
void Run(const std::string& source, const std::string& output, pixtrel::RecordFormat format = {}) {
  pixtrel::Extractor extractor(PIXTREL_DATA_DIR);
  extractor.LoadGlyphData();
  if (format.layout != pixtrel::GlyphLayout::kRowMsb)
    extractor.RewriteRecords([&](uint8_t* record) { pixtrel::FormatRecord(record, format); });
  extractor.SourcePath = source;
  extractor.OutputPath = output;
  SilentWindow window;
  pixtrel::AtomicGlyphFile file(pixtrel::RealDisk(), output);
  pixtrel::SourceText text = pixtrel::OpenSourceFile(pixtrel::RealDisk(), source, pixtrel::TextEncoding::kAuto);
  if (extractor.Run(window, nullptr, std::move(text.bytes), &file) == pixtrel::RunOutcome::kWritten) file.Install();
}

void WriteFromMemory(const std::string& path, int64_t bytes) {
  std::vector<char> block(1 << 20);
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (int64_t done = 0; done < bytes; done += static_cast<int64_t>(block.size()))
    if (write(fd, block.data(), block.size()) < 0) std::perror("write");
  close(fd);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

/// The peak resident memory in MB of pixtrel-extract run with `arguments`
/// (or of this process when it forks, if that is more: call it while this
/// process is small).
double PeakMegabytes(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), PIXTREL_EXTRACT);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  const int megabytes = argc > 2 ? std::atoi(argv[2]) : 20;
  const std::string dir = ScratchDir();
  pixtrel::GlyphStore store(PIXTREL_DATA_DIR);
  store.LoadGlyphData();

  MakeText(dir + "/line.txt", store, 100, "");
  const double peak = PeakMegabytes({"-q", "--data-dir", PIXTREL_DATA_DIR, "-o", dir + "/line.bin", dir + "/line.txt"});
  std::filesystem::remove(dir + "/line.txt");
  std::filesystem::remove(dir + "/line.bin");

  MakeText(dir + "/cp936.txt", store, megabytes, "\r\n");
  std::ofstream(dir + "/utf8.txt", std::ios::binary)
      << *pixtrel::TextConverter::Whole("UTF-8", "CP936", ReadFile(dir + "/cp936.txt"));
  const std::string output = dir + "/glyphs.bin";
  Run(dir + "/cp936.txt", output);
  const int64_t glyph_bytes = static_cast<int64_t>(std::filesystem::file_size(output));
  std::filesystem::remove(output);
  const std::string dd = "dd if=/dev/zero of=" + output +
                         " bs=1M status=none count=" + std::to_string((glyph_bytes + (1 << 20) - 1) >> 20);
  std::vector<double> dd_times, memory_times, cp936_times, utf8_times, layout_times;
  std::vector<double> to_dd, to_memory, utf8_to_cp936, layout_to_cp936;
  for (int round = 0; round < rounds; ++round) {
    dd_times.push_back(Seconds(output, [&] {
      if (std::system(dd.c_str()) != 0) std::fputs("dd failed\n", stderr);
    }));
    memory_times.push_back(Seconds(output, [&] { WriteFromMemory(output, glyph_bytes); }));
    cp936_times.push_back(Seconds(output, [&] { Run(dir + "/cp936.txt", output); }));
    utf8_times.push_back(Seconds(output, [&] { Run(dir + "/utf8.txt", output); }));
    layout_times.push_back(Seconds(output, [&] {
      Run(dir + "/cp936.txt", output, {pixtrel::GlyphLayout::kPageLsb, false});
    }));
    to_dd.push_back(cp936_times.back() / dd_times.back());
    to_memory.push_back(cp936_times.back() / memory_times.back());
    utf8_to_cp936.push_back(utf8_times.back() / cp936_times.back());
    layout_to_cp936.push_back(layout_times.back() / cp936_times.back());
  }
  std::filesystem::remove_all(dir);
  std::printf("source %d MB, glyphs %.0f MB, %d rounds, median times in ms:\n", megabytes,
              static_cast<double>(glyph_bytes) / 1e6, rounds);
  std::printf("  dd %.0f, from memory %.0f, cp936 run %.0f, utf-8 run %.0f, page-lsb run %.0f\n",
              Median(dd_times) * 1e3, Median(memory_times) * 1e3, Median(cp936_times) * 1e3, Median(utf8_times) * 1e3,
              Median(layout_times) * 1e3);
  std::printf("median ratios: cp936/dd %.2f, cp936/memory %.2f, utf-8/cp936 %.2f, page-lsb/cp936 %.2f\n", Median(to_dd),
              Median(to_memory), Median(utf8_to_cp936), Median(layout_to_cp936));
  std::printf("peak memory of pixtrel-extract on a 100 MB source of one line: %.1f MB\n", peak);
}
