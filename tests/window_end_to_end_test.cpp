// The whole job through the window: the bundled sample chosen in the Open
// dialog, extracted with the built data files, checked against a plain
// reading of those files.

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

TEST(WindowEndToEndTest, ChooseTheSampleAndStart) {
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
  EXPECT_EQ(glyphs, testing::ExpectedGlyphs(PIXTREL_DATA_DIR, testing::ReadFile(dir / "menu.txt")));
  EXPECT_GT(glyphs.size(), 100 * 32u);
  EXPECT_TRUE(form.Text1->text().isEmpty());
  EXPECT_FALSE(form.Command1->isEnabled());
  EXPECT_EQ(form.Command1->text(), QStringLiteral("开始"));
}

}  // namespace
}  // namespace pixtrel
