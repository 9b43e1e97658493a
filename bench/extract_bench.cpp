// Measures pixtrel-extract, started as a build starts it, against writing
// the same number of glyph bytes, all on tmpfs when there is one, and reports
// ratios so that the figures compare across machines:
//
//   cp936 / dd       the run over a generated CP936 source (lines of 40
//                    characters, nine in ten of them table characters)
//                    against `dd if=/dev/zero bs=1M` writing its glyph bytes
//   cp936 / memory   the same against writing them from memory, 1 MB a write
//   utf-8 / cp936    the same text in UTF-8, found without asking
//   page-lsb / cp936 the CP936 run in another layout
//   c / dd           pixtrel-extract --format c on a CP936 source of a
//                    tenth the size, against dd writing as many bytes
//   menu / cat       pixtrel-extract on the bundled menu against cat
//                    reading the same three files (the menu, the font and
//                    the table), started as processes
//
// Each ratio is the median over rounds of pairs run one after the other;
// the last lines hold three of them to their goals.
// Then the peak memory of pixtrel-extract on a 100 MB source of one line,
// as raw records and as C.
//
//   extract_bench [ROUNDS] [MEGABYTES]     (5 rounds of a 20 MB source)

#include <fcntl.h>
#include <spawn.h>
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

#include "glyphdata/glyph_store.h"
#include "platform/platform.h"

namespace {

using Clock = std::chrono::steady_clock;

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

std::vector<char*> Argv(std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return argv;
}

/// The peak resident memory in MB of pixtrel-extract run with `arguments`,
/// its standard output thrown away (or of this process when it forks, if
/// that is more: call it while this process is small).
double PeakMegabytes(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), PIXTREL_EXTRACT);
  std::vector<char*> argv = Argv(arguments);
  const pid_t child = fork();
  if (child == 0) {
    dup2(open("/dev/null", O_WRONLY), STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
}

extern "C" char** environ;

/// How long the program `arguments` names takes, started as a process, its
/// standard output thrown away.
double ProcessSeconds(std::vector<std::string> arguments) {
  std::vector<char*> argv = Argv(arguments);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const Clock::time_point start = Clock::now();
  pid_t child;
  int status = 0;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "%s failed\n", argv[0]);
  return seconds;
}

/// pixtrel-extract run on `source` into `output`, records in `layout`.
void Extract(const std::string& source, const std::string& output, const std::string& layout = "row-msb") {
  ProcessSeconds({PIXTREL_EXTRACT, "-q", "--data-dir", PIXTREL_DATA_DIR, "--layout", layout, "-o", output, source});
}

/// The median ratio of pixtrel-extract on the bundled menu to cat reading
/// the same three files, over `rounds` pairs.
double MenuToCat(const std::string& dir, int rounds, double* menu_ms, double* cat_ms) {
  const std::string menu = dir + "/menu.txt";
  std::filesystem::copy_file(PIXTREL_SAMPLES "/menu.txt", menu);
  std::vector<double> extract, cat, ratios;
  for (int round = 0; round < rounds; ++round) {
    extract.push_back(ProcessSeconds({PIXTREL_EXTRACT, "-q", menu}));
    cat.push_back(ProcessSeconds({"/bin/cat", menu, PIXTREL_DATA_DIR "/GB2312.bin", PIXTREL_DATA_DIR "/GB2312.tbl"}));
    ratios.push_back(extract.back() / cat.back());
  }
  *menu_ms = Median(extract) * 1e3;
  *cat_ms = Median(cat) * 1e3;
  return Median(ratios);
}

/// The median ratio of a --format c run over `source` to dd writing as many
/// bytes, over `rounds` pairs.
double CToDd(const std::string& source, const std::string& output, int rounds, double* c_ms, double* dd_ms) {
  const std::vector<std::string> run = {PIXTREL_EXTRACT, "-q", "--format", "c", "-o", output, source};
  ProcessSeconds(run);
  const std::string dd = "dd if=/dev/zero of=" + output + " bs=1M status=none count=" +
                         std::to_string((std::filesystem::file_size(output) + (1 << 20) - 1) >> 20);
  std::filesystem::remove(output);
  std::vector<double> c_times, dd_times, ratios;
  for (int round = 0; round < rounds; ++round) {
    c_times.push_back(Seconds(output, [&] { ProcessSeconds(run); }));
    dd_times.push_back(Seconds(output, [&] {
      if (std::system(dd.c_str()) != 0) std::fputs("dd failed\n", stderr);
    }));
    ratios.push_back(c_times.back() / dd_times.back());
  }
  *c_ms = Median(c_times) * 1e3;
  *dd_ms = Median(dd_times) * 1e3;
  return Median(ratios);
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
  const double c_peak =
      PeakMegabytes({"-q", "--data-dir", PIXTREL_DATA_DIR, "--format", "c", "-o", "-", dir + "/line.txt"});
  std::filesystem::remove(dir + "/line.txt");
  std::filesystem::remove(dir + "/line.bin");
  double menu_ms, cat_ms;
  const double menu_to_cat = MenuToCat(dir, 20 * rounds, &menu_ms, &cat_ms);
  MakeText(dir + "/small.txt", store, std::max(1, megabytes / 10), "\r\n");
  double c_ms, c_dd_ms;
  const double c_to_dd = CToDd(dir + "/small.txt", dir + "/small.c", rounds, &c_ms, &c_dd_ms);

  MakeText(dir + "/cp936.txt", store, megabytes, "\r\n");
  std::ofstream(dir + "/utf8.txt", std::ios::binary)
      << *pixtrel::ConvertText("UTF-8", "CP936", ReadFile(dir + "/cp936.txt"));
  const std::string output = dir + "/glyphs.bin";
  Extract(dir + "/cp936.txt", output);
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
    cp936_times.push_back(Seconds(output, [&] { Extract(dir + "/cp936.txt", output); }));
    utf8_times.push_back(Seconds(output, [&] { Extract(dir + "/utf8.txt", output); }));
    layout_times.push_back(Seconds(output, [&] { Extract(dir + "/cp936.txt", output, "page-lsb"); }));
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
  std::printf("c run %.0f ms, dd %.0f ms: c/dd %.2f\n", c_ms, c_dd_ms, c_to_dd);
  std::printf("bundled menu %.2f ms, cat %.2f ms: menu/cat %.2f\n", menu_ms, cat_ms, menu_to_cat);
  std::printf("peak memory of pixtrel-extract on a 100 MB source of one line: %.1f MB, as C %.1f MB\n", peak, c_peak);
  auto goal = [](const char* what, double ratio, double most) {
    std::printf("goal %s <= %.2f: %.2f, %s\n", what, most, ratio, ratio <= most ? "met" : "not met");
  };
  goal("cp936/dd", Median(to_dd), 1.15);
  goal("utf-8/cp936", Median(utf8_to_cp936), 1.15);
  goal("menu/cat", menu_to_cat, 1.3);
}
