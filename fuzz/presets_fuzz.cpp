// Preset file reading on arbitrary file contents. The value text must be
// exactly the windows of a plain model, each inside one line of the file,
// and oversize input must be refused rather than cut.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "eep2hex.h"
#include "intake.h"

namespace {

// The file as read: up to the first Ctrl-Z, every carriage return of a run
// that a line feed ends dropped.
std::string asText(const uint8_t* data, size_t size)
{
    std::string raw(reinterpret_cast<const char*>(data), size);
    raw = raw.substr(0, raw.find('\x1A'));
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i) {
        size_t next = raw.find_first_not_of('\r', i);
        if (raw[i] == '\r' && next != std::string::npos && raw[next] == '\n') i = next;
        text += raw[i];
    }
    return text;
}

// After each "=": up to 16, 32 or 128 characters by its position, cut at the
// line's end or a zero character, then a line feed.
std::string windowsOf(const std::string& text)
{
    std::string windows;
    size_t window = 16;
    for (size_t j = 0; j < text.size(); ++j) {
        if (text[j] != '=') continue;
        if (j > 64) window = 128;
        else if (j > 16) window = 32;
        std::string taken = text.substr(j + 1, window);
        taken = taken.substr(0, taken.find_first_of(std::string("\n\0", 2)));
        windows += taken + "\n";
    }
    return windows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static char empty[1];
    fp = size ? fmemopen(const_cast<uint8_t*>(data), size, "r") : fmemopen(empty, 1, "r");
    if (!fp) return 0;
    if (!size) fgetc(fp);  // an empty file: at its end from the start
    str[0] = '\0';
    PresetResult result = binFormatter();
    fclose(fp);
    fp = nullptr;

    std::string text = asText(data, size);
    if (text.size() > FNM_SIZE - 1) {
        if (result != presetTooLarge) __builtin_trap();
        return 0;
    }
    std::string windows = windowsOf(text);
    if (windows.size() > STR_SIZE - 1) {
        if (result != presetTooLarge) __builtin_trap();
        return 0;
    }
    if (result != presetRead || windows != str) __builtin_trap();
    return 0;
}
