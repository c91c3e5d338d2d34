#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "eep2hex.h"
#include "hexrecord.h"

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Feeds `bytes` at positions counting up from 0, jumping ahead by 100 before
// the byte at `breakAt`, then ends the stream. Returns the whole hex text,
// emptying `temp` as it goes so long streams stay cheap.
std::string emitStream(const std::vector<unsigned char>& bytes, size_t breakAt = SIZE_MAX,
                       unsigned endData = 0)
{
    std::string text;
    unsigned mem = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i == breakAt) mem += 100;
        hexout(bytes[i], mem++, 0);
        if (i % 1024 == 0) {
            text += temp;
            temp[0] = '\0';
        }
    }
    hexout(endData, 0, 1);
    return text + temp;
}

std::vector<unsigned char> counting(size_t n)
{
    std::vector<unsigned char> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>(i);
    return bytes;
}

class Emitter : public testing::Test {
protected:
    void SetUp() override
    {
        hexoutReset();
        temp[0] = '\0';
    }
};

struct StreamCase {
    const char* name;
    std::vector<unsigned char> bytes;
    size_t breakAt;
    std::string hexText;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class Streams : public Emitter, public testing::WithParamInterface<StreamCase> {};

TEST_P(Streams, GiveTheseRecords)
{
    // The byte handed over with the end call must never show up.
    EXPECT_EQ(emitStream(GetParam().bytes, GetParam().breakAt, 0xA5), GetParam().hexText);
}

const StreamCase streamCases[] = {
    {"ThreeBytes", {'a', 'b', 'c'}, SIZE_MAX,
     ":020000040800F2\n:03000000616263D7\n:00000001FF\n"},
    {"OneByte", {0x42}, SIZE_MAX, ":020000040800F2\n:0100000042BD\n:00000001FF\n"},
    {"SixteenBytesOneRecord", counting(16), SIZE_MAX,
     ":020000040800F2\n:10000000000102030405060708090A0B0C0D0E0F78\n:00000001FF\n"},
    {"BreakAfterFive", counting(10), 5,
     ":020000040800F2\n:050000000001020304F1\n:050005000506070809D3\n:00000001FF\n"},
    {"EmptyStream", {}, SIZE_MAX, ":020000040800F2\n:00000001FF\n"},
};

INSTANTIATE_TEST_SUITE_P(Emitter, Streams, testing::ValuesIn(streamCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Emitter, SeventySixBytesGiveSevenRecords)
{
    std::vector<std::string> lines = linesOf(emitStream(counting(76)));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], ":020000040800F2");
    const char* heads[] = {":10000000", ":10001000", ":10002000", ":10003000", ":0C004000"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(lines[i + 1].substr(0, 9), heads[i]) << i;
    EXPECT_EQ(lines[6], ":00000001FF");
}

TEST_F(Emitter, SecondStreamContinuesAtTheNextOffset)
{
    emitStream({'a', 'b', 'c'});
    temp[0] = '\0';
    EXPECT_EQ(emitStream({'d', 'e'}), ":020000040800F2\n:02000300646532\n:00000001FF\n");
}

TEST_F(Emitter, ResetToAnOffsetActsAsAnEarlierStreamOfThatLength)
{
    emitStream(counting(0xFFE7));
    temp[0] = '\0';
    std::string afterEarlierStream = emitStream(counting(40));
    hexoutReset(0xFFE7);
    temp[0] = '\0';
    EXPECT_EQ(emitStream(counting(40)), afterEarlierStream);
}

// Decodes `hexText` with GNU objcopy, an independent Intel HEX reader.
std::vector<unsigned char> decodedByObjcopy(const std::string& hexText)
{
    std::string hexPath = testing::TempDir() + "emitter.hex";
    std::string binPath = testing::TempDir() + "emitter.bin";
    std::ofstream(hexPath) << hexText;
    std::string command = std::string(OBJCOPY) + " -I ihex -O binary " + hexPath + " " + binPath;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(binPath, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

size_t indexOf(const std::vector<std::string>& lines, const std::string& line)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == line) return i;
    return SIZE_MAX;
}

TEST_F(Emitter, CrossesIntoTheNextSegmentAfterOffsetFFF0)
{
    std::vector<unsigned char> bytes = counting(0x10000 + 20);
    std::string text = emitStream(bytes);
    std::vector<std::string> lines = linesOf(text);
    size_t crossing = indexOf(lines, ":020000040801f1");
    ASSERT_NE(crossing, SIZE_MAX);
    EXPECT_EQ(lines[crossing - 1].substr(0, 9), ":10FFF000");
    EXPECT_EQ(lines[crossing + 1].substr(0, 9), ":10000000");
    EXPECT_EQ(decodedByObjcopy(text), bytes);

    // Once a crossing happened, a new stream starts without the first record.
    temp[0] = '\0';
    EXPECT_EQ(emitStream({0x42}).substr(0, 9), ":01001400");
}

TEST_F(Emitter, RecordPassingFFFFIsWrittenWholeThenCrosses)
{
    // A short first record shifts every later one to offsets ending in 8.
    std::vector<unsigned char> bytes(0x10000 + 11, 0x5A);
    std::vector<std::string> lines = linesOf(emitStream(bytes, 8));
    size_t record = indexOf(lines, ":10FFF8005A5A5A5A5A5A5A5A5A5A5A5A5A5A5A5A59");
    ASSERT_NE(record, SIZE_MAX);
    EXPECT_EQ(lines[record + 1], ":020000040801f1");
    EXPECT_EQ(lines[record + 2], ":030008005A5A5AE7");
}

void collectCrossings(std::vector<std::string>& crossings)
{
    for (const std::string& line : linesOf(temp))
        if (line.rfind(":02000004", 0) == 0) crossings.push_back(line);
    temp[0] = '\0';
}

TEST_F(Emitter, CrossingRecordsKeepTwoChecksumDigits)
{
    // Upper addresses 0x08F1 and 0x08F2 have the checksums 01 and 00.
    std::vector<std::string> crossings;
    for (unsigned mem = 0; mem < 0xF2 * 0x10000u; ++mem) {
        hexout(0, mem, 0);
        if (mem % 16 == 0) collectCrossings(crossings);
    }
    hexout(0, 0, 1);
    collectCrossings(crossings);
    ASSERT_EQ(crossings.size(), 1 + 0xF2u);  // the first record, then the crossings
    EXPECT_EQ(crossings[1], ":020000040801f1");
    EXPECT_EQ(crossings[0xF1], ":0200000408f101");
    EXPECT_EQ(crossings[0xF2], ":0200000408f200");
}

}  // namespace
