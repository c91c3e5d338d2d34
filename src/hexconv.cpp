#include "hexconv.h"

namespace {

// Value of a hex digit of either case, or -1 for any other character.
int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

unsigned xToArr(const char* text, unsigned char* out, unsigned short length,
                unsigned outSize)
{
    unsigned count = 0;
    bool lowHalfNext = false;
    for (unsigned i = 0; i < length; ++i) {
        int value = hexDigitValue(text[i]);
        if (value < 0) {
            lowHalfNext = false;
            continue;
        }
        if (!lowHalfNext) {
            // A lone digit leaves this half byte behind; the next first
            // digit replaces it, so it never counts as a byte.
            if (count < outSize) out[count] = static_cast<unsigned char>(value << 4);
        } else {
            if (count < outSize) out[count] = static_cast<unsigned char>(out[count] | value);
            ++count;
        }
        lowHalfNext = !lowHalfNext;
    }
    return count;
}
