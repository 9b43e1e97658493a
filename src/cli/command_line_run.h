#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "cli/missing_report.h"
#include "extract/extractor.h"

namespace pixtrel {

/// A run without a window: captions become progress lines on a stream, the
/// message box's text is kept for the caller to print, and the Start button
/// and the reset have nothing to act on.
class CommandLineRun : public Extractor {
 public:
  /// A run whose data files lie in `data_dir`. Progress goes to `progress`,
  /// or nowhere when it is null: rewriting one line when `progress` is a
  /// terminal, one caption a line otherwise. The characters that get no
  /// glyph are counted into `missing` when it is not null.
  CommandLineRun(std::string data_dir, std::FILE* progress, MissingReport* missing);

  /// Reads SourcePath as UTF-8 converted to CP936 in the run to come; opens
  /// and checks it now. Throws Failure naming the file (and the line of an
  /// ill-formed sequence).
  void OpenUtf8Source();

  /// The text of the last message box.
  const std::string& message() const { return message_; }

  /// Ends a progress line being rewritten, so that what follows starts on a
  /// line of its own.
  void EndProgressLine();

 protected:
  void EnableCommand1(bool enabled) override;
  void SetCommand1Caption(const std::string& caption) override;
  void ShowMessageBox(const std::string& text) override;
  void ResetForm() override;
  std::unique_ptr<ByteSource> OpenSource() override;
  void MissingCharacter(uint16_t code, int64_t line_number) override;

 private:
  std::FILE* progress_;
  MissingReport* missing_;
  std::unique_ptr<ByteSource> source_;  ///< Opened before the run, or none to open SourcePath then.
  bool rewrite_line_;
  bool line_open_ = false;
  std::string message_;
};

}  // namespace pixtrel
