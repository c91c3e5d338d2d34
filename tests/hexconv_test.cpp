#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hexconv.h"

namespace {

struct ConversionCase {
    const char* name;
    std::string text;
    std::vector<unsigned char> bytes;  // completed bytes, in order
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }

class Conversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, PairsAdjacentDigitsOnly)
{
    const ConversionCase& c = GetParam();
    std::vector<unsigned char> out(16, 0xEE);
    unsigned count = xToArr(c.text.data(), out.data(),
                            static_cast<unsigned short>(c.text.size()), 16);
    ASSERT_EQ(count, c.bytes.size());
    EXPECT_EQ(std::vector<unsigned char>(out.begin(), out.begin() + count), c.bytes);
}

const ConversionCase conversionCases[] = {
    {"BlankSplits", "1 23", {0x23}},
    {"PrefixIsLone", "0x23", {0x23}},
    {"OddRunPairsFromLeft", "12345", {0x12, 0x34}},
    {"CaseMixes", "aB Cd eF", {0xAB, 0xCD, 0xEF}},
    {"BracketForm", "[3B, 7D, 91, C4]", {0x3B, 0x7D, 0x91, 0xC4}},
    {"ZeroBytesKept", "00 00 01 00", {0x00, 0x00, 0x01, 0x00}},
    {"LetterPastFSeparates", "1G2", {}},
    {"LineFeedSplits", "1\n2", {}},
    {"ZeroCharacterSeparates", std::string("12\0" "34", 5), {0x12, 0x34}},
    {"HighBytesSeparate", "\xC3\xA9" "12\xFF" "3", {0x12}},
    {"Empty", "", {}},
};

INSTANTIATE_TEST_SUITE_P(Texts, Conversion, testing::ValuesIn(conversionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ConversionState, LoneTrailingDigitLeavesHalfByteOutsideTheCount)
{
    unsigned char out[4] = {0, 0, 0, 0};
    EXPECT_EQ(xToArr("123", out, 3, 4), 1u);
    EXPECT_EQ(out[0], 0x12);
    EXPECT_EQ(out[1], 0x30);
}

TEST(ConversionState, DigitFreeTextLeavesOutputAsItWas)
{
    unsigned char out[2] = {0x5A, 0xA5};
    EXPECT_EQ(xToArr("xyz, []", out, 7, 2), 0u);
    EXPECT_EQ(out[0], 0x5A);
    EXPECT_EQ(out[1], 0xA5);
}

TEST(ConversionState, ReadsOnlyTheGivenLength)
{
    std::string digits(400, '7');
    std::vector<unsigned char> out(200, 0);
    EXPECT_EQ(xToArr(digits.data(), out.data(), 356, 200), 178u);
    EXPECT_EQ(out[177], 0x77);
    EXPECT_EQ(out[178], 0x00);
}

TEST(ConversionState, NeverWritesPastTheOutputButCountsOn)
{
    std::string digits(300, '5');
    std::vector<unsigned char> out(128 + 8, 0xEE);
    EXPECT_EQ(xToArr(digits.data(), out.data(), 300, 128), 150u);
    EXPECT_EQ(out[127], 0x55);
    EXPECT_EQ(std::vector<unsigned char>(out.begin() + 128, out.end()),
              std::vector<unsigned char>(8, 0xEE));
}

}  // namespace
