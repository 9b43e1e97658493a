#pragma once

#include <QWidget>
#include <string>

#include "ui/form1_logic.h"
#include "ui/qt/common_dialog.h"

class QLineEdit;
class QPushButton;

/// The program's one window on Qt: the path box Text1, the Open button
/// Command2, the Start button Command1 and the Open dialog CommonDialog1,
/// over the window's logic. Its size is held at 320 x 107 pixels, frame
/// included.
class Form1 : public QWidget, private pixtrel::Form1Controls, public pixtrel::Form1Logic {
  Q_OBJECT

 public:
  /// The window's outer size in pixels.
  static constexpr int kOuterWidth = pixtrel::form1::Pixels(pixtrel::form1::kOuterWidth),
                       kOuterHeight = pixtrel::form1::Pixels(pixtrel::form1::kOuterHeight);

  /// A window whose data files lie in `program_dir`; not loaded, not shown.
  explicit Form1(const std::string& program_dir);

  QLineEdit* Text1;
  QPushButton* Command2;
  QPushButton* Command1;
  CommonDialog CommonDialog1;

 private slots:
  /// The click of Command1: runs the extraction.
  void Command1Clicked() { Command1Click(); }
  /// The click of Command2: chooses the source through the Open dialog.
  void Command2Clicked() { Command2Click(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void SetText1Text(const std::string& text) override;
  void SetCommand1Enabled(bool enabled) override;
  void SetCommand1Text(const std::string& caption) override;
  void ShowMessage(const std::string& text) override;
  void EndProgram() override;

  /// Keeps the outer size at kOuterWidth x kOuterHeight unless minimized.
  void ApplySizeRule();
};
