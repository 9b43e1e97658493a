#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "extract/extractor.h"
#include "ui/common_dialog.h"

class QLineEdit;
class QPushButton;

/// The program's one window: the path box Text1, the Open button Command2,
/// the Start button Command1 and the Open dialog CommonDialog1, over the
/// program's state. Its size is held at 320 x 107 pixels, frame included.
class Form1 : public QWidget, public pixtrel::Extractor {
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

  void ResetForm() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

  void EnableCommand1(bool enabled) override;
  void SetCommand1Caption(const std::string& caption) override;
  void ShowMessageBox(const std::string& text) override;

 private:
  /// The click of Command2: chooses the source through the Open dialog.
  void SelectSource();
  /// Keeps the outer size at kOuterWidth x kOuterHeight unless minimized.
  void ApplySizeRule();
  /// Runs one event's work; a failure is shown in a message box and false returned.
  bool Guarded(const std::function<void()>& work);
  /// Runs a click's work; a failure ends the program with status 1.
  void Click(const std::function<void()>& work);
};
