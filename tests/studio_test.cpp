// The studio's API, over HTTP as the page uses it: the form's tables, the
// folder's texts and fonts, the preview against pixtrel-extract's own
// picture, the export against the command line it shows, and what a
// request may not do. The studio runs in this process; with
// PIXTREL_STUDIO_COMMAND set (a command that starts pixtrel-studio, as
// Wine starts the Windows build's), that program answers instead.

#include "studio/studio.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/options.h"
#include "platform/platform.h"
#include "studio/studio_server.h"
#include "test_support.h"

namespace pixtrel {
namespace {

using Json = nlohmann::json;

const std::string kFont = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
const std::string kMenu = "设置\n语言: 中文\nBrightness 亮度\n";

/// A studio serving a fresh folder with a text, a font file, a hidden
/// folder and a folder whose name starts with a dash.
class StudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFile(dir_ / "menu.txt", kMenu);
    std::filesystem::create_directories(dir_ / ".hidden");
    testing::WriteFile(dir_ / ".hidden" + testing::kSeparator + "secret.txt", "x");
    std::filesystem::copy_file(kFont, dir_ / "wqy.ttc");
    std::filesystem::create_directory(dir_ / "made");
    if (const char* command = std::getenv("PIXTREL_STUDIO_COMMAND"))
      StartProgram(command);
    else
      StartHere();
    client_ = std::make_unique<httplib::Client>("127.0.0.1", port_);
    client_->set_read_timeout(60);
  }

  void TearDown() override {
    if (program_) {
      client_->Post("/api/quit", Headers(), "{}", "application/json");
      pclose(program_);
    } else if (server_) {
      server_->Stop();
      serving_.join();
      server_.reset();
      studio_.reset();
      folder_.reset();
      ChangeDirectory(home_);
    }
  }

  void StartHere() {
    home_ = std::filesystem::current_path().string();
    ChangeDirectory(dir_.path());
    folder_ = std::make_unique<ProjectFolder>(".");
    studio_ = std::make_unique<Studio>(*folder_, PIXTREL_EXTRACT, TemporaryDirectory());
    server_ = std::make_unique<StudioServer>(*studio_, 0);
    port_ = server_->port();
    token_ = server_->access().token();
    serving_ = std::thread([this] { server_->Run(); });
  }

  /// Starts `command` in the folder and reads the address it prints.
  void StartProgram(const std::string& command) {
    program_ = popen(("cd '" + dir_.path() + "' && exec " + command + " --no-browser").c_str(), "r");
    ASSERT_NE(program_, nullptr);
    char line[512] = "";
    ASSERT_NE(std::fgets(line, sizeof line, program_), nullptr);
    unsigned port = 0;
    char token[65] = "";
    ASSERT_EQ(std::sscanf(line, "Pixtrel Studio: http://127.0.0.1:%u/?token=%64[0-9a-f]", &port, token), 2) << line;
    port_ = static_cast<int>(port);
    token_ = token;
  }

  httplib::Headers Headers() const { return {{"X-Pixtrel-Token", token_}}; }

  /// Posts `body` to `path` with the token; the status and the body.
  std::pair<int, std::string> Post(const std::string& path, const Json& body) {
    const httplib::Result result = client_->Post(path, Headers(), body.dump(), "application/json");
    if (!result) return {0, httplib::to_string(result.error())};
    return {result->status, result->body};
  }

  Json Get(const std::string& path) {
    const httplib::Result result = client_->Get(path, Headers());
    EXPECT_TRUE(result && result->status == 200) << path;
    return result ? Json::parse(result->body) : Json();
  }

  /// The status of posting `args` to /api/export, and its error.
  std::pair<int, std::string> Refusal(const std::string& path, const std::vector<std::string>& args) {
    auto [status, body] = Post(path, {{"args", args}});
    const Json answer = Json::parse(body, nullptr, false);
    return {status, answer.is_object() ? answer.value("error", "") : body};
  }

  testing::CommandResult Extract(const std::string& arguments) {
    return testing::RunCommand("cd '" + dir_.path() + "' && " + PIXTREL_EXTRACT + " " + arguments, dir_);
  }

  testing::TempDir dir_;
  std::string home_, token_;
  int port_ = 0;
  std::unique_ptr<ProjectFolder> folder_;
  std::unique_ptr<Studio> studio_;
  std::unique_ptr<StudioServer> server_;
  std::thread serving_;
  FILE* program_ = nullptr;
  std::unique_ptr<httplib::Client> client_;
};

