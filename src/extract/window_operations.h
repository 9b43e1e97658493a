#pragma once

#include <cstdint>
#include <string>

namespace pixtrel {

/// The four operations of the window that a run touches. The window does
/// them on its controls; pixtrel-extract and the tests do them their own way.
class WindowOperations {
 public:
  virtual ~WindowOperations() = default;

  /// Enables or disables the Start button, Command1.
  virtual void EnableCommand1(bool enabled) = 0;

  /// Shows `caption` on Command1 at once: the run does not return to the
  /// event loop between lines.
  virtual void SetCommand1Caption(const std::string& caption) = 0;

  /// Shows `text` in a modal message box and returns when it is dismissed.
  virtual void ShowMessageBox(const std::string& text) = 0;

  /// Returns the window to its idle state.
  virtual void ResetForm() = 0;
};

/// What a run tells of single characters, for those who want to know more
/// than the window shows. Calls come in source order; a line number counts
/// lines as a text editor does (a line ends at CR LF, CR or LF). Each call
/// does nothing unless overridden.
class CharacterReport {
 public:
  virtual ~CharacterReport() = default;

  /// The record of slot `slot` was appended to the glyph file for the
  /// double-byte character `code`, on line `line_number`.
  virtual void GlyphWritten(uint16_t /*slot*/, uint16_t /*code*/, int64_t /*line_number*/) {}

  /// A character that is not ASCII and got no glyph (a double-byte one the
  /// table lacks, or a single-byte one), on line `line_number`.
  virtual void MissingCharacter(uint16_t /*code*/, int64_t /*line_number*/) {}

  /// The source ended after `line_count` lines (a final line end starts no
  /// line; an empty source has none).
  virtual void SourceEnded(int64_t /*line_count*/) {}
};

}  // namespace pixtrel
