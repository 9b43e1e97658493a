#include "ui/qt/form1.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "test_support.h"
#include "ui/qt/qt_translations.h"
#include "window_test_support.h"

namespace pixtrel {
namespace {

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() { testing::WriteDataFiles(dir_); }

  std::unique_ptr<Form1> ShownForm() { return testing::ShownForm(dir_.path()); }

  testing::TempDir dir_;
};

TEST_F(Form1Test, StartsIdleWithItsTextsAndLayout) {
  auto form = ShownForm();
  EXPECT_EQ(form->windowTitle(), QStringLiteral("8*16字模前端 060408 (by velk)"));
  EXPECT_EQ(form->Command2->text(), QStringLiteral("打开\u300C码表文件\u300D"));
  EXPECT_EQ(form->Command1->text(), QStringLiteral("开始"));
  EXPECT_FALSE(form->Command1->isEnabled());
  EXPECT_TRUE(form->Command2->isEnabled());
  EXPECT_TRUE(form->Text1->text().isEmpty());
  EXPECT_TRUE(form->Text1->isReadOnly());
  EXPECT_EQ(form->Text1->geometry(), QRect(8, 8, 177, 25));
  EXPECT_EQ(form->Command2->geometry(), QRect(192, 8, 113, 25));
  EXPECT_EQ(form->Command1->geometry(), QRect(104, 48, 105, 25));
  EXPECT_EQ(form->frameGeometry().size(), QSize(Form1::kOuterWidth, Form1::kOuterHeight));
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);

  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  EXPECT_EQ(QApplication::focusWidget(), form->Command2);
  form->Command1->setEnabled(true);
  for (QWidget* next : {static_cast<QWidget*>(form->Command1), static_cast<QWidget*>(form->Text1),
                        static_cast<QWidget*>(form->Command2)}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
  }

  EXPECT_EQ(form->CommonDialog1.NameFilters(),
            (QStringList{QStringLiteral("码表文件(*.tbl)"), QStringLiteral("文本文件(*.txt)")}));
}

TEST_F(Form1Test, ResetFormReturnsToIdle) {
  auto form = ShownForm();
  form->CommonDialog1.SetFileName("/somewhere/menu.txt");
  form->Text1->setText("/somewhere/menu.txt");
  form->Command1->setEnabled(true);
  form->Command1->setText("100%");
  form->ResetForm();
  EXPECT_TRUE(form->CommonDialog1.FileName().empty());
  EXPECT_TRUE(form->Text1->text().isEmpty());
  EXPECT_FALSE(form->Command1->isEnabled());
  EXPECT_EQ(form->Command1->text(), QStringLiteral("开始"));
}

TEST_F(Form1Test, KeepsItsSizeExceptWhenMinimized) {
  auto form = ShownForm();
  const QSize outer(Form1::kOuterWidth, Form1::kOuterHeight);
  form->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);  // As a window manager might ignore the size hints.
  form->setMinimumSize(0, 0);
  form->resize(500, 300);
  EXPECT_EQ(form->frameGeometry().size(), outer);

  form->showMinimized();
  form->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  form->setMinimumSize(0, 0);
  form->resize(500, 300);
  EXPECT_EQ(form->size(), QSize(500, 300));
  form->showNormal();
  EXPECT_EQ(form->frameGeometry().size(), outer);
}

TEST_F(Form1Test, StartRunsTheExtractionAndReturnsToIdle) {
  auto form = ShownForm();
  testing::WriteFile(dir_ / "menu.txt", testing::kZhong + "\r\n");
  form->SourcePath = dir_ / "menu.txt";
  form->MakeOutputPath();
  form->Text1->setText(QString::fromStdString(form->SourcePath));
  form->Command1->setEnabled(true);
  QString message;
  auto watch = testing::CaptureMessage(&message);
  QTest::mouseClick(form->Command1, Qt::LeftButton);
  EXPECT_EQ(message, "Over !");
  EXPECT_EQ(testing::ReadFile(dir_ / "menu.bin"), testing::TestRecord(2));
  EXPECT_FALSE(form->Command1->isEnabled());
  EXPECT_EQ(form->Command1->text(), QStringLiteral("开始"));
  EXPECT_TRUE(form->Text1->text().isEmpty());
  EXPECT_TRUE(form->isVisible());
}

/// A style that puts icons on the buttons of dialogs, as some desktops' do.
class IconsOnDialogButtons : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

TEST_F(Form1Test, MessageBoxesAreOfTheDesktopsLanguageButPlain) {
  QApplication::setStyle(new IconsOnDialogButtons);
  ASSERT_TRUE(InstallQtTranslations(QLocale(QLocale::Chinese, QLocale::China)));
  auto form = ShownForm();
  bool plain = false;
  QString ok;
  auto watch = testing::WhenShown<QMessageBox>([&](QMessageBox* box) {
    plain = box->button(QMessageBox::Ok)->icon().isNull();
    ok = box->button(QMessageBox::Ok)->text();
    box->accept();
  });
  form->ShowMessageBox("Over !");
  EXPECT_TRUE(plain);
  EXPECT_EQ(ok, QStringLiteral("确定"));  // Qt's own text, as Chinese Windows shows it.
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("打开"));
  QApplication::setStyle(QStringLiteral("Fusion"));
}

TEST_F(Form1Test, AFailedRunIsReportedAndEndsTheProgram) {
  auto form = ShownForm();
  form->SourcePath = dir_ / "gone.txt";
  form->MakeOutputPath();
  form->Command1->setEnabled(true);
  QString message;
  auto watch = testing::CaptureMessage(&message);
  // Clicked from inside the application's loop, as in the program, so its exit status is seen.
  QTimer::singleShot(0, [&form] { QTest::mouseClick(form->Command1, Qt::LeftButton); });
  EXPECT_EQ(QApplication::exec(), 1);
  EXPECT_EQ(message, QString::fromStdString((dir_ / "gone.txt") + ": No such file or directory"));
  EXPECT_FALSE(form->isVisible());
}

TEST_F(Form1Test, ALoadFailureEndsBeforeTheWindowShows) {
  std::filesystem::remove(dir_ / "GB2312.tbl");
  Form1 form(dir_.path());
  QString message;
  auto watch = testing::CaptureMessage(&message);
  EXPECT_FALSE(form.Load());
  EXPECT_EQ(message, QString::fromStdString((dir_ / "GB2312.tbl") + ": No such file or directory"));
  EXPECT_FALSE(form.isVisible());
}

}  // namespace
}  // namespace pixtrel
