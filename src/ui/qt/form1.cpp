#include "ui/qt/form1.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

namespace form1 = pixtrel::form1;

/// A control's rectangle, given in twips, in pixels.
QRect Pixels(const pixtrel::TwipsRect& twips) {
  return QRect(form1::Pixels(twips.left), form1::Pixels(twips.top), form1::Pixels(twips.width),
               form1::Pixels(twips.height));
}

QString Decode(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

}  // namespace

Form1::Form1(const std::string& program_dir)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      Form1Logic(program_dir, *this, CommonDialog1),
      Text1(new QLineEdit(this)),
      Command2(new QPushButton(QString::fromUtf8(form1::kOpenCaption), this)),
      Command1(new QPushButton(QString::fromUtf8(form1::kStartCaption), this)),
      CommonDialog1(this) {
  setWindowTitle(QString::fromUtf8(form1::kCaption));
  resize(form1::Pixels(form1::kClientWidth), form1::Pixels(form1::kClientHeight));
  Text1->setGeometry(Pixels(form1::kText1));
  Command2->setGeometry(Pixels(form1::kCommand2));
  Command1->setGeometry(Pixels(form1::kCommand1));
  Text1->setReadOnly(true);
  setTabOrder(Command2, Command1);
  setTabOrder(Command1, Text1);
  Command2->setFocus();
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2Clicked);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1Clicked);
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
  const pixtrel::SizeChange change =
      SizeRule(frameGeometry().width(), frameGeometry().height(), isMinimized(), kOuterWidth, kOuterHeight);
  // Each size is set whenever it differs: the fixed size alone does not
  // bring back a window that was resized from outside.
  if (change.width) {
    const int width = this->width() + *change.width - frameGeometry().width();
    setFixedWidth(width);
    resize(width, height());
  }
  if (change.height) {
    const int height = this->height() + *change.height - frameGeometry().height();
    setFixedHeight(height);
    resize(width(), height);
  }
}

void Form1::SetText1Text(const std::string& text) { Text1->setText(Decode(text)); }

void Form1::SetCommand1Enabled(bool enabled) { Command1->setEnabled(enabled); }

void Form1::SetCommand1Text(const std::string& caption) {
  Command1->setText(QString::fromStdString(caption));
  Command1->repaint();  // The run does not return to the event loop between lines.
}

void Form1::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Pixtrel"), Decode(text), QMessageBox::Ok, this);
  box.button(QMessageBox::Ok)->setIcon(QIcon());  // A plain box: no icon on its button either, whatever the style.
  box.exec();
}

void Form1::EndProgram() {
  hide();
  QCoreApplication::exit(1);
}
