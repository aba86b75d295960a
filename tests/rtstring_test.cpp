// The string value: growth, copies, number conversions, comparisons and the named string operations.
#include "runtime/core/RtString.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

TEST(RtString, BlocksAppearOnFirstTextGrowIn512ByteStepsAndNeverShrink) {
  RtString e;
  EXPECT_EQ(e.Capacity(), 0u);
  e = "";
  EXPECT_EQ(e.Capacity(), 512u);  // even "" takes a block once assigned
  e.Destroy();
  EXPECT_EQ(e.Capacity(), 0u);
  EXPECT_STREQ(e.TextView(), "");
  e += "back";  // usable again after Destroy
  EXPECT_EQ(e, "back");

  RtString s(std::string(511, 'x'));
  EXPECT_EQ(s.Capacity(), 512u);
  s += "y";
  EXPECT_EQ(s.Capacity(), 1024u);
  EXPECT_EQ(s.Length(), 512);
  EXPECT_EQ(s.CharAt(511), 'y');
  s = "a";
  EXPECT_EQ(s.Capacity(), 1024u);
  EXPECT_EQ(s.Length(), 1);
  s.Reserve(1024);
  EXPECT_EQ(s.Capacity(), 1536u);
}

TEST(RtString, CopiesOwnTheirTextAndMovesTakeIt) {
  RtString a("level");
  RtString b(a);
  EXPECT_NE(a.TextView(), b.TextView());
  a += " one";
  EXPECT_EQ(b, "level");

  const char* block = a.TextView();
  RtString c(std::move(a));
  EXPECT_EQ(c.TextView(), block);
  EXPECT_EQ(c, "level one");
  EXPECT_EQ(a.Capacity(), 0u);  // NOLINT(bugprone-use-after-move): moved-from reads as ""
  EXPECT_STREQ(a.TextView(), "");
}

TEST(RtString, AppendingOrAssigningItsOwnTextIsSafe) {
  RtString s(std::string(300, 'a'));
  s += s;  // grows the block while reading from it
  EXPECT_EQ(s.Length(), 600);
  EXPECT_EQ(s.Capacity(), 1024u);
  EXPECT_EQ(std::string(s), std::string(600, 'a'));
  s = "abcdef";
  s = s.TextView() + 2;
  EXPECT_EQ(s, "cdef");
}

TEST(RtString, NumbersBecomeTextWithTenSignificantDigits) {
  EXPECT_EQ(NumberToText(0), "0");
  EXPECT_EQ(NumberToText(-0.0), "0");
  EXPECT_EQ(NumberToText(26), "26");
  EXPECT_EQ(NumberToText(-3), "-3");
  EXPECT_EQ(NumberToText(1.5), "1.5");
  EXPECT_EQ(NumberToText(0.25), "0.25");
  EXPECT_EQ(NumberToText(1.0 / 3.0), "0.3333333333");
  EXPECT_EQ(NumberToText(1234567890), "1234567890");
  EXPECT_EQ(NumberToText(1e15), "1e+15");
  EXPECT_EQ(NumberToText(12345678901.0), "1.23456789e+10");
  EXPECT_EQ(NumberToText(1e-7), "1e-07");
  EXPECT_EQ(RtString(0.5f), "0.5");
  RtString s;
  s = 300.0;
  s += 2.5f;
  s += -7;
  EXPECT_EQ(s, "3002.5-7");
  EXPECT_EQ(RtString(std::numeric_limits<int32_t>::min()), "-2147483648");
}

TEST(RtString, TextToNumberReadsTheLongestDecimalPrefix) {
  EXPECT_EQ(TextToNumber("  42abc"), 42);
  EXPECT_EQ(TextToNumber("\t-1.5e2x"), -150);
  EXPECT_EQ(TextToNumber(".5"), 0.5);
  EXPECT_EQ(TextToNumber("+7"), 7);
  EXPECT_EQ(TextToNumber("3e"), 3);
  EXPECT_EQ(TextToNumber("0x10"), 0);
  EXPECT_EQ(TextToNumber("-"), 0);
  EXPECT_EQ(TextToNumber(RtString()), 0);
  EXPECT_TRUE(std::isinf(TextToNumber("1e400")));
  EXPECT_EQ(TextToNumber("1e-400"), 0);
  EXPECT_EQ(TextToNumber(NumberToText(12345678901.0)), 12345678900.0);
}

TEST(RtString, NumberConversionsIgnoreTheLocale) {
  const std::string old = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  const RtString text = NumberToText(1.5);
  const double value = TextToNumber("2.25");
  std::setlocale(LC_NUMERIC, old.c_str());
  EXPECT_EQ(text, "1.5");
  EXPECT_EQ(value, 2.25);
}

TEST(RtString, ConcatenationOfEveryOperandKind) {
  const RtString map("./Maps/Map");
  EXPECT_EQ(map + 3 + "-1.bin", "./Maps/Map3-1.bin");
  EXPECT_EQ(map + 12.0 + RtString("-4.bin"), "./Maps/Map12-4.bin");
  EXPECT_EQ("Level " + RtString("2"), "Level 2");
  EXPECT_EQ(1.5 + RtString("x"), "1.5x");
  EXPECT_EQ(7 + RtString("x"), "7x");
  EXPECT_EQ(map, "./Maps/Map");  // operands are left alone
}

