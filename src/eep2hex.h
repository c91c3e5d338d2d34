// Buffers, streams and file names shared by the parts of one run.
// Every one is a single global that lives for the whole process.
#ifndef EEP2HEX_H
#define EEP2HEX_H

#include <cstdio>

const unsigned STR_SIZE = 1248;           // value text, with its terminating zero
const unsigned FNM_SIZE = 1248;           // one input line, or the whole preset file
const unsigned IMAGE_SIZE = 128;          // the EEPROM image
const unsigned HEX_TEXT_SIZE = 1u << 20;  // Intel HEX text, with its terminating zero

extern char str[STR_SIZE];             // value text: the four values as typed or preset
extern char fnm[FNM_SIZE];             // input buffer
extern unsigned char keyWrd[IMAGE_SIZE];  // image bytes
extern char temp[HEX_TEXT_SIZE];       // hex text
extern bool presetsFound;              // the preset file opened
extern FILE* f;                        // image file
extern FILE* fp;                       // preset file
extern const char easterEgg[];         // "presets.ini"
extern const char resultingHex[];      // "vx.eep.hex"

#endif
