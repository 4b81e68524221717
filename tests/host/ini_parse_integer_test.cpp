#include <gtest/gtest.h>

#include <string>

#include "common/ini.h"
#include "common/memory_ini.h"

namespace {

struct IntCase {
  std::string text;
  bool ok;
  int value;
};

TEST(IniParseInteger, ReadsDecimalAndHexAndRejectsEverythingElse) {
  const IntCase cases[] = {
      {"0", true, 0},
      {"1", true, 1},
      {"2", true, 2},
      {"-1", true, -1},
      {"+7", true, 7},
      {"   42", true, 42},
      {"\t-3", true, -3},
      {"007", true, 7},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"$A", true, 10},
      {"$a", true, 10},
      {"0x10", true, 16},
      {"0X10", true, 16},
      {"-$10", true, -16},
      {"$7FFFFFFF", true, 2147483647},
      {"$FFFFFFFF", true, -1},
      {"0x00000000000000001", true, 1},
      {"", false, 0},
      {"   ", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"yes", false, 0},
      {"true", false, 0},
      {"1 ", false, 0},
      {"1a", false, 0},
      {"- 1", false, 0},
      {"1.0", false, 0},
      {"$G", false, 0},
      {"0x-1", false, 0},
      {"--1", false, 0},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"$100000000", false, 0},
      {"99999999999999999999999999999999", false, 0},
      {std::string("1\0" "2", 3), false, 0},
      {"\xff\xfe", false, 0},
  };
  for (const IntCase& c : cases) {
    int value = 12345;
    EXPECT_EQ(ini::ParseInteger(c.text, &value), c.ok) << "text: [" << c.text << "]";
    if (c.ok) {
      EXPECT_EQ(value, c.value) << "text: [" << c.text << "]";
    }
  }
}

TEST(IniParseInteger, HugeInputIsRejectedWithoutTrouble) {
  EXPECT_FALSE(ini::ParseInteger(std::string(1 << 20, '9'), nullptr));
  EXPECT_TRUE(ini::ParseInteger(std::string(1 << 20, '0') + "5", nullptr));
}

class IniTypedValues : public ::testing::Test {
 protected:
  void SetUp() override { ini::memory::Clear(); }
  void TearDown() override { ini::memory::Clear(); }
};

TEST_F(IniTypedValues, BoolIsAnyNonZeroIntegerElseTheDefault) {
  ini::memory::SetFile("C:\\t.ini",
                       "[S]\r\nTwo=2\r\nMinus=-1\r\nHex=0x10\r\nDollar=$A\r\nZero=0\r\n"
                       "Yes=yes\r\nEmpty=\r\nNoEquals\r\n");
  const auto f = ini::memory::Open("C:\\t.ini");
  struct {
    const char* key;
    bool whenDefaultFalse, whenDefaultTrue;
  } cases[] = {
      {"Two", true, true},     {"Minus", true, true},  {"Hex", true, true},
      {"Dollar", true, true},  {"Zero", false, false}, {"Yes", false, true},
      {"Empty", false, true},  {"NoEquals", false, true}, {"Missing", false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(f->ReadBool("S", c.key, false), c.whenDefaultFalse) << c.key;
    EXPECT_EQ(f->ReadBool("S", c.key, true), c.whenDefaultTrue) << c.key;
  }
  EXPECT_EQ(f->ReadInteger("S", "Hex", 7), 16);
  EXPECT_EQ(f->ReadInteger("S", "Yes", 7), 7);
}

TEST_F(IniTypedValues, WritesBooleansAsOneAndZero) {
  const auto f = ini::memory::Open("C:\\t.ini");
  f->WriteBool("S", "On", true);
  f->WriteBool("S", "Off", false);
  f->WriteInteger("S", "Neg", -12);
  EXPECT_EQ(ini::memory::FileText("C:\\t.ini"), "[S]\r\nOn=1\r\nOff=0\r\nNeg=-12\r\n");
}

}  // namespace
