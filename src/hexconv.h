// Hex text to bytes.
#ifndef HEXCONV_H
#define HEXCONV_H

// Converts the first `length` characters of `text` into bytes written to
// `out` from its start. Two hex digits standing next to each other make a
// byte; any other character, zero included, separates. Only the first
// `outSize` bytes are stored, but all completed bytes are counted: the result
// is that count, which exceeds `outSize` when the text holds too many.
unsigned xToArr(const char* text, unsigned char* out, unsigned short length,
                unsigned outSize);

#endif
