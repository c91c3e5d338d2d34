// Hex text conversion on arbitrary bytes: the first byte sets the output's
// size, the rest is the text. The output is exactly that size on the heap, so
// AddressSanitizer catches any write past it; the count and the bytes are
// checked against a plain model of the pairing rule.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hexconv.h"

namespace {

int digitValue(uint8_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
    return -1;
}

// Bytes made by adjacent digits: within each run of digits, pairs from its left.
std::vector<uint8_t> pairsOf(const uint8_t* text, size_t length)
{
    std::vector<uint8_t> bytes;
    size_t run = 0;
    for (size_t i = 0; i < length; ++i) {
        if (digitValue(text[i]) < 0) {
            run = 0;
        } else if (++run % 2 == 0) {
            bytes.push_back(static_cast<uint8_t>(digitValue(text[i - 1]) << 4 | digitValue(text[i])));
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size - 1 > 0xFFFF) return 0;
    unsigned outSize = data[0];
    const uint8_t* text = data + 1;
    unsigned short length = static_cast<unsigned short>(size - 1);

    std::vector<unsigned char> out(outSize);
    unsigned count = xToArr(reinterpret_cast<const char*>(text), out.data(), length, outSize);

    std::vector<uint8_t> expected = pairsOf(text, length);
    if (count != expected.size()) __builtin_trap();
    for (unsigned i = 0; i < count && i < outSize; ++i)
        if (out[i] != expected[i]) __builtin_trap();
    return 0;
}
