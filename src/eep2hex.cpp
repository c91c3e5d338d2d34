// VORLIX EEP creator: turns four hexadecimal values, from "presets.ini" or
// typed at the console, into the EEPROM image "vx.eep" and its Intel HEX
// rendering "vx.eep.hex". One run is one pass, ended by a key press.
#include <cstdio>
#include <cstring>

#include "eep2hex.h"
#include "hexconv.h"
#include "hexrecord.h"
#include "intake.h"
#include "platform.h"
#include "version.h"

char str[STR_SIZE];
char fnm[FNM_SIZE];
unsigned char keyWrd[IMAGE_SIZE];
char temp[HEX_TEXT_SIZE];
bool presetsFound;
FILE* f;
FILE* fp;
const char easterEgg[] = "presets.ini";
const char resultingHex[] = "vx.eep.hex";

namespace {

const char imageName[] = "vx.eep";
const unsigned short CONVERTED_LENGTH = 356;  // characters of `str` converted

const char unableToOpen[] = " \n  Unable to open [%s]! \n  Hit a Key to Exit";
const char unableToWrite[] = " \n  Unable to write [%s]! \n  Hit a Key to Exit";
const char tooLarge[] = " \n  [%s] is too large! \n  Hit a Key to Exit";
const char unableToRead[] = " \n  Unable to read [%s]! \n  Hit a Key to Exit";

// One step of the typed entry. `limit` is the size given to the line read,
// so a step takes at most limit - 1 characters, its line feed included.
struct Prompt {
    const char* text;
    unsigned char limit;
};

const Prompt prompts[] = {
    {" \n  Type your admin pass (4 bytes, hex, no prefix,\n  e.g. [3B, 7D, 91, C4]),  hit Enter when ready \n\n", 32},
    {" \n  Type your serial number (8 bytes, hex), hit Enter when ready \n\n", 32},
    {" \n  Type your hash key (32 bytes, hex), hit Enter when ready \n\n", 128},
    {" \n  Type your random number (32 bytes, hex), hit Enter when ready \n\n", 128},
};

int endOnKey(int status)
{
    fflush(stdout);
    _getch();
    return status;
}

int failOnFile(const char* message, const char* fileName)
{
    printf(message, fileName);
    printf("\n   ");
    return endOnKey(1);
}

// Standard input, read as text the same way on every platform.
TextReader typedInput = {stdin};

struct TypedLine {
    size_t length;  // characters of the value, its line feed not counted
    bool ended;     // input ended before the line had a character
    bool cut;       // characters past the limit were discarded
};

// Reads one line into `fnm`, taking at most limit - 1 characters. The rest of
// a longer line is discarded, so it cannot spill into the next step.
TypedLine readTypedLine(unsigned limit)
{
    TypedLine line = {0, false, false};
    size_t taken = 0;
    bool lineFeed = false;
    int c = EOF;
    fflush(stdout);
    while (taken + 1 < limit && (c = readTextChar(&typedInput)) != EOF) {
        lineFeed = c == '\n';
        if (lineFeed) break;
        // A zero byte separates like any other non-digit; as a blank it
        // cannot cut the value text short.
        fnm[taken++] = c == '\0' ? ' ' : static_cast<char>(c);
    }
    fnm[taken] = '\0';
    line.length = taken;
    line.ended = taken == 0 && !lineFeed && c == EOF;
    if (!lineFeed && !line.ended) {
        while ((c = readTextChar(&typedInput)) != EOF && c != '\n') line.cut = true;
    }
    return line;
}

// The four prompts, each answer appended to `str`. False when input ended.
bool enterValues()
{
    printf("\n\n     No [%s] found, please enter your\n\t    Values manually in four steps: \n",
           easterEgg);
    for (const Prompt& prompt : prompts) {
        printf("%s", prompt.text);
        TypedLine line = readTypedLine(prompt.limit);
        if (line.ended) return false;
        if (line.cut)
            printf("\n  Only the first %u characters of that line were taken.\n",
                   prompt.limit - 1u);
        appendValue(fnm, line.length);  // four lines always fit `str`
    }
    return true;
}

// Writes `length` bytes, flushes them to the storage device and closes the
// file; false when any of it failed. Only data on the device survives a power
// cut or a pulled USB stick right after the run.
bool writeAndClose(FILE* file, const void* data, size_t length)
{
    bool written = fwrite(data, 1, length, file) == length && flushToDisk(file);
    bool closed = fclose(file) == 0;
    return written && closed;
}

// True when the file `name`, opened with `mode`, holds exactly the `length`
// bytes of `data`. A runtime may report a write as done that never reached
// the disk, so only what reads back counts as written.
bool readsBack(const char* name, const char* mode, const void* data, size_t length)
{
    FILE* file = fopen(name, mode);
    if (!file) return false;
    const unsigned char* expected = static_cast<const unsigned char*>(data);
    size_t same = 0;
    while (same < length && fgetc(file) == expected[same]) ++same;
    bool exact = same == length && fgetc(file) == EOF && !ferror(file);
    fclose(file);
    return exact;
}

// Leaves `name` an empty file, where it can be opened for writing.
void empty(const char* name)
{
    FILE* file = fopen(name, "wb");
    if (file) fclose(file);
}

// Empties a hex file left by an earlier run, so that no failure ending can
// leave an earlier device's records beside this run's empty image. Only a
// file that opens for update is emptied: none is created, and a directory or
// a file this user may not change stays as it is.
void emptyEarlierHex()
{
    FILE* earlier = fopen(resultingHex, "r+");
    if (!earlier) return;
    fclose(earlier);
    empty(resultingHex);
}

}  // namespace

