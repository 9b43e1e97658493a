// The whole job through the window: the bundled sample chosen in the Open
// dialog, extracted with the built data files, checked against a plain
// reading of those files.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <map>

#include "test_support.h"
#include "ui/qt/form1.h"
#include "window_test_support.h"

namespace pixtrel {
namespace {

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
  EXPECT_EQ(glyphs, ExpectedGlyphs(PIXTREL_DATA_DIR, testing::ReadFile(dir / "menu.txt")));
  EXPECT_GT(glyphs.size(), 100 * 32u);
  EXPECT_TRUE(form.Text1->text().isEmpty());
  EXPECT_FALSE(form.Command1->isEnabled());
  EXPECT_EQ(form.Command1->text(), QStringLiteral("开始"));
}

}  // namespace
}  // namespace pixtrel
