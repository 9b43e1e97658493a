#include "glyphdata/cp936.h"

#include <gtest/gtest.h>

namespace pixtrel {
namespace {

TEST(Cp936Test, LastCharacterOfALine) {
  EXPECT_EQ(LastCharacter("B0A1 \xB0\xA1"), "\xB0\xA1");
  EXPECT_EQ(LastCharacter("\xB0\xA1 "), " ");  // A trailing space is the character.
  EXPECT_EQ(LastCharacter("ab"), "b");
  EXPECT_EQ(LastCharacter(""), "");
}

TEST(Cp936Test, TrailBytesThatLookLikeLeadBytes) {
  // "\xB0\xB0\xA1": 0xB0 0xB0 is one character, 0xA1 a lone lead byte.
  EXPECT_EQ(LastCharacter("\xB0\xB0\xA1"), "\xA1");
  // A lead byte followed by a byte that cannot trail is a single-byte character.
  EXPECT_EQ(LastCharacter("\xB0\x7F"), "\x7F");
  EXPECT_EQ(LastCharacter("x\x81\x40"), "\x81\x40");
}

TEST(Cp936Test, BytesThatAreNeverLeadBytes) {
  EXPECT_EQ(LastCharacter("\x80\xA1"), "\xA1");
  EXPECT_EQ(LastCharacter("\xFF\xA1"), "\xA1");
  EXPECT_EQ(CharacterLength("\xFE\xFE", 0), 2u);
  EXPECT_EQ(CharacterLength("\xFE\xFF", 0), 1u);
}

}  // namespace
}  // namespace pixtrel
