#include <gtest/gtest.h>

#include <algorithm>

#include "app/engine/password.h"
#include "app/engine/settings_table.h"
#include "app/engine/switches.h"
#include "app/engine/text_format.h"

namespace orvantix {
namespace {

TEST(Switches, MatchedAsUpperCasedSubstrings) {
  struct Case {
    const char* line;
    Switches expected;
  };
  const Case cases[] = {
      {"", {}},
      {"/debug", {true, false, false, false, false, false}},
      {"/NoHw /start", {false, true, false, false, false, true}},
      {"x/nooverlayx/NOREMOTE", {false, false, true, true, false, false}},
      {"--mode=/nomail", {false, false, false, false, true, false}},
      {"/STAR /DEBU", {}},
  };
  for (const Case& c : cases) {
    const Switches s = Switches::Parse(c.line);
    EXPECT_EQ(s.Debug, c.expected.Debug) << c.line;
    EXPECT_EQ(s.NoHw, c.expected.NoHw) << c.line;
    EXPECT_EQ(s.NoOverlay, c.expected.NoOverlay) << c.line;
    EXPECT_EQ(s.NoRemote, c.expected.NoRemote) << c.line;
    EXPECT_EQ(s.NoMail, c.expected.NoMail) << c.line;
    EXPECT_EQ(s.Start, c.expected.Start) << c.line;
  }
}

TEST(Switches, ArgumentsAreJoinedWithBlanks) {
  const char* argv[] = {"orvantix", "/START", "/NO", "HW"};
  EXPECT_EQ(JoinCommandLine(4, argv), "/START /NO HW");
  EXPECT_FALSE(Switches::Parse(JoinCommandLine(4, argv)).NoHw);
}

TEST(Password, RoundTripKeepsEveryLetterAndDigitAndCase) {
  const std::string all = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  const std::string stored = EncodePassword(all);
  ASSERT_EQ(stored.size(), all.size());
  EXPECT_NE(stored, all);
  EXPECT_EQ(DecodePassword(stored), all);
  EXPECT_NE(EncodePassword("Secret"), EncodePassword("secret"));
  // Every character maps to a different one: the alphabet is a permutation.
  std::string sorted = stored;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST(Password, CharactersOutsideTheAlphabetGiveEmptyText) {
  for (const char* text : {"with blank", "dot.", "Gr\xC3\xBC\xC3\x9F", "a-b", "x\n"}) {
    EXPECT_EQ(EncodePassword(text), "") << text;
    EXPECT_EQ(DecodePassword(text), "") << text;
  }
  EXPECT_EQ(EncodePassword(""), "");
}

TEST(TextFormat, NumbersForDisplays) {
  struct Case {
    double value;
    const char* shortest;
    const char* number;
  };
  const Case cases[] = {{1.2f, "1.2", " 1.2"},   {4.0f, "4", " 4"}, {8.0, "8", " 8"},
                        {0.25, "0.25", " 0.25"}, {0, "0", " 0"},    {-3.5, "-3.5", "-3.5"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ShortestDecimal(c.value), c.shortest);
    EXPECT_EQ(NumberText(c.value), c.number);
  }
}

TEST(SettingsText, BooleansAndNumbers) {
  EXPECT_EQ(BoolText(true), "True");
  EXPECT_EQ(BoolText(false), "False");
  EXPECT_TRUE(ParseBool("TRUE", false));
  EXPECT_FALSE(ParseBool("false", true));
  EXPECT_TRUE(ParseBool("maybe", true));
  EXPECT_DOUBLE_EQ(ParseNumber(" 20 ", 0), 20);
  EXPECT_DOUBLE_EQ(ParseNumber("12.5", 0), 12.5);
  EXPECT_DOUBLE_EQ(ParseNumber("12,5", -1), -1);
  EXPECT_DOUBLE_EQ(ParseNumber("", -1), -1);
  EXPECT_DOUBLE_EQ(ParseNumber("7x", -1), -1);
}

}  // namespace
}  // namespace orvantix