TEST_F(StudioTest, TheFormsTablesAndTheFoldersTextsAndFonts) {
  const Json options = Get("/api/options");
  ASSERT_EQ(options["options"].size(), OptionTable().size());
  for (size_t i = 0; i < OptionTable().size(); ++i)
    EXPECT_EQ(options["options"][i]["name"], "--" + std::string(OptionTable()[i].name));
  EXPECT_EQ(options["formats"].size(), Formats().size());
  EXPECT_EQ(Get("/api/texts")["texts"], Json::array({"menu.txt"}));  // The hidden folder's text not among them.
  const Json fonts = Get("/api/fonts");
  ASSERT_FALSE(fonts["files"].empty());
  EXPECT_EQ(fonts["files"][0]["path"], "wqy.ttc");
  EXPECT_TRUE(fonts["files"][0]["hanzi"]);
  EXPECT_FALSE(fonts["shipped_sets"].empty());
}

TEST_F(StudioTest, ThePreviewIsThePictureTheCommandDraws) {
  const std::vector<std::string> args = {"--font",   "wqy.ttc", "--size",      "16", "--bpp",       "4",
                                         "--format", "lvgl",    "--max-width", "40", "--png-scale", "1"};
  ASSERT_EQ(Extract("-q --font wqy.ttc --size 16 --bpp 4 --format lvgl --max-width 40 --png-scale 1 -o made/a.c "
                    "--png made/a.png menu.txt")
                .status,
            0);
  const std::string expected = testing::ReadFile(dir_ / "made" + testing::kSeparator + "a.png");
  std::vector<std::string> with_source = args;
  with_source.push_back("menu.txt");
  EXPECT_EQ(Post("/api/preview", {{"args", with_source}}), std::make_pair(200, expected));
  EXPECT_EQ(Post("/api/preview", {{"args", args}, {"text", kMenu}}), std::make_pair(200, expected));
  // In JSON: the picture, its map and the run's messages.
  auto [status, body] = Post("/api/preview", {{"args", args}, {"text", kMenu + "😀\n"}, {"json", true}});
  ASSERT_EQ(status, 200);
  const Json answer = Json::parse(body);
  EXPECT_EQ(answer["map"]["lines"], 4);
  EXPECT_EQ(answer["map"]["glyphs"][0]["code_point"], 0x8BBE);  // 设
  EXPECT_NE(answer["messages"].get<std::string>().find("1 character got no glyph"), std::string::npos)
      << answer["messages"];
  EXPECT_EQ(Post("/api/preview", {{"args", {"--font", "nosuch.ttf"}}, {"text", "x"}}).first, 422);
}

TEST_F(StudioTest, TheExportWritesWhatItsCommandLineWrites) {
  auto [status, body] = Post("/api/export", {{"args",
                                              {"--font", "wqy.ttc", "--size", "12", "--format", "lvgl", "--name",
                                               "menu_font", "-o", "made/menu font.c", "menu.txt"}}});
  ASSERT_EQ(status, 200) << body;
  const Json answer = Json::parse(body);
  ASSERT_EQ(answer["files"].size(), 1u);
  EXPECT_EQ(answer["files"][0]["path"], "made/menu font.c");
  const std::string exported = testing::ReadFile(dir_ / "made" + testing::kSeparator + "menu font.c");
  std::filesystem::remove(dir_ / "made" + testing::kSeparator + "menu font.c");
  const std::string command = answer["command"];
  ASSERT_EQ(command.rfind("pixtrel-extract ", 0), 0u);
  ASSERT_EQ(Extract(command.substr(std::string("pixtrel-extract ").size())).status, 0) << command;
  EXPECT_EQ(testing::ReadFile(dir_ / "made" + testing::kSeparator + "menu font.c"), exported);
  EXPECT_EQ(answer["cmake"],
            "pixtrel_add_glyphs(menu_font\n  SOURCES menu.txt\n  SIZE 12\n  FORMAT lvgl\n  FONT wqy.ttc)");
}

