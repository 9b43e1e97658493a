// pixtrel-studio: the texts of a project folder drawn as the display draws
// them, in the browser, and the outputs written from there.

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/other_programs.h"
#include "platform/platform.h"
#include "studio/studio.h"
#include "studio/studio_server.h"
#include "version.h"

namespace {

#ifdef _WIN32
constexpr const char* kExtractProgram = "pixtrel-extract.exe";
#else
constexpr const char* kExtractProgram = "pixtrel-extract";
#endif

constexpr const char* kUsage = "usage: pixtrel-studio [--port N] [--no-browser] [DIR]\n";
constexpr const char* kHelp =
    "Serve Pixtrel Studio for the project folder DIR (default: the current\n"
    "directory) on 127.0.0.1, print its address and open it in the browser:\n"
    "the folder's texts drawn as the display draws them, and the outputs\n"
    "pixtrel-extract writes, written into the folder.\n"
    "\n"
    "  --port N       listen at port N (default: a free one)\n"
    "  --no-browser   print the address, do not open it\n"
    "  -h, --help     show this help\n"
    "  -V, --version  show the version\n"
    "\n"
    "It ends on Ctrl-C, or when the page's Quit is pressed. Exit status: 0 when it\n"
    "ended so, 2 when it could not start.\n";

/// What the command line asks for.
struct StudioOptions {
  std::string folder = ".";
  int port = 0;
  bool browser = true;
};

/// Says "pixtrel-studio: MESSAGE" on stderr and returns the status of a failure.
int Fail(const std::string& message) {
  pixtrel::WriteText(stderr, "pixtrel-studio: " + message + "\n" + kUsage);
  return 2;
}

/// The port `text` names, or -1.
int PortOf(const std::string& text) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
  const int port = std::stoi(text);
  return port >= 1 && port <= 65535 ? port : -1;
}

int Serve(const StudioOptions& options) {
  pixtrel::ChangeDirectory(options.folder);
  const pixtrel::ProjectFolder folder(".");
  pixtrel::Studio studio(folder, pixtrel::JoinPath(pixtrel::ProgramDirectory(), kExtractProgram),
                         pixtrel::TemporaryDirectory());
  pixtrel::StudioServer server(studio, options.port);
  pixtrel::OnInterrupt([&server] { server.Stop(); });
  const std::string address =
      "http://127.0.0.1:" + std::to_string(server.port()) + "/?token=" + server.access().token();
  pixtrel::WriteText(stdout, "Pixtrel Studio: " + address + "\n");
  std::fflush(stdout);
  if (options.browser && !pixtrel::OpenInBrowser(address))
    pixtrel::WriteText(stderr, "pixtrel-studio: no browser could be opened; open the address above in one\n");
  server.Run();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");
  const std::vector<std::string> arguments = pixtrel::StartCommand(argc, argv);
  StudioOptions options;
  bool folder_given = false;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-h" || argument == "--help" || pixtrel::AsksForHelp(argument)) {
      pixtrel::WriteText(stdout, std::string(kUsage) + kHelp);
      return 0;
    } else if (argument == "-V" || argument == "--version") {
      pixtrel::WriteText(stdout, "pixtrel-studio " PIXTREL_VERSION_TEXT "\n");
      return 0;
    } else if (argument == "--no-browser") {
      options.browser = false;
    } else if (argument == "--port" || argument.starts_with("--port=")) {
      const std::string value =
          argument == "--port" ? (i + 1 < arguments.size() ? arguments[++i] : "") : argument.substr(7);
      options.port = PortOf(value);
      if (options.port < 0) return Fail("--port takes a port, 1 to 65535: " + value);
    } else if (argument.starts_with("-") && argument != "-") {
      return Fail("unknown option " + argument);
    } else if (folder_given) {
      return Fail("one project folder: " + options.folder + " and " + argument);
    } else {
      options.folder = argument;
      folder_given = true;
    }
  }
  try {
    return Serve(options);
  } catch (const pixtrel::Failure& failure) {
    return Fail(failure.what());
  }
}
