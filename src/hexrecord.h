// Intel HEX records for a stream of bytes, appended to the hex text `temp`.
#ifndef HEXRECORD_H
#define HEXRECORD_H

// Adds one byte to the stream. `mem` is the byte's position in the caller's
// sequence: consecutive positions fill one record of up to 16 bytes, any
// other position closes the pending record first. A non-zero `end` writes
// the pending record and the end-of-file record instead of adding `data`.
// Records are addressed from 0x08000000 on, by the count of bytes written.
void hexout(unsigned int data, unsigned int mem, unsigned int end);

// Puts the emitter back in its state at process start. The tool writes one
// stream per process and never calls it; tests and other drivers that need
// several independent streams in one process do.
void hexoutReset();

#endif
