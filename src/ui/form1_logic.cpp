#include "ui/form1_logic.h"

#include "platform/failure.h"

namespace pixtrel {

Form1Logic::Form1Logic(const std::string& program_dir, Form1Controls& controls, OpenDialog& dialog)
    : Extractor(program_dir), controls_(controls), dialog_(dialog) {
  GuardShippedSets(program_dir);
}

bool Form1Logic::Load() {
  try {
    LoadGlyphData();
    dialog_.SetFilter(form1::kFilter);
    dialog_.SetFilterIndex(1);
    ResetForm();
    return true;
  } catch (const Failure& failure) {
    ShowMessageBox(failure.what());
    return false;
  }
}

void Form1Logic::ResetForm() {
  dialog_.SetFileName("");
  controls_.SetText1Text("");
  EnableCommand1(false);
  SetCommand1Caption(form1::kStartCaption);
}

void Form1Logic::Command1Click() {
  try {
    Run(*this);
  } catch (const Failure& failure) {
    ShowMessageBox(failure.what());
    controls_.EndProgram();
  }
}

void Form1Logic::Command2Click() {
  dialog_.ShowOpen();
  SourcePath = dialog_.FileName();
  if (std::optional<std::string> refusal = SourceRefusal(SourcePath)) {
    ShowMessageBox(*refusal);
    ResetForm();
  } else if (!SourcePath.empty()) {
    MakeOutputPath();
    controls_.SetText1Text(SourcePath);
    EnableCommand1(true);
  }
}

SizeChange Form1Logic::SizeRule(int outer_width, int outer_height, bool minimized, int wanted_width,
                                int wanted_height) {
  SizeChange change;
  if (minimized) return change;
  if (outer_width != wanted_width) change.width = wanted_width;
  if (outer_height != wanted_height) change.height = wanted_height;
  return change;
}

}  // namespace pixtrel
