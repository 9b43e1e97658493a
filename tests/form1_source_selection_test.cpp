// Choosing the source through the real Open dialog: the click of Command2.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "test_support.h"
#include "ui/qt/form1.h"
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
    EXPECT_TRUE(form_->CommonDialog1.FileName().empty());
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
            QString::fromStdString((dir_ / "menu.bin") + ": The glyph file would overwrite its own source"));
  ExpectIdle();
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), kAh);
}

}  // namespace
}  // namespace pixtrel