TEST(RtString, TextComparisonsAreBytewiseUnsigned) {
  EXPECT_FALSE(RtString("a") < RtString("B"));  // 0x61 > 0x42
  EXPECT_TRUE(RtString("a") > "B");
  EXPECT_TRUE("abc" < RtString("abd"));
  EXPECT_TRUE(RtString("ab") < "abc");
  EXPECT_TRUE(RtString("\xE9") > "z");  // a byte above 127 sorts after ASCII
  EXPECT_FALSE(RtString("same") == RtString("sam"));
  EXPECT_TRUE(RtString() == "");
  EXPECT_TRUE(RtString("x") >= "x");
}

TEST(RtString, StringAgainstNumberComparesAsNumbers) {
  EXPECT_TRUE(RtString("10") == 10);
  EXPECT_TRUE(RtString("10") > 9.5);
  EXPECT_TRUE(RtString("9") < 10);  // as text "9" > "10"; as numbers it is smaller
  EXPECT_TRUE(5 < RtString("6"));
  EXPECT_TRUE(RtString("abc") == 0);
}

TEST(RtString, CharCodeAndCharFromCode) {
  EXPECT_EQ(CharCode("\xE9"), -23);
  EXPECT_EQ(CharCode("A"), 65);
  EXPECT_EQ(CharCode(RtString()), 0);
  EXPECT_EQ(CharFromCode(65.9), "A");
  EXPECT_EQ(CharFromCode(321), "A");  // low byte of 0x141
  EXPECT_EQ(CharFromCode(0), "");
  EXPECT_EQ(CharFromCode(256), "");
  EXPECT_EQ(CharFromCode(-23), "\xE9");
  EXPECT_EQ(CharFromCode(40000), "");  // outside 16 bits: the indefinite value, low byte 0
  EXPECT_EQ(CharFromCode(std::nan("")), "");
}

// The byte-at-a-time forms give what the string operations they stand for give.
TEST(RtString, ByteFormsAgreeWithCharCodeOfMidStrAndCharFromCode) {
  const RtString s("A\xE9z");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double i : {-1.0, -0.5, 0.0, 0.7, 1.0, 2.0, 2.9, 3.0, 4.0, 1e12, nan}) {
    EXPECT_EQ(CharCodeAt(s, i), CharCode(MidStr(s, i, 1))) << i;
  }
  EXPECT_EQ(CharCodeAt(s, 1), -23);
  EXPECT_EQ(CharCodeAt(RtString(), 0), 0);
  for (double x : {0.0, 65.9, 321.0, 256.0, -23.0, 233.0, -1.0, 70000.0, nan}) {
    EXPECT_EQ(CodeToChar(x), CharFromCode(x).CharAt(0)) << x;
  }
  EXPECT_EQ(CodeToChar(-23), '\xE9');
}

TEST(RtString, MidStrTakesClippedRuns) {
  const RtString s("ABCDE");
  EXPECT_EQ(MidStr(s, 1, 2), "BC");
  EXPECT_EQ(MidStr(s, 3, 10), "DE");
  EXPECT_EQ(MidStr(s, 0, 5), "ABCDE");
  EXPECT_EQ(MidStr(s, 5, 1), "");
  EXPECT_EQ(MidStr(s, -1, 2), "");
  EXPECT_EQ(MidStr(s, 2, 0), "");
  EXPECT_EQ(MidStr(s, 1.7, 2), "BC");
  EXPECT_EQ(MidStr(s, 1.7, 3.5), "BCD");
  EXPECT_EQ(MidStr(s, std::nan(""), 2), "");
  EXPECT_EQ(MidStr(s, 1, std::nan("")), "");
  // An end of 2^32 + 1 passes the 32-bit end test unclipped; the whole rest comes back, nothing breaks.
  EXPECT_EQ(MidStr(s, 0, 4294967297.0), "ABCDE");
}

TEST(RtString, LowLevelBufferOperations) {
  RtString s;
  char* buf = s.WritableBuffer(10);
  std::snprintf(buf, 11, "hi");
  s.RecountLength();
  EXPECT_EQ(s, "hi");
  EXPECT_EQ(s.CharAt(400), 0);
  s.Truncate(1);
  EXPECT_EQ(s, "h");
  // A buffer filled to the brim keeps its terminator inside the block.
  buf = s.WritableBuffer(0);
  std::string(512, 'z').copy(buf, 512);
  s.RecountLength();
  EXPECT_EQ(s.Length(), 511);
}

TEST(RtString, StdStringInteroperation) {
  const RtString s("./Maps/Data.bin");
  const std::string path = s;
  EXPECT_EQ(path, "./Maps/Data.bin");
  EXPECT_EQ([](const std::string& p) { return p.size(); }(s), 15u);  // passes where paths are taken
  const RtString back(path);
  EXPECT_EQ(back, s);
  EXPECT_EQ(RtString(std::string("ab\0cd", 5)), "ab");  // text ends at a zero byte
}

}  // namespace
