#include "hexrecord.h"

#include <cstdarg>
#include <cstdint>
#include <cstring>

#include "eep2hex.h"

namespace {

const unsigned RECORD_DATA_MAX = 16;
const unsigned FIRST_UPPER_ADDRESS = 0x800;  // image lands at 0x08000000

const char recordTypeI[] = ":020000040800F2\n";  // extended linear address 0x0800
const char recordTypeM[] = ":02000004";          // extended linear address, at a crossing
const char recordTypeA[] = ":00000001FF\n";      // end of file

// Emitter state, kept between calls.
int writing_in_progress;            // a stream is open
unsigned int last_mem;              // position of the last byte accepted
unsigned int buffer_pos;            // bytes pending for the next record
uint16_t sector;                    // crossing records written so far
uint32_t buffer_addr;               // load offset of the pending record
uint32_t byte_buffer[RECORD_DATA_MAX];  // pending record data
uint16_t cntr;                      // load offset of the next byte written out
unsigned int memLoc = FIRST_UPPER_ADDRESS;  // upper address of the current 64 KiB

// Formats at the end of `temp`. Bounded by the buffer: a run's image of at
// most 128 bytes takes a few hundred characters of the mebibyte.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void appendHexText(const char* format, ...)
{
    size_t used = strlen(temp);
    va_list args;
    va_start(args, format);
    vsnprintf(temp + used, HEX_TEXT_SIZE - used, format, args);
    va_end(args);
}

unsigned checksumOf(unsigned sum)
{
    return (0x100 - (sum & 0xFF)) & 0xFF;
}

// The record that moves the upper address on by one 64 KiB segment, always
// with four digits of address and two of checksum.
void writeCrossingRecord()
{
    ++memLoc;
    unsigned upper = memLoc & 0xFFFF;
    unsigned sum = (upper >> 8) + (upper & 0xFF) + 2 + 4;  // count 2, type 4
    appendHexText("%s%04x%02x\n", recordTypeM, upper, checksumOf(sum));
    ++sector;
}

void writePendingRecord()
{
    appendHexText(":%02X%04X00", buffer_pos, static_cast<unsigned>(buffer_addr));
    unsigned sum = buffer_pos + (buffer_addr >> 8) + (buffer_addr & 0xFF);
    bool crossed = false;
    for (unsigned i = 0; i < buffer_pos; ++i) {
        appendHexText("%02X", static_cast<unsigned>(byte_buffer[i]));
        sum += byte_buffer[i];
        // A record that passes offset FFFF is still written whole under its
        // starting offset; the crossing record follows it.
        if (cntr == 0xFFFF) {
            cntr = 0;
            crossed = true;
        } else {
            ++cntr;
        }
    }
    appendHexText("%02X\n", checksumOf(sum));
    buffer_addr = cntr;
    if (crossed) writeCrossingRecord();
    buffer_pos = 0;
}

}  // namespace

void hexout(unsigned int data, unsigned int mem, unsigned int end)
{
    if (!writing_in_progress) {
        last_mem = mem - 1;  // the first byte counts as consecutive
        buffer_pos = 0;
        writing_in_progress = 1;
    }
    if (buffer_pos == 0 && sector == 0) appendHexText("%s", recordTypeI);

    bool positionBreak = last_mem + 1 != mem;
    if (positionBreak || buffer_pos >= RECORD_DATA_MAX || (end && buffer_pos != 0))
        writePendingRecord();

    if (end) {
        appendHexText("%s", recordTypeA);
        writing_in_progress = 0;
    }
    // After an end call this byte is dropped when the next stream starts.
    last_mem = mem;
    byte_buffer[buffer_pos] = data & 0xFF;
    ++buffer_pos;
}

void hexoutReset(uint16_t nextOffset)
{
    writing_in_progress = 0;
    last_mem = 0;
    buffer_pos = 0;
    sector = 0;
    buffer_addr = nextOffset;
    memset(byte_buffer, 0, sizeof byte_buffer);
    cntr = nextOffset;
    memLoc = FIRST_UPPER_ADDRESS;
}
