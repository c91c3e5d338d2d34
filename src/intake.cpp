#include "intake.h"

#include <cstring>

#include "eep2hex.h"

namespace {

// Window lengths, chosen by the position of the "=" in the file: values near
// the top of the file are short ones (admin pass, serial number), later ones
// are the 32-byte keys written out in full.
const size_t WINDOW_NEAR_TOP = 16;
const size_t WINDOW_FURTHER = 32;
const size_t WINDOW_FAR = 128;
const size_t NEAR_TOP_LAST = 16;   // "=" at 0..16 takes 16 characters
const size_t FURTHER_LAST = 64;    // at 17..64 it takes 32, beyond that 128

const size_t PRESET_MAX = FNM_SIZE - 1;  // characters of a preset file

size_t windowLengthAt(size_t position)
{
    if (position > FURTHER_LAST) return WINDOW_FAR;
    if (position > NEAR_TOP_LAST) return WINDOW_FURTHER;
    return WINDOW_NEAR_TOP;
}

// Length of the window starting at `start`: at most `window` characters,
// ending before the line feed, a zero character or the end of the text.
size_t windowAt(const char* text, size_t length, size_t start, size_t window)
{
    size_t taken = 0;
    while (taken < window && start + taken < length) {
        char c = text[start + taken];
        if (c == '\n' || c == '\0') break;
        ++taken;
    }
    return taken;
}

const int CTRL_Z = 0x1A;

int readRawChar(TextReader* reader)
{
    if (reader->ended) return EOF;
    int c = fgetc(reader->file);
    if (c != CTRL_Z) return c;
    reader->ended = true;
    return EOF;
}

// Stores one character of the preset file; false when `fnm` is full.
bool storePresetChar(char c, size_t* n)
{
    if (*n == PRESET_MAX) return false;
    fnm[(*n)++] = c;
    return true;
}

// Reads `fp` into `fnm` as text and sets `length` to the count.
PresetResult readPresetFile(size_t* length)
{
    TextReader preset = {fp};
    size_t n = 0;
    int c;
    while ((c = readTextChar(&preset)) != EOF)
        if (!storePresetChar(static_cast<char>(c), &n)) return presetTooLarge;
    if (ferror(fp)) return presetUnreadable;
    fnm[n] = '\0';
    *length = n;
    return presetRead;
}

}  // namespace

int readTextChar(TextReader* reader)
{
    if (reader->heldReturns > 0) {
        --reader->heldReturns;
        return '\r';
    }
    if (reader->heldChar != NO_HELD_CHAR) {
        int c = reader->heldChar;
        reader->heldChar = NO_HELD_CHAR;
        return c;
    }
    int c = readRawChar(reader);
    if (c != '\r') return c;
    // A run of carriage returns: dropped when a line feed ends it, else
    // given out one by one, then what ended the run.
    unsigned long returns = 1;
    while ((c = readRawChar(reader)) == '\r') ++returns;
    if (c == '\n') return c;
    reader->heldReturns = returns - 1;
    reader->heldChar = c;
    return '\r';
}

bool appendValue(const char* text, size_t length)
{
    size_t used = strlen(str);
    if (length + 1 > STR_SIZE - 1 - used) return false;  // keep the zero
    memcpy(str + used, text, length);
    str[used + length] = '\n';
    str[used + length + 1] = '\0';
    return true;
}

bool appendWindows(const char* text, size_t length)
{
    for (size_t j = 0; j < length; ++j) {
        if (text[j] != '=') continue;
        size_t taken = windowAt(text, length, j + 1, windowLengthAt(j));
        if (!appendValue(text + j + 1, taken)) return false;
    }
    return true;
}

PresetResult binFormatter()
{
    size_t length = 0;
    PresetResult result = readPresetFile(&length);
    if (result != presetRead) return result;
    return appendWindows(fnm, length) ? presetRead : presetTooLarge;
}

PresetResult openBin()
{
    fp = fopen(easterEgg, "r");
    if (!fp) return presetRead;
    printf(" \n\n     You're Lucky Today, [%s] found! \n\n", easterEgg);
    presetsFound = true;
    return binFormatter();
}
