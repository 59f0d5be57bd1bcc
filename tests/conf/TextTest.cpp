// The text helpers and the line splitter.
#include "Text.h"
#include "LevelFile.h"

#include <gtest/gtest.h>

namespace {

TEST(TextTest, TrimDropsControlBytesAndSpacesAtBothEnds)
{
  EXPECT_EQ(TrimText(" \t\x01 a b \r\n\x1f"), "a b");
  EXPECT_EQ(TrimText(std::string("\0x\0", 3)), "x");
  EXPECT_EQ(TrimText(" \t\n "), "");
  EXPECT_EQ(TrimText(""), "");
  EXPECT_EQ(TrimText("\xA0x\xA0"), "\xA0x\xA0"); // bytes above 32 stay
}

TEST(TextTest, LowerChangesOnlyAsciiAndLatinCapitals)
{
  EXPECT_EQ(LowerText("AbZ@[`{"), "abz@[`{");
  EXPECT_EQ(LowerText("\xC0\xDF\xBF\xE0\xFF"), "\xE0\xFF\xBF\xE0\xFF");
}

TEST(TextTest, IntToTextIsPlainDecimal)
{
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-12), "-12");
  EXPECT_EQ(IntToText(1024), "1024");
  EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
}

TEST(TextTest, TextToIntReadsDecimalAndHexAndNeverFails)
{
  EXPECT_EQ(TextToInt(""), 0);
  EXPECT_EQ(TextToInt("12"), 12);
  EXPECT_EQ(TextToInt("-12"), -12);
  EXPECT_EQ(TextToInt("+12"), 12);
  EXPECT_EQ(TextToInt("-12x"), 12); // stopped early: the magnitude without its sign
  EXPECT_EQ(TextToInt("$FF"), 255);
  EXPECT_EQ(TextToInt("0x1f"), 31);
  EXPECT_EQ(TextToInt("X10"), 16);
  EXPECT_EQ(TextToInt("-$10"), -16);
  EXPECT_EQ(TextToInt(" 7"), 7);
  EXPECT_EQ(TextToInt("\t7"), 0); // only spaces are skipped
  EXPECT_EQ(TextToInt("abc"), 0);
  EXPECT_EQ(TextToInt("-"), 0);
  EXPECT_EQ(TextToInt("$"), 0);
  EXPECT_EQ(TextToInt("7 "), 7);
  EXPECT_EQ(TextToInt("2147483647"), 2147483647);
  EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(TextToInt("99999999999999999999"), INT32_MAX); // far outside: saturates
}

TEST(TextTest, LinesSplitAtLineFeedsAndDropCarriageReturns)
{
  TTextLines L(std::string("a\r\nb\rc\n\nlast"));
  EXPECT_EQ(L.ReadLine(), "a");
  EXPECT_EQ(L.ReadLine(), "bc");
  EXPECT_EQ(L.ReadLine(), "");
  EXPECT_FALSE(L.AtEnd());
  EXPECT_EQ(L.ReadLine(), "last");
  EXPECT_TRUE(L.AtEnd());
  EXPECT_EQ(L.ReadLine(), ""); // past the end: empty lines

  TTextLines Ended(std::string("x\n\x1ay\n"));
  EXPECT_EQ(Ended.ReadLine(), "x");
  EXPECT_TRUE(Ended.AtEnd());

  TTextLines Empty{std::string()};
  EXPECT_TRUE(Empty.AtEnd());
}

// A header line's text after the size bytes: the rules never read it, the
// program shows its title.
TEST(LevelFileTest, HeaderFieldsAreReadOnlyWhenAskedFor)
{
  TTextLines Lines(std::string("\x02\n\x03\x01Title: Porch\tAuthor: A: B\n123\n\x03\x01Title:\tTitle: x\n456\n"));
  TLevelFileReader Reader(Lines);
  ASSERT_EQ(Reader.ReadCount(), 2);
  std::string Fields = "old";
  const auto First = Reader.ReadHeader(&Fields);
  ASSERT_TRUE(First);
  EXPECT_EQ(First->Width, 3);
  EXPECT_EQ(Fields, "Title: Porch\tAuthor: A: B");
  EXPECT_EQ(LevelHeaderField(Fields, "Title"), "Porch");
  EXPECT_EQ(LevelHeaderField(Fields, "Author"), "A: B");
  EXPECT_EQ(LevelHeaderField(Fields, "Set"), "");
  EXPECT_EQ(Reader.ReadRow(3), "123");
  const auto Second = Reader.ReadHeader(&Fields);
  ASSERT_TRUE(Second);
  EXPECT_EQ(LevelHeaderField(Fields, "Title"), "x");  // "Title:" alone is no field
  EXPECT_EQ(Reader.ReadRow(3), "456");
  EXPECT_FALSE(Reader.ReadHeader(&Fields));
  EXPECT_EQ(Fields, "");
}

} // namespace