int main()
{
    printf("\n     %s V.%s by Taldrin\n\n"
           "     ******************************************", EEP2HEX_PRODUCT, EEP2HEX_VERSION);

    f = fopen(imageName, "wb");
    if (!f) return failOnFile(unableToOpen, imageName);
    emptyEarlierHex();

    PresetResult preset = openBin();
    if (preset == presetTooLarge) return failOnFile(tooLarge, easterEgg);
    if (preset == presetUnreadable) return failOnFile(unableToRead, easterEgg);

    if (!presetsFound && !enterValues()) {
        printf("\n\n    Input ended before all four values were entered.  Hit a Key to Exit.\n\n \n");
        return endOnKey(1);
    }

    unsigned n = xToArr(str, keyWrd, CONVERTED_LENGTH, IMAGE_SIZE);
    if (n == 0) {
        printf("\n\n    Nothing to write.  Hit a Key to Exit.\n\n \n");
        return endOnKey(1);
    }
    if (n > IMAGE_SIZE) {
        printf("\n\n    Too much to write: %u bytes, the image holds at most %u.  Hit a Key to Exit.\n\n \n",
               n, IMAGE_SIZE);
        return endOnKey(1);
    }

    for (unsigned i = 0; i < n; ++i) hexout(keyWrd[i], i, 0);
    hexout(0, 0, 1);

    printf("\n\n     Writing to disk...\n\n");

    // The image is complete on disk before the hex file is touched; a
    // partial image is never left to be loaded.
    bool imageWritten = writeAndClose(f, keyWrd, n) && readsBack(imageName, "rb", keyWrd, n);
    f = nullptr;
    if (!imageWritten) {
        empty(imageName);
        return failOnFile(unableToWrite, imageName);
    }

    FILE* hex = fopen(resultingHex, "w");
    if (!hex) return failOnFile(unableToOpen, resultingHex);
    size_t hexLength = strlen(temp);
    if (!writeAndClose(hex, temp, hexLength) || !readsBack(resultingHex, "r", temp, hexLength)) {
        remove(resultingHex);  // never leave a partial hex file to be loaded
        return failOnFile(unableToWrite, resultingHex);
    }
    if (fp) fclose(fp);

    printf(" \n     Your File(s) [%s] and [%s]\n     were Created Successfully,   Have a Nice Day!",
           imageName, resultingHex);
    printf(" \n\n                  Now Hit a Key to Exit.\n");
    return endOnKey(0);
}
