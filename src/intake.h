// Value intake: the value text `str` filled from the preset file or typed lines.
#ifndef INTAKE_H
#define INTAKE_H

#include <cstddef>
#include <cstdio>

enum PresetResult {
    presetRead,        // read, or no preset file at all
    presetTooLarge,    // file or its values do not fit the buffers
    presetUnreadable,  // opened, but reading it failed
};

// Reads a text stream as a Windows text-mode read gives it, so that the same
// bytes read the same on every platform: a Ctrl-Z ends the text, and the
// carriage returns directly before a line feed belong to the line end and
// are dropped. A carriage return anywhere else is an ordinary character.
const int NO_HELD_CHAR = -2;

struct TextReader {
    FILE* file;
    unsigned long heldReturns = 0;  // carriage returns read ahead, not given out yet
    int heldChar = NO_HELD_CHAR;    // the character read after them
    bool ended = false;             // a Ctrl-Z was read: nothing more is
};

// Gives the next character of the text, or EOF at its end.
int readTextChar(TextReader* reader);

// Opens "presets.ini" in the working directory. When it opens, announces
// it, sets `presetsFound` and appends its values to `str`.
PresetResult openBin();

// Reads the open preset file `fp` into `fnm` and appends, after every "=",
// a window of the text that follows it to `str`.
PresetResult binFormatter();

// Appends to `str` the window after every "=" of `text`: up to 16, 32 or 128
// characters, by how far into the text the "=" stands, and never past the
// end of its line. Each window is followed by a line feed. False when `str`
// cannot hold them all.
bool appendWindows(const char* text, size_t length);

// Appends one value and the line feed that ends it to `str`. False, with
// `str` unchanged, when they do not fit.
bool appendValue(const char* text, size_t length);

#endif
