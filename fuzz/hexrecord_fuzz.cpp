// The Intel HEX emitter on arbitrary byte streams with arbitrary breaks in
// the positions, followed by the end call. The text must be well-formed
// Intel HEX and, decoded with linear addressing, hold exactly the bytes
// given, in order, from 0x08000000 on. An input starting with 0xFF starts
// the stream as if an earlier one had filled the first 64 KiB up to 32
// bytes or fewer, so its own bytes meet the crossing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "eep2hex.h"
#include "hexrecord.h"

namespace {

const uint32_t IMAGE_BASE = 0x08000000;

int digitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One record's bytes, or an empty vector when the line is malformed.
std::vector<uint8_t> recordBytes(const std::string& line)
{
    if (line.size() < 11 || line[0] != ':' || (line.size() - 1) % 2 != 0) return {};
    std::vector<uint8_t> bytes;
    unsigned sum = 0;
    for (size_t i = 1; i < line.size(); i += 2) {
        int high = digitValue(line[i]);
        int low = digitValue(line[i + 1]);
        if (high < 0 || low < 0) return {};
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        sum += bytes.back();
    }
    if (bytes.size() != bytes[0] + 5u || sum % 256 != 0) return {};
    return bytes;
}

// Decodes `text`; false unless every record is well-formed, the records are
// of types 00, 04 and a last 01, and the data lie at consecutive addresses
// from 0x08000000 + `offset` on.
bool decode(const std::string& text, uint16_t offset, std::vector<uint8_t>& data)
{
    uint32_t upper = 0;
    bool ended = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos || ended) return false;
        std::vector<uint8_t> record = recordBytes(text.substr(start, end - start));
        start = end + 1;
        if (record.empty()) return false;
        uint32_t loadOffset = record[1] << 8 | record[2];
        switch (record[3]) {
        case 0x00:
            for (size_t i = 0; i < record[0]; ++i) {
                if (upper + loadOffset + i != IMAGE_BASE + offset + data.size()) return false;
                data.push_back(record[4 + i]);
            }
            break;
        case 0x04:
            if (record[0] != 2 || loadOffset != 0) return false;
            upper = static_cast<uint32_t>(record[4] << 8 | record[5]) << 16;
            break;
        case 0x01:
            if (record[0] != 0 || loadOffset != 0) return false;
            ended = true;
            break;
        default:
            return false;
        }
    }
    return ended;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    bool nearCrossing = size > 2 && input[0] == 0xFF;
    uint16_t offset = nearCrossing ? static_cast<uint16_t>(0xFFE0 + input[2] % 32) : 0;
    hexoutReset(offset);
    temp[0] = '\0';
    std::string text;
    std::vector<uint8_t> given;
    unsigned mem = size > 1 ? input[1] * 0x01010101u : 0;
    auto feed = [&](uint8_t byte) {
        hexout(byte, mem++, 0);
        given.push_back(byte);
        if (given.size() % 16 == 0) {
            text += temp;
            temp[0] = '\0';
        }
    };

    size_t at = nearCrossing ? 3 : 0;
    // Each further pair: a control byte, whose low bit asks for a break of
    // 1 to 128 positions, and the byte to stream.
    for (; at + 1 < size; at += 2) {
        if (input[at] & 1) mem += 1 + (input[at] >> 1);
        feed(input[at + 1]);
    }
    hexout(size ? input[size - 1] : 0, 0, 1);
    text += temp;

    std::vector<uint8_t> decoded;
    if (!decode(text, offset, decoded) || decoded != given) __builtin_trap();
    if (text.compare(0, 16, ":020000040800F2\n") != 0) __builtin_trap();
    return 0;
}
