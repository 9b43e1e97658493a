#include "cli/missing_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace pixtrel {
namespace {

/// What `write` writes to a file.
template <class Write>
std::string WrittenBy(Write write) {
  std::FILE* out = std::tmpfile();
  write(out);
  std::string text(static_cast<size_t>(std::ftell(out)), '\0');
  std::rewind(out);
  text.resize(std::fread(text.data(), 1, text.size(), out));
  std::fclose(out);
  return text;
}

std::string Printed(const MissingReport& report, const std::string& charset) {
  return WrittenBy([&](std::FILE* out) { report.Print(out, "menu.txt", charset); });
}

/// `text` as messages are written to a file: on Windows in its code page.
std::string AsWritten(const std::string& text) {
  return WrittenBy([&](std::FILE* out) { WriteText(out, text); });
}

TEST(MissingReportTest, ListsEachCharacterOnceInTheOrderOfItsFirstOccurrence) {
  MissingReport report;
  report.MissingCharacter({0xCEC4, 0x6587}, 1, MissingCause::kNotInSet);
  report.MissingCharacter({kNoCp936Code, 0x1F600}, 2, MissingCause::kNotInSet);
  report.MissingCharacter({0x80, 0x20AC}, 2, MissingCause::kNotInSet);
  report.MissingCharacter({0xCEC4, 0x6587}, 3, MissingCause::kNotInSet);
  report.MissingCharacter({0xA1E6, 0x2103}, 4, MissingCause::kBlank);
  report.MissingCharacter({0xA95D, 0}, 5, MissingCause::kNotInSet);  // A code CP936 leaves unassigned.
  EXPECT_EQ(report.occurrences(), 6);
  EXPECT_EQ(Printed(report, "UTF-8"),
            AsWritten("menu.txt:1: missing \u6587 CP936 CEC4, 2 occurrences\n"
                      "menu.txt:2: missing \U0001F600 U+1F600 (no CP936 form), 1 occurrence\n"
                      "menu.txt:2: missing \u20AC CP936 80, 1 occurrence\n"
                      "menu.txt:4: missing \u2103 CP936 A1E6 (blank in the set), 1 occurrence\n"
                      "menu.txt:5: missing ? CP936 A95D, 1 occurrence\n"
                      "menu.txt: 5 characters missing, 6 occurrences\n"));
  EXPECT_EQ(Printed(report, "ASCII").substr(0, 30), "menu.txt:1: missing ? CP936 CE");
}

}  // namespace
}  // namespace pixtrel
