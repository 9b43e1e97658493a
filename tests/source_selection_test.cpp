// Choosing the source through the real Open dialog.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <map>

#include "test_support.h"
#include "ui/form1.h"
#include "window_test_support.h"

namespace pixtrel {
namespace {

using testing::kAh;

class SourceSelectionTest : public ::testing::Test {
 protected:
  SourceSelectionTest() {
    testing::WriteDataFiles(dir_);
    Open(dir_.path());
  }

  /// Replaces the window by one whose program directory is `program_dir`.
  void Open(const std::string& program_dir) { form_ = testing::ShownForm(program_dir); }

  /// Clicks Open and chooses `path`; returns the message shown, if any.
  QString Choose(const std::string& path) {
    QString message;
    auto choice = testing::ChooseInDialog(QString::fromStdString(path));
    auto watch = testing::CaptureMessage(&message);
    QTest::mouseClick(form_->Command2, Qt::LeftButton);
    return message;
  }

  void ExpectIdle() {
    EXPECT_TRUE(form_->Text1->text().isEmpty());
    EXPECT_FALSE(form_->Command1->isEnabled());
    EXPECT_TRUE(form_->CommonDialog1.FileName().isEmpty());
  }

  void ExpectReady(const std::string& source, const std::string& output) {
    EXPECT_EQ(form_->SourcePath, source);
    EXPECT_EQ(form_->OutputPath, output);
    EXPECT_EQ(form_->Text1->text(), QString::fromStdString(source));
    EXPECT_TRUE(form_->Command1->isEnabled());
  }

  testing::TempDir dir_;
  std::unique_ptr<Form1> form_;
};

TEST_F(SourceSelectionTest, AcceptsAChosenText) {
  testing::WriteFile(dir_ / "menu.txt", kAh);
  EXPECT_EQ(Choose(dir_ / "menu.txt"), "");
  ExpectReady(dir_ / "menu.txt", dir_ / "menu.bin");

  std::filesystem::create_directory(dir_ / "other");
  testing::WriteFile(dir_ / "other/GB2312.tbl", kAh);
  EXPECT_EQ(Choose(dir_ / "other/GB2312.tbl"), "");
  ExpectReady(dir_ / "other/GB2312.tbl", dir_ / "other/GB2312.bin");
}

TEST_F(SourceSelectionTest, CancellingKeepsTheDialogsName) {
  {
    auto cancel = testing::CancelDialog();
    QTest::mouseClick(form_->Command2, Qt::LeftButton);
  }
  EXPECT_EQ(form_->SourcePath, "");
  ExpectIdle();

  testing::WriteFile(dir_ / "menu.txt", kAh);
  Choose(dir_ / "menu.txt");
  form_->OutputPath.clear();
  auto cancel = testing::CancelDialog();
  QTest::mouseClick(form_->Command2, Qt::LeftButton);
  ExpectReady(dir_ / "menu.txt", dir_ / "menu.bin");  // The same choice, derived again.
}

TEST_F(SourceSelectionTest, RefusesTheDataFilesInEveryForm) {
  testing::WriteFile(dir_ / "menu.txt", kAh);
  Choose(dir_ / "menu.txt");
  std::filesystem::create_symlink(dir_ / "GB2312.tbl", dir_ / "link.tbl");
  std::filesystem::create_hard_link(dir_ / "GB2312.bin", dir_ / "hard.txt");
  testing::WriteFile(dir_ / "GB2312.txt", kAh);
  for (const char* name : {"GB2312.tbl", "GB2312.bin", "link.tbl", "hard.txt", "GB2312.txt"}) {
    EXPECT_EQ(Choose(dir_ / name), "Dont't touch the backup !") << name;
    EXPECT_EQ(form_->SourcePath, dir_ / name);
    EXPECT_EQ(form_->OutputPath, dir_ / "menu.bin");  // Left from the last accepted choice.
    ExpectIdle();
  }
  EXPECT_EQ(testing::ReadFile(dir_ / "GB2312.bin"), testing::TestFont());
}

TEST_F(SourceSelectionTest, RefusesDataFilesWhenTheProgramDirectoryEndsInASeparator) {
  Open(dir_.path() + "/");
  EXPECT_EQ(Choose(dir_ / "GB2312.tbl"), "Dont't touch the backup !");
  ExpectIdle();
}

TEST_F(SourceSelectionTest, RefusesASourceThatWouldBeItsOwnGlyphFile) {
  testing::WriteFile(dir_ / "menu.bin", kAh);
  EXPECT_EQ(Choose(dir_ / "menu.bin"),
            QString::fromStdString("The glyph file would overwrite its own source: " + (dir_ / "menu.bin")));
  ExpectIdle();
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), kAh);
}

/// The glyph file of `text`, worked out from the data files in `data_dir`.
std::string ExpectedGlyphs(const std::string& data_dir, const std::string& text) {
  const std::string font = testing::ReadFile(data_dir + "/GB2312.bin");
  const std::string table = testing::ReadFile(data_dir + "/GB2312.tbl");
  std::map<std::string, size_t> slot_of;
  size_t slot = 0;
  for (size_t start = 0, end; (end = table.find("\r\n", start)) != std::string::npos; start = end + 2, ++slot)
    if (end - start >= 2) slot_of.emplace(table.substr(end - 2, 2), slot);
  std::string glyphs;
  for (size_t i = 0; i < text.size(); ++i) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 == text.size()) continue;
    auto found = slot_of.find(text.substr(i++, 2));
    if (found != slot_of.end()) glyphs += font.substr(found->second * 32, 32);
  }
  return glyphs;
}

TEST(EndToEndTest, ChooseTheSampleAndStart) {
  pixtrel::testing::TempDir dir;
  std::filesystem::copy_file(PIXTREL_SAMPLES "/menu.txt", dir / "menu.txt");
  std::unique_ptr<Form1> shown = testing::ShownForm(PIXTREL_DATA_DIR);
  Form1& form = *shown;
  QString message;
  auto choice = testing::ChooseInDialog(QString::fromStdString(dir / "menu.txt"));
  QTest::mouseClick(form.Command2, Qt::LeftButton);
  ASSERT_TRUE(form.Command1->isEnabled());
  auto watch = testing::CaptureMessage(&message);
  QTest::mouseClick(form.Command1, Qt::LeftButton);
  EXPECT_EQ(message, "Over !");
  const std::string glyphs = testing::ReadFile(dir / "menu.bin");
  EXPECT_EQ(glyphs, ExpectedGlyphs(PIXTREL_DATA_DIR, testing::ReadFile(dir / "menu.txt")));
  EXPECT_GT(glyphs.size(), 100 * 32u);
  EXPECT_TRUE(form.Text1->text().isEmpty());
  EXPECT_FALSE(form.Command1->isEnabled());
  EXPECT_EQ(form.Command1->text(), QStringLiteral("开始"));
}

}  // namespace
}  // namespace pixtrel
