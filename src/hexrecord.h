// Intel HEX records for a stream of bytes, appended to the hex text `temp`.
#ifndef HEXRECORD_H
#define HEXRECORD_H

#include <cstdint>

// Adds one byte to the stream. `mem` is the byte's position in the caller's
// sequence: consecutive positions fill one record of up to 16 bytes, any
// other position closes the pending record first. A non-zero `end` writes
// the pending record and the end-of-file record instead of adding `data`.
// Records are addressed from 0x08000000 on, by the count of bytes written.
void hexout(unsigned int data, unsigned int mem, unsigned int end);

// Puts the emitter in the state a process has after an earlier stream of
// `nextOffset` bytes (none: the state at process start), so the next stream
// opens with the first record and continues at that offset. The tool writes
// one stream per process and never calls it; tests and fuzzing, which need
// many independent streams in one process, do.
void hexoutReset(uint16_t nextOffset = 0);

#endif
