#include "ui/form1.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "platform/failure.h"

namespace {

constexpr int kTwipsPerPixel = 15;

/// A rectangle given in twips, in pixels.
QRect FromTwips(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
}

QString Decode(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace

const QString Form1::kFilter = QStringLiteral("码表文件(*.tbl)|*.tbl|文本文件(*.txt)|*.txt");

Form1::Form1(std::string program_dir)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      Extractor(program_dir),
      Text1(new QLineEdit(this)),
      Command2(new QPushButton(QStringLiteral("打开「码表文件」"), this)),
      Command1(new QPushButton(QStringLiteral("开始"), this)),
      CommonDialog1(this) {
  GuardShippedSets(program_dir);
  setWindowTitle(QStringLiteral("8*16字模前端 060408 (by velk)"));
  resize(4680 / kTwipsPerPixel, 1200 / kTwipsPerPixel);
  Text1->setGeometry(FromTwips(120, 120, 2655, 375));
  Command2->setGeometry(FromTwips(2880, 120, 1695, 375));
  Command1->setGeometry(FromTwips(1560, 720, 1575, 375));
  Text1->setReadOnly(true);
  setTabOrder(Command2, Command1);
  setTabOrder(Command1, Text1);
  Command2->setFocus();
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2Clicked);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1Clicked);
}

bool Form1::Load() {
  try {
    LoadGlyphData();
    CommonDialog1.SetFilter(kFilter);
    CommonDialog1.SetFilterIndex(1);
    ResetForm();
    return true;
  } catch (const pixtrel::Failure& failure) {
    ShowMessageBox(failure.what());
    return false;
  }
}

void Form1::ResetForm() {
  CommonDialog1.SetFileName(QString());
  Text1->setText(QString());
  EnableCommand1(false);
  SetCommand1Caption("开始");
}

void Form1::Command1Clicked() {
  try {
    Run(*this);
  } catch (const pixtrel::Failure& failure) {
    EndWithFailure(failure);
  }
}

void Form1::Command2Clicked() {
  CommonDialog1.ShowOpen();
  SourcePath = QFile::encodeName(CommonDialog1.FileName()).toStdString();
  if (std::optional<std::string> refusal = SourceRefusal(SourcePath)) {
    ShowMessageBox(*refusal);
    ResetForm();
  } else if (!SourcePath.empty()) {
    MakeOutputPath();
    Text1->setText(CommonDialog1.FileName());
    EnableCommand1(true);
  }
}

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplySizeRule();
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Restoring a minimized window resizes it on some platforms only.
  if (event->type() == QEvent::WindowStateChange) ApplySizeRule();
}

void Form1::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // A window manager's frame is known only once it has framed the window, which moves it.
  ApplySizeRule();
}

void Form1::ApplySizeRule() {
  if (isMinimized()) return;
  // Each size is set whenever it differs: the fixed size alone does not
  // bring back a window that was resized from outside.
  if (frameGeometry().width() != kOuterWidth) {
    const int width = this->width() + kOuterWidth - frameGeometry().width();
    setFixedWidth(width);
    resize(width, height());
  }
  if (frameGeometry().height() != kOuterHeight) {
    const int height = this->height() + kOuterHeight - frameGeometry().height();
    setFixedHeight(height);
    resize(width(), height);
  }
}

void Form1::EnableCommand1(bool enabled) { Command1->setEnabled(enabled); }

void Form1::SetCommand1Caption(const std::string& caption) {
  Command1->setText(QString::fromStdString(caption));
  Command1->repaint();  // The run does not return to the event loop between lines.
}

void Form1::ShowMessageBox(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Pixtrel"), Decode(text), QMessageBox::Ok, this);
  box.button(QMessageBox::Ok)->setIcon(QIcon());  // A plain box: no icon on its button either, whatever the style.
  box.exec();
}

void Form1::EndWithFailure(const pixtrel::Failure& failure) {
  ShowMessageBox(failure.what());
  hide();
  QCoreApplication::exit(1);
}
