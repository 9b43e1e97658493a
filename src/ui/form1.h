#pragma once

#include <QWidget>
#include <string>

#include "extract/extractor.h"
#include "extract/window_operations.h"
#include "platform/failure.h"
#include "ui/common_dialog.h"

class QLineEdit;
class QPushButton;

/// The program's one window: the path box Text1, the Open button Command2,
/// the Start button Command1 and the Open dialog CommonDialog1, over the
/// program's state. Its size is held at 320 x 107 pixels, frame included.
class Form1 : public QWidget, public pixtrel::Extractor, public pixtrel::WindowOperations {
  Q_OBJECT

 public:
  /// The window's outer size in pixels (4800 x 1605 twips).
  static constexpr int kOuterWidth = 320, kOuterHeight = 107;
  /// The Open dialog's filter.
  static const QString kFilter;

  /// A window whose data files lie in `program_dir`; not loaded, not shown.
  explicit Form1(std::string program_dir);

  /// The load event: loads the glyph data, makes the Open dialog's settings
  /// and resets the window. On a failure it shows its message and returns
  /// false; the program then ends before the window is shown.
  bool Load();

  QLineEdit* Text1;
  QPushButton* Command2;
  QPushButton* Command1;
  CommonDialog CommonDialog1;

  void EnableCommand1(bool enabled) override;
  void SetCommand1Caption(const std::string& caption) override;
  void ShowMessageBox(const std::string& text) override;
  void ResetForm() override;

 private slots:
  /// The click of Command1: runs the extraction.
  void Command1Clicked();
  /// The click of Command2: chooses the source through the Open dialog.
  void Command2Clicked();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  /// Keeps the outer size at kOuterWidth x kOuterHeight unless minimized.
  void ApplySizeRule();
  /// Reports the failure that ended a click and ends the program with status 1.
  void EndWithFailure(const pixtrel::Failure& failure);
};
