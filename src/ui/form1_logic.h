#pragma once

#include <optional>
#include <string>

#include "extract/extractor.h"
#include "extract/window_operations.h"

namespace pixtrel {

/// A rectangle of the window in twips: left, top, width, height.
struct TwipsRect {
  int left, top, width, height;
};

/// The window's fixed geometry and texts, which every toolkit shows alike.
namespace form1 {
inline constexpr char kCaption[] = "8*16字模前端 060408 (by velk)";
inline constexpr char kOpenCaption[] = "打开「码表文件」";
inline constexpr char kStartCaption[] = "开始";
/// The Open dialog's filter, "description|pattern" pairs joined by "|".
inline constexpr char kFilter[] = "码表文件(*.tbl)|*.tbl|文本文件(*.txt)|*.txt";
/// The client area the controls are laid out in, and the outer size the size rule holds.
inline constexpr int kClientWidth = 4680, kClientHeight = 1200;
inline constexpr int kOuterWidth = 4800, kOuterHeight = 1605;
inline constexpr TwipsRect kText1{120, 120, 2655, 375};
inline constexpr TwipsRect kCommand2{2880, 120, 1695, 375};
inline constexpr TwipsRect kCommand1{1560, 720, 1575, 375};
/// Twips in pixels at `dpi` dots per inch: 15 twips a pixel at 96.
constexpr int Pixels(int twips, int dpi = 96) { return twips * dpi / 1440; }
}  // namespace form1

/// The window's Open dialog, CommonDialog1, with the settings the window
/// makes on it; a toolkit supplies the dialog itself.
class OpenDialog {
 public:
  virtual ~OpenDialog() = default;

  /// The name shown when the dialog opens; afterwards the name chosen, a
  /// path as the file system spells it.
  const std::string& FileName() const { return file_name_; }
  void SetFileName(std::string name) { file_name_ = std::move(name); }

  /// The filter, "description|pattern" pairs joined by "|".
  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string filter) { filter_ = std::move(filter); }

  /// The filter entry, counted from 1, selected when the dialog opens.
  int FilterIndex() const { return filter_index_; }
  void SetFilterIndex(int index) { filter_index_ = index; }

  /// Shows the modal Open dialog and returns when it is closed. Choosing a
  /// file sets FileName to its full path; cancelling leaves FileName as it was.
  virtual void ShowOpen() = 0;

 private:
  std::string file_name_;
  std::string filter_;
  int filter_index_ = 1;
};

/// The controls of the window as a toolkit supplies them.
class Form1Controls {
 public:
  virtual ~Form1Controls() = default;

  /// Shows `text`, a path as the file system spells it, in the path box Text1.
  virtual void SetText1Text(const std::string& text) = 0;

  /// Enables or disables the Start button, Command1.
  virtual void SetCommand1Enabled(bool enabled) = 0;

  /// Shows `caption` on Command1 at once, without a return to the event loop.
  virtual void SetCommand1Text(const std::string& caption) = 0;

  /// Shows `text` in a modal message box titled "Pixtrel", with an OK
  /// button only and no icon, and returns when it is dismissed.
  virtual void ShowMessage(const std::string& text) = 0;

  /// Closes the window and ends the program with status 1, once the event
  /// at hand returns.
  virtual void EndProgram() = 0;
};

/// What the size rule sets on a window: the outer width and height that
/// differ from those wanted, in pixels.
struct SizeChange {
  std::optional<int> width, height;
};

/// The window's logic, the same for every toolkit: its state (the store,
/// SourcePath, OutputPath), its events and ResetForm, over the controls and
/// the Open dialog a toolkit gives it.
class Form1Logic : public Extractor, public WindowOperations {
 public:
  /// A window whose data files lie in `program_dir`, the data files of the
  /// shipped sets guarded; not loaded. `controls` and `dialog` must outlive it.
  Form1Logic(const std::string& program_dir, Form1Controls& controls, OpenDialog& dialog);

  /// The load event: loads the glyph data, makes the Open dialog's settings
  /// and resets the window. On a failure it shows its message and returns
  /// false; the program then ends before the window is shown.
  bool Load();

  /// The click of Command1: runs the extraction; a failure is shown and
  /// ends the program.
  void Command1Click();

  /// The click of Command2: the choice of the source through the Open dialog.
  void Command2Click();

  /// The size rule for a window of `outer_width` x `outer_height` pixels
  /// that is to be `wanted_width` x `wanted_height` (form1::kOuterWidth x
  /// kOuterHeight at its resolution): nothing while it is minimized, else
  /// each size that differs.
  static SizeChange SizeRule(int outer_width, int outer_height, bool minimized, int wanted_width, int wanted_height);

  void EnableCommand1(bool enabled) override { controls_.SetCommand1Enabled(enabled); }
  void SetCommand1Caption(const std::string& caption) override { controls_.SetCommand1Text(caption); }
  void ShowMessageBox(const std::string& text) override { controls_.ShowMessage(text); }
  void ResetForm() override;

 private:
  Form1Controls& controls_;
  OpenDialog& dialog_;
};

}  // namespace pixtrel