TEST_F(StudioTest, ARequestWithoutTheTokenOrForAnotherHostIsRefused) {
  EXPECT_EQ(client_->Get("/api/texts")->status, 403);
  EXPECT_EQ(client_->Get("/api/texts", {{"X-Pixtrel-Token", token_ + "0"}})->status, 403);
  for (const std::string& host : {std::string("evil.example:") + std::to_string(port_), std::string("127.0.0.1:1")}) {
    const httplib::Result result = client_->Get("/api/texts", {{"X-Pixtrel-Token", token_}, {"Host", host}});
    EXPECT_EQ(result->status, 403) << host;
  }
  EXPECT_FALSE(client_->Get("/api/texts", Headers())->has_header("Access-Control-Allow-Origin"));
  // The printed address sets the cookie, which is the token thereafter.
  const httplib::Result first = client_->Get("/?token=" + token_);
  ASSERT_EQ(first->status, 303);
  const std::string cookie = first->get_header_value("Set-Cookie");
  EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
  EXPECT_NE(cookie.find("SameSite=Strict"), std::string::npos);
  const httplib::Result page = client_->Get("/", {{"Cookie", cookie.substr(0, cookie.find(';'))}});
  EXPECT_EQ(page->status, 200);
  EXPECT_NE(page->body.find("Pixtrel Studio"), std::string::npos);
  EXPECT_EQ(client_->Get("/?token=0123")->status, 403);
}

TEST_F(StudioTest, PathsStayInTheFolderAndOutputsOffTextsAndFonts) {
  struct Case {
    const char* api;
    std::vector<std::string> args;
    std::string named;
  };
  std::vector<Case> cases = {
      {"/api/export", {"-o", "../out.bin", "menu.txt"}, "../out.bin"},
      {"/api/preview", {"/etc/hostname"}, "/etc/hostname"},
      {"/api/preview", {"--font", "../wqy.ttc", "menu.txt"}, "../wqy.ttc"},
      {"/api/export", {"-o", "menu.txt", "wqy.ttc"}, "menu.txt"},
      {"/api/export", {"--font", "wqy.ttc", "--format", "lvgl", "-o", "wqy.ttc", "menu.txt"}, "wqy.ttc"},
      {"/api/export", {"--png", "menu.txt", "-o", "made/x.bin", "menu.txt"}, "menu.txt"},
  };
  if (!program_) {  // Wine does not show a Windows program a POSIX link for one.
    std::filesystem::create_directory_symlink("/etc", dir_ / "etc");
    testing::WriteFile(dir_ / "notes.txt", "x");
    std::filesystem::create_symlink("notes.txt", dir_ / "link.h");  // Replacing it would replace the text.
    cases.push_back({"/api/preview", {"etc/hostname"}, "etc/hostname"});
    cases.push_back({"/api/export", {"--format", "h", "-o", "link.h", "menu.txt"}, "link.h"});
  }
  for (const Case& refused : cases) {
    const auto [status, error] = Refusal(refused.api, refused.args);
    EXPECT_EQ(status, 403) << refused.named;
    EXPECT_EQ(error.rfind(refused.named + ": ", 0), 0u) << error;
  }
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.txt"), kMenu);
  // An installed font and a shipped set go by their names.
  EXPECT_EQ(Refusal("/api/preview", {"--data-dir", "efont-12", "menu.txt"}).first, 200);
}

TEST_F(StudioTest, BadRequestsGetTheCommandsOwnMessage) {
  EXPECT_EQ(Refusal("/api/preview", {"--bogus", "menu.txt"}),
            std::make_pair(400, std::string("unknown option --bogus")));
  EXPECT_EQ(Refusal("/api/preview", {"--list-fonts"}).first, 400);
  EXPECT_EQ(client_->Post("/api/preview", Headers(), "{\"args\": [", "application/json")->status, 400);
  EXPECT_EQ(client_->Post("/api/preview", Headers(), "{\"args\": [1]}", "application/json")->status, 400);
  EXPECT_EQ(client_->Post("/api/preview", Headers(), "{\"json\": \"yes\"}", "application/json")->status, 400);
  EXPECT_EQ(Refusal("/api/export", {"-o", "-", "menu.txt"}).first, 400);
  const httplib::Result large =
      client_->Post("/api/preview", Headers(), std::string(StudioServer::kLargestBody + 1, ' '), "application/json");
  ASSERT_TRUE(large);
  EXPECT_EQ(large->status, 400);
  // A saved text never replaces a file.
  EXPECT_EQ(Post("/api/texts", {{"path", "new.txt"}, {"text", "新"}}).first, 200);
  EXPECT_EQ(Post("/api/texts", {{"path", "new.txt"}, {"text", "x"}}).first, 409);
  EXPECT_EQ(Post("/api/texts", {{"path", "../new.txt"}, {"text", "x"}}).first, 403);
  EXPECT_EQ(Post("/api/texts", {{"path", std::string("new\0.txt", 8)}, {"text", "x"}}).first, 403);
  EXPECT_EQ(testing::ReadFile(dir_ / "new.txt"), "新");
}

}  // namespace
}  // namespace pixtrel
