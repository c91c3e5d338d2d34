#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "eep2hex.h"
#include "intake.h"

namespace {

std::string digits(size_t n)
{
    std::string text;
    for (size_t i = 0; i < n; ++i) text += "0123456789ABCDEF"[i % 16];
    return text;
}

// `name` padded so that its "=" stands at `position`.
std::string equalsAt(size_t position) { return std::string(position, '.') + "="; }

struct WindowCase {
    const char* name;
    std::string file;   // preset text as read, line ends already LF
    std::string value;  // value text it gives
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

class Windows : public testing::TestWithParam<WindowCase> {
protected:
    void SetUp() override { str[0] = '\0'; }
};

TEST_P(Windows, TakeTheTextAfterEachEquals)
{
    ASSERT_TRUE(appendWindows(GetParam().file.data(), GetParam().file.size()));
    EXPECT_EQ(std::string(str), GetParam().value);
}

const WindowCase windowCases[] = {
    {"NearTopTakes16", "a=" + digits(40) + "\n", digits(16) + "\n"},
    {"At16Takes16", equalsAt(16) + digits(40), digits(16) + "\n"},
    {"At17Takes32", equalsAt(17) + digits(40), digits(32) + "\n"},
    {"At64Takes32EvenOfA64DigitKey", equalsAt(64) + digits(64), digits(32) + "\n"},
    {"At65Takes128", equalsAt(65) + digits(200), digits(128) + "\n"},
    {"FirstEqualsBeyond64GivesFirstValue128", equalsAt(70) + digits(8) + "\nb=" + digits(130),
     digits(8) + "\n" + digits(128) + "\n"},
    {"ShortValueStopsAtItsLineEnd", "a=3B\nb=7D\nc=91\n", "3B\n7D\n91\n"},
    {"LastLineWithoutLineFeed", "a=3B\nb=7D", "3B\n7D\n"},
    {"EqualsAtTheEnd", "a=", "\n"},
    {"ZeroCharacterEndsWindow", std::string("a=12\0" "34\n", 7), "12\n"},
    {"EveryEqualsOpensAWindow", "a==b\n", "=b\nb\n"},
    {"NoEquals", "3B 7D 91 C4\n", ""},
    {"Empty", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Presets, Windows, testing::ValuesIn(windowCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FileCase {
    const char* name;
    std::string content;  // bytes of presets.ini
    PresetResult result;
    std::string value;    // value text, when read
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class PresetFiles : public testing::TestWithParam<FileCase> {};

TEST_P(PresetFiles, ReadWholeOrRefused)
{
    const FileCase& c = GetParam();
    std::string path = testing::TempDir() + "presets-" + c.name + ".ini";
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(c.content.data(), 1, c.content.size(), file);
    fclose(file);
    str[0] = '\0';
    fp = fopen(path.c_str(), "r");
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(binFormatter(), c.result);
    if (c.result == presetRead) {
        EXPECT_EQ(std::string(str), c.value);
    }
    fclose(fp);
    remove(path.c_str());
}

const std::string crlfFile = "admin=3B7D91C4\r\nserial=" + digits(16) + "\r\nkey=" + digits(64) + "\r\n";

const FileCase fileCases[] = {
    {"CrLfReadsAsLf", crlfFile, presetRead, "3B7D91C4\n" + digits(16) + "\n" + digits(32) + "\n"},
    {"LoneCarriageReturnKept", "a=1\r2\n", presetRead, "1\r2\n"},
    {"Largest", "a=12\n" + std::string(1242, 'x'), presetRead, "12\n"},
    {"OneCharacterTooMany", "a=12\n" + std::string(1243, 'x'), presetTooLarge, ""},
    {"DroppedCarriageReturnsDoNotCount", "a=12\r\n" + std::string(1241, 'x') + "\r\n", presetRead, "12\n"},
    {"WindowsOverflowTheValueText", std::string(1000, '='), presetTooLarge, ""},
    {"CarriageReturnRunBeforeLineFeedDropped", "a=1\r\r\nb=2\r\r\r\n", presetRead, "1\n2\n"},
    {"CarriageReturnRunElsewhereKept", "a=1\r\r2\r", presetRead, "1\r\r2\r\n"},
    {"CtrlZEndsTheText", "a=12\x1A" "34\nb=56\n" + std::string(2000, 'x'), presetRead, "12\n"},
};

INSTANTIATE_TEST_SUITE_P(Presets, PresetFiles, testing::ValuesIn(fileCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PresetFile, DirectoryInItsPlaceIsUnreadable)
{
    fp = fopen(testing::TempDir().c_str(), "r");
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(binFormatter(), presetUnreadable);
    fclose(fp);
}

}  // namespace
