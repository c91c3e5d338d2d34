// The whole tool, run in a fresh directory with scripted input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "console_text.h"
#include "tool_run.h"

namespace {

using text::banner;
using text::notFound;
using text::prompts;

const std::string adminLine = "[3B, 7D, 91, C4]";
const std::string serialLine = "01 23 45 67 89 AB CD EF";
const std::string hashLine = "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F";
const std::string randomLine = "c8c9cacbcccdcecfd0d1d2d3d4d5d6d7d8d9dadbdcdddedfe0e1e2e3e4e5e6e7";
const std::string fullInput = adminLine + "\n" + serialLine + "\n" + hashLine + "\n" + randomLine + "\nk";


const std::string typedConsole = banner + notFound + prompts(4);

bool isDirectory(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Bytes from hex digits, two a byte.
std::string bytesOf(const std::string& hexDigits)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hexDigits.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hexDigits.substr(i, 2), nullptr, 16));
    return bytes;
}

const std::string image76 = bytesOf("3B7D91C4" "0123456789ABCDEF" + hashLine + randomLine);

std::string withCrLf(std::string text)
{
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.replace(at, 1, "\r\n");
    return text;
}

std::string withoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

const std::string examplePresets = readFile(EXAMPLES_DIR "/presets.ini");
const std::string exampleImage = bytesOf(
    "3B7D91C4" "7942BDF22106F084"
    "7762F0F3CB4D764DC7072051159A0F89F2C6DACAE344BB311245FD6F84DF9AD7"
    "C5B3D076AC0E8F53A7356C88913F20F6F72DB022D24D0A96DAD43C1617C1A98E");

std::function<void(const std::string&)> presets(const std::string& content)
{
    return [content](const std::string& dir) { writeFile(dir + "/presets.ini", content); };
}

const std::string presetConsole = banner + text::found;

// Every byte value but "=" and the Ctrl-Z that would end the text, over
// and over, or with an "=" before each byte.
std::string garbage(bool withEquals)
{
    std::string bytes;
    for (int round = 0; round < 4; ++round)
        for (int b = 0; b < 256; ++b)
            if (b != '=' && b != 0x1A) bytes += withEquals ? "=" + std::string(1, static_cast<char>(b)) : std::string(1, static_cast<char>(b));
    return bytes;
}

void placeDirectory(const std::string& path) { ASSERT_EQ(mkdir(path.c_str(), 0700), 0); }

// Runs `setup`, if any, then leaves the hex file of an earlier device.
std::function<void(const std::string&)> withEarlierHex(
    std::function<void(const std::string&)> setup = nullptr)
{
    return [setup](const std::string& dir) {
        if (setup) setup(dir);
        writeFile(dir + "/vx.eep.hex", ":0400000001020304F2\n:00000001FF\n");
    };
}
void placeLink(const char* target, const std::string& path) { ASSERT_EQ(symlink(target, path.c_str()), 0); }

// Where a case runs, where that matters.
enum class Where {
    anywhere,
    // Linux only: a directory named presets.ini opens there for reading and
    // fails to read; Windows cannot open a directory, so there it counts as
    // no preset file at all.
    presetsDirectoryOpens,
    // Not as root, who is not held to file modes.
    fileModes,
    // Everywhere, but Wine cannot remove a link to a device (Windows has
    // no such links), so there the removed hex file stays, as a link to a
    // device that holds no hex text.
    hexIsDeviceLink,
    // Where an fsync fault library can be preloaded: into Linux programs
    // of its own word size, so into 32-bit Wine only with a 32-bit build.
    fsyncPreload,
};

const char* windowsExe() { return std::getenv("EEP2HEX_WINDOWS_EXE"); }

// The .exe under the Wine loader, or the command that starts it, named in
// EEP2HEX_WINE: the 64-bit loader for a 64-bit build, the 32-bit one for the
// operators' build.
std::vector<std::string> windowsCommand()
{
    const char* wine = std::getenv("EEP2HEX_WINE");
    return {wine ? wine : "wine", windowsExe()};
}

// The fsync fault library that the Wine loader takes, built for the
// loader's word size and named in EEP2HEX_WINE_FSYNC_FAULT_LIB; null for none.
const char* wineFsyncFaultLib() { return std::getenv("EEP2HEX_WINE_FSYNC_FAULT_LIB"); }

// `command` with the fsync fault library `lib` preloaded and set to `fault`.
std::vector<std::string> withFsyncFault(const char* fault, const char* lib, std::vector<std::string> command)
{
    if (fault)
        command.insert(command.begin(), {"env", std::string("LD_PRELOAD=") + lib,
                                         std::string("EEP2HEX_FSYNC_FAULT=") + fault});
    return command;
}

// Why `c` cannot run as this user on the build named, or null when it can.
const char* skipReason(Where where, bool windows)
{
    if (where == Where::fsyncPreload) {
#ifdef FSYNC_PRELOAD_REFUSED
        return FSYNC_PRELOAD_REFUSED;
#endif
        if (windows && !wineFsyncFaultLib())
            return "no fsync fault library of this Wine loader's word size (EEP2HEX_WINE_FSYNC_FAULT_LIB)";
    }
    if (where == Where::fileModes && geteuid() == 0) return "root is not held to file modes";
    if (where == Where::presetsDirectoryOpens && windows)
        return "Windows cannot open a directory named presets.ini";
    return nullptr;
}

struct RunCase {
    const char* name;
    std::function<void(const std::string& dir)> setup;
    std::string input;
    std::string console;
    int status;
    std::optional<std::string> image;  // none: vx.eep is the test's own placeholder
    bool hexWritten;
    Where where = Where::anywhere;
    unsigned long fileSizeLimit = 0;  // bytes any file may grow to; 0: no limit
    bool earlierHexKept = false;      // a failure before vx.eep exists touches nothing
    const char* fsyncFault = nullptr;  // EEP2HEX_FSYNC_FAULT for the preloaded library; null: none
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

// Runs `command` in `dir` on the input of `c`, with its fsync fault (through
// `faultLib`) and file size limit.
ToolRun runCase(const std::string& dir, const RunCase& c, const std::vector<std::string>& command,
                const char* faultLib = FSYNC_FAULT_LIB)
{
    return runCommand(dir, c.input, withFsyncFault(c.fsyncFault, faultLib, command), c.fileSizeLimit);
}

class Run : public testing::TestWithParam<RunCase> {};

// Checks console, status and both files; a written hex file must read back,
// through two independent readers, as exactly the image's bytes.
TEST_P(Run, ConsoleStatusAndFiles)
{
    const RunCase& c = GetParam();
    if (const char* reason = skipReason(c.where, false)) GTEST_SKIP() << reason;
    std::string dir = freshDirectory();
    if (c.setup) c.setup(dir);
    std::string hex = dir + "/vx.eep.hex";
    bool hexBefore = isRegularFile(hex);
    std::string hexTextBefore = hexBefore ? readFile(hex) : "";
    ToolRun run = runCase(dir, c, {EEP2HEX_PATH});
    EXPECT_EQ(run.console, c.console);
    EXPECT_EQ(run.status, c.status);
    if (c.image) {
        EXPECT_EQ(readFile(dir + "/vx.eep"), *c.image);
    }
    if (!c.hexWritten) {
        // No hex text stands beside a failed run's image: an earlier hex
        // file is emptied, in its place, and none is created.
        if (hexBefore) {
            EXPECT_TRUE(isRegularFile(hex));
            EXPECT_EQ(readFile(hex), c.earlierHexKept ? hexTextBefore : "");
        } else {
            EXPECT_TRUE(!exists(hex) || isDirectory(hex));
        }
        return;
    }
    ASSERT_TRUE(c.image);
    for (const std::string& decoded : readBack(dir)) EXPECT_EQ(decoded, *c.image);
}

const std::string digits31 = std::string(31, '7');
const std::string digits127 = std::string(127, '7');
const std::string success = text::writing + text::success;

// A typed run of 15 + 15 + 49 + `lastBytes` bytes of 0x77.
std::string typedBytes(unsigned lastBytes)
{
    std::string pass(30, '7');
    std::string key(98, '7');
    return pass + "\n" + pass + "\n" + key + "\n" + std::string(2 * lastBytes, '7') + "\n";
}

// Nine 128-character windows from a run of "=" past position 64, each
// holding the byte 3B once, then one window of the rest: `length`
// characters of value text with their line feeds.
std::string presetsFillingValueText(size_t length)
{
    return std::string(65, ';') + std::string(9, '=') + "3B" + std::string(117, ' ') + "=" +
           std::string(length - 9 * 129 - 1, ' ');
}

// Each line one character over its step's limit, or exactly at it: two
// bytes a line, whose last digit falls off when the line is too long.
std::string linesAround(int overLimit)
{
    auto line = [overLimit](const char* first, size_t blanks, const char* last) {
        return first + std::string(blanks + overLimit, ' ') + last + "\n";
    };
    return line("3B", 27, "7D") + line("91", 27, "C4") + line("AA", 123, "BB") + line("CC", 123, "DD");
}

const RunCase runCases[] = {
    {"FullTypedRun", nullptr, fullInput, typedConsole + text::writing + text::success, 0, image76, true},
    {"ZeroBytesKept", nullptr, "[00, 00, 00, 00]\n00 00 00 00 00 00 00 01\n00\n\n",
     typedConsole + text::writing + text::success, 0, std::string(11, '\0') + "\x01" + '\0', true},
    {"OverlongLinesDiscardTheirRest", nullptr,
     "3B7D91C4" + std::string(23, ' ') + "FF\n0102030405060708\nAA\nBB" + std::string(198, 'x') + "\n",
     banner + notFound + prompts(1) + text::cut(31) + text::prompt(2) + text::prompt(3) +
         text::prompt(4) + text::cut(127) + text::writing + text::success,
     0, "\x3B\x7D\x91\xC4\x01\x02\x03\x04\x05\x06\x07\x08\xAA\xBB", true},
    {"LineOfExactly31KeepsValuesApart", nullptr,
     "3B7D91C4" + std::string(22, ' ') + "A\nB 0102030405060708\n\n\n",
     typedConsole + text::writing + text::success, 0,
     "\x3B\x7D\x91\xC4\x01\x02\x03\x04\x05\x06\x07\x08", true},
    {"ZeroByteInTypedLineSeparates", nullptr, std::string("3B\0" "7D\n\n\n\n", 9),
     typedConsole + text::writing + text::success, 0, "\x3B\x7D", true},
    {"LastLineWithoutLineFeed", nullptr, "3B\n\n\nC4", typedConsole + text::writing + text::success, 0,
     "\x3B\xC4", true},
    {"ExistingFilesReplaced",
     [](const std::string& d) {
         writeFile(d + "/vx.eep", std::string(1000, 'Z'));
         writeFile(d + "/vx.eep.hex", std::string(5000, 'Z'));
     },
     fullInput, typedConsole + text::writing + text::success, 0, image76, true},
    {"ExamplePresets", presets(examplePresets), "k", presetConsole + text::writing + text::success, 0,
     exampleImage, true},
    {"ExamplePresetsWithCrLf", presets(withCrLf(examplePresets)), "",
     presetConsole + text::writing + text::success, 0, exampleImage, true},
    {"ShortPresetValuesTakenOnce", presets("a=3B\nb=7D\n"), "", presetConsole + text::writing + text::success,
     0, "\x3B\x7D", true},
    {"Exactly128Bytes", nullptr, typedBytes(49), typedConsole + success, 0, std::string(128, '\x77'), true},
    {"LinesAtTheirLimitTakenWhole", nullptr, linesAround(0), typedConsole + success, 0,
     "\x3B\x7D\x91\xC4\xAA\xBB\xCC\xDD", true},
    {"LinesOneOverTheirLimitLoseTheLast", nullptr, linesAround(1),
     banner + notFound + prompts(1) + text::cut(31) + text::prompt(2) + text::cut(31) + text::prompt(3) +
         text::cut(127) + text::prompt(4) + text::cut(127) + success,
     0, "\x3B\x91\xAA\xCC", true},
    {"PresetValueTextOf1247Fits", presets(presetsFillingValueText(1247)), "", presetConsole + success, 0,
     "\x3B\x3B\x3B", true},
    // Read as text, the hash key's "=" stands at 64 and takes 32 characters;
    // with a carriage return kept it would stand at 65 and take 128.
    {"PresetLinesEndingInCrCrLf", presets("a=3B7D91C4\r\r\n" + std::string(53, '.') + "=" + hashLine + "\r\r\n"),
     "", presetConsole + success, 0, bytesOf("3B7D91C4" + hashLine.substr(0, 32)), true},
    {"TypedLinesEndingInCrCrLf", nullptr, withCrLf(withCrLf(linesAround(0))), typedConsole + success, 0,
     "\x3B\x7D\x91\xC4\xAA\xBB\xCC\xDD", true},
    {"CtrlZEndsThePresetFile", presets("a=3B\nb=7D\x1A\nc=91\n" + std::string(2000, 'x')), "",
     presetConsole + success, 0, "\x3B\x7D", true},
    {"CtrlZEndsTypedInputWithinAValue", nullptr, "3B\n7D\nAA\nBB\x1A" "CC\n", typedConsole + success, 0,
     "\x3B\x7D\xAA\xBB", true},
};

INSTANTIATE_TEST_SUITE_P(Eep2hex, Run, testing::ValuesIn(runCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Each fault ends the run with its message and status 1, and leaves no
// vx.eep.hex behind: none where there was none, the old one untouched where
// one stood before.
const RunCase faultCases[] = {
    {"NothingToWrite", nullptr, "\nno digits\nG 1 2 3\n\n", typedConsole + text::nothing, 1, "", false},
    {"TooManyBytes", nullptr, digits31 + "\n" + digits31 + "\n" + digits127 + "\n" + digits127 + "\n",
     typedConsole + text::tooMuch(15 + 15 + 63 + 63), 1, "", false},
    {"InputEndsAtStep1", nullptr, "", banner + notFound + prompts(1) + text::ended, 1, "", false},
    {"InputEndsAtStep2", nullptr, "3B\n", banner + notFound + prompts(2) + text::ended, 1, "", false},
    {"InputEndsAtStep3", nullptr, "3B\n7D\n", banner + notFound + prompts(3) + text::ended, 1, "", false},
    {"InputEndsAtStep4", nullptr, "3B\n7D\n91\n", typedConsole + text::ended, 1, "", false},
    {"ImageNotCreatable", [](const std::string& d) { placeDirectory(d + "/vx.eep"); }, fullInput,
     banner + text::fileFault("Unable to open", "vx.eep"), 1, std::nullopt, false},
    {"ImageOnFullDisk", [](const std::string& d) { placeLink("/dev/full", d + "/vx.eep"); }, fullInput,
     typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep"), 1, std::nullopt, false},
    {"HexNotCreatable", [](const std::string& d) { placeDirectory(d + "/vx.eep.hex"); }, fullInput,
     typedConsole + text::writing + text::fileFault("Unable to open", "vx.eep.hex"), 1, image76, false},
    {"HexOnFullDiskIsRemoved", [](const std::string& d) { placeLink("/dev/full", d + "/vx.eep.hex"); },
     fullInput, typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep.hex"), 1, image76, false,
     Where::hexIsDeviceLink},
    {"ExistingImageTruncatedWhenNothingToWrite",
     [](const std::string& d) { writeFile(d + "/vx.eep", std::string(1000, 'Z')); }, "\n\n\n\n",
     typedConsole + text::nothing, 1, "", false},
    {"PresetsWithoutEquals", presets("3B 7D 91 C4\n"), "", presetConsole + text::nothing, 1, "", false},
    {"EmptyPresets", presets(""), "", presetConsole + text::nothing, 1, "", false},
    {"PresetsTooLarge", presets(std::string(1248, 'x')), "", presetConsole + text::presetTooLarge, 1, "",
     false},
    {"PresetWindowsTooLarge", presets(std::string(1000, '=')), "", presetConsole + text::presetTooLarge, 1,
     "", false},
    {"PresetsUnreadable", [](const std::string& d) { placeDirectory(d + "/presets.ini"); }, "",
     presetConsole + text::fileFault("Unable to read", "presets.ini"), 1, "", false, Where::presetsDirectoryOpens},
    {"ImageDirectoryReadOnly", [](const std::string& d) { chmod(d.c_str(), 0555); }, fullInput,
     banner + text::fileFault("Unable to open", "vx.eep"), 1, std::nullopt, false, Where::fileModes},
    {"PresetsWithoutPermissionAreNoPresets",
     [](const std::string& d) {
         writeFile(d + "/presets.ini", "a=3B\n");
         chmod((d + "/presets.ini").c_str(), 0);
     },
     "", banner + notFound + prompts(1) + text::ended, 1, "", false, Where::fileModes},
    {"PresetsOfBinaryGarbage", presets(garbage(false)), "", presetConsole + text::nothing, 1, "", false},
    {"PresetsOfGarbageWithEquals", presets(garbage(true)), "", presetConsole + text::presetTooLarge, 1, "",
     false},
    {"PresetsWithZeroAndHighBytes", presets(std::string("a=\x80\xFF\0" "3B\n", 8)), "",
     presetConsole + text::nothing, 1, "", false},
    {"TypedLineOf10000Characters", nullptr, std::string(10000, '7') + "\n",
     banner + notFound + prompts(1) + text::cut(31) + text::prompt(2) + text::ended, 1, "", false},
    {"TypedZeroAndHighBytes", nullptr, std::string("\0\x80\xFF\0\n\xC3\xA9\n\0\n\xFE\xFF\n", 14),
     typedConsole + text::nothing, 1, "", false},
    {"CtrlZEndsTypedInputBeforeAValue", nullptr, "3B\n7D\x1A" "AA\nBB\n",
     banner + notFound + prompts(3) + text::ended, 1, "", false},
    {"EarlierHexEmptiedWhenNothingToWrite", withEarlierHex(), "\n\n\n\n", typedConsole + text::nothing, 1,
     "", false},
    {"EarlierHexEmptiedWhenTheImageWriteFails",
     withEarlierHex([](const std::string& d) { placeLink("/dev/full", d + "/vx.eep"); }), fullInput,
     typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep"), 1, std::nullopt, false},
    {"EarlierHexEmptiedWhenTooMuch", withEarlierHex(), typedBytes(50), typedConsole + text::tooMuch(129), 1,
     "", false},
    {"EarlierHexEmptiedWhenInputEnds", withEarlierHex(), "3B\n", banner + notFound + prompts(2) + text::ended,
     1, "", false},
    {"EarlierHexEmptiedWhenPresetsTooLarge", withEarlierHex(presets(presetsFillingValueText(1248))), "",
     presetConsole + text::presetTooLarge, 1, "", false},
    {"EarlierHexEmptiedWhenPresetsUnreadable",
     withEarlierHex([](const std::string& d) { placeDirectory(d + "/presets.ini"); }), "",
     presetConsole + text::fileFault("Unable to read", "presets.ini"), 1, "", false, Where::presetsDirectoryOpens},
    {"EarlierHexKeptWhenImageNotCreatable",
     withEarlierHex([](const std::string& d) { placeDirectory(d + "/vx.eep"); }), fullInput,
     banner + text::fileFault("Unable to open", "vx.eep"), 1, std::nullopt, false, Where::anywhere, 0, true},
    {"HexDirectoryUntouchedWhenNothingToWrite", [](const std::string& d) { placeDirectory(d + "/vx.eep.hex"); },
     "\n\n\n\n", typedConsole + text::nothing, 1, "", false},
    {"ImageCutByFileSizeLimitLeftEmpty", nullptr, fullInput,
     typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep"), 1,
     "", false, Where::anywhere, 50},
    {"HexCutByFileSizeLimitRemoved", nullptr, fullInput,
     typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep.hex"), 1, image76, false,
     Where::anywhere, 200},
    // Writes that the runtime reports as done but that never reach a disk.
    {"ImageLinkedToDevNull", [](const std::string& d) { placeLink("/dev/null", d + "/vx.eep"); }, fullInput,
     typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep"), 1, std::nullopt, false},
    {"HexLinkedToDevNullRemoved", [](const std::string& d) { placeLink("/dev/null", d + "/vx.eep.hex"); },
     fullInput, typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep.hex"), 1, image76,
     false, Where::hexIsDeviceLink},
    {"ImageFlushFailsLeftEmpty", nullptr, fullInput,
     typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep"), 1, "", false,
     Where::fsyncPreload, 0, false, "fail vx.eep"},
    {"HexFlushFailsRemoved", nullptr, fullInput,
     typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep.hex"), 1, image76, false,
     Where::fsyncPreload, 0, false, "fail vx.eep.hex"},
    {"ImageReadingBackLongerLeftEmpty", nullptr, fullInput,
     typedConsole + text::writing + text::fileFault("Unable to write", "vx.eep"), 1, "", false,
     Where::fsyncPreload, 0, false, "grow vx.eep"},
};

INSTANTIATE_TEST_SUITE_P(Faults, Run, testing::ValuesIn(faultCases),
                         [](const auto& info) { return std::string(info.param.name); });


// The Windows build, run under Wine, must do what the Linux build does, but
// for the line ends of its console and its text-mode hex file.

// Tests of the Windows build, skipped when no .exe is named.
class OnWine : public testing::Test {
protected:
    void SetUp() override
    {
        if (!windowsExe()) GTEST_SKIP() << "no Windows build named in EEP2HEX_WINDOWS_EXE";
    }
};

// Runs `c` on both builds, each in a fresh directory, and compares: console
// text with carriage returns dropped, exit status, vx.eep byte for byte, and
// vx.eep.hex, which a successful run writes with CRLF line ends on Windows.
void expectSameOnBothBuilds(const RunCase& c)
{
    std::string linuxDir = freshDirectory();
    std::string windowsDir = freshDirectory();
    if (c.setup) {
        c.setup(linuxDir);
        c.setup(windowsDir);
    }
    ToolRun linuxRun = runCase(linuxDir, c, {EEP2HEX_PATH});
    ToolRun windowsRun = runCase(windowsDir, c, windowsCommand(), wineFsyncFaultLib());
    // Not compared: Wine's own error lines go there, and tell why a run failed.
    SCOPED_TRACE("standard error of the Windows run:\n" + windowsRun.errors);
    EXPECT_EQ(withoutCarriageReturns(windowsRun.console), linuxRun.console);
    EXPECT_EQ(windowsRun.status, linuxRun.status);
    if (c.image) {
        EXPECT_EQ(readFile(windowsDir + "/vx.eep"), readFile(linuxDir + "/vx.eep"));
    }
    std::string hex = "/vx.eep.hex";
    if (c.where != Where::hexIsDeviceLink) {
        ASSERT_EQ(exists(windowsDir + hex), exists(linuxDir + hex));
    }
    std::string linuxHex = readFile(linuxDir + hex);
    EXPECT_EQ(readFile(windowsDir + hex), linuxRun.status == 0 ? withCrLf(linuxHex) : linuxHex);
}

class WindowsRun : public OnWine, public testing::WithParamInterface<RunCase> {};

TEST_P(WindowsRun, MatchesTheLinuxRun)
{
    if (const char* reason = skipReason(GetParam().where, true)) GTEST_SKIP() << reason;
    expectSameOnBothBuilds(GetParam());
}

std::vector<RunCase> windowsCases()
{
    std::vector<RunCase> cases(std::begin(runCases), std::end(runCases));
    cases.insert(cases.end(), std::begin(faultCases), std::end(faultCases));
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Wine, WindowsRun, testing::ValuesIn(windowsCases()),
                         [](const auto& info) { return std::string(info.param.name); });


// A run answered as an operator does: each line typed only once its prompt
// is on the screen, the key only once the tool asks for it. Standard output
// is a pipe, so text the tool does not flush never arrives.
struct Dialogue {
    const char* name;
    std::function<void(const std::string& dir)> setup;
    std::vector<std::pair<std::string, std::string>> turns;  // once this shows, type that
    int signal;  // sent after the last turn; 0: none
    std::string ending;
    std::string image;
    bool hexWritten;  // else vx.eep.hex stays empty or absent
};

void PrintTo(const Dialogue& c, std::ostream* os) { *os << c.name; }

// With `crLf`, the tool's line feeds arrive as carriage return and line feed,
// as from the Windows build.
void converse(const Dialogue& c, const std::vector<std::string>& command, bool crLf)
{
    signal(SIGPIPE, SIG_IGN);  // a tool that ended early must not end the test
    std::string dir = freshDirectory();
    if (c.setup) c.setup(dir);
    int input = -1;
    int output = -1;
    pid_t child = startCommand(dir, command, &input, &output);
    std::string shown;
    for (const auto& [until, typed] : c.turns) {
        ASSERT_TRUE(readUntil(output, shown, crLf ? withCrLf(until) : until)) << shown;
        ASSERT_EQ(write(input, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    }
    if (c.signal) kill(child, c.signal);
    EXPECT_EQ(endingWithin10s(child), c.ending);
    drain(output, shown);
    close(input);
    close(output);
    EXPECT_EQ(withoutCarriageReturns(shown), c.turns.back().first);
    EXPECT_EQ(readFile(dir + "/vx.eep"), c.image);
    if (c.hexWritten) {
        for (const std::string& decoded : readBack(dir)) EXPECT_EQ(decoded, c.image);
    } else {
        EXPECT_EQ(readFile(dir + "/vx.eep.hex"), "");
    }
}

const Dialogue dialogues[] = {
    {"AnsweredPromptByPrompt",
     nullptr,
     {{banner + notFound + prompts(1), adminLine + "\n"},
      {banner + notFound + prompts(2), serialLine + "\n"},
      {banner + notFound + prompts(3), hashLine + "\n"},
      {typedConsole, randomLine + "\n"},
      {typedConsole + success, "k"}},
     0, "exit 0", image76, true},
    {"CtrlCAtAPromptLeavesNoEarlierHex", withEarlierHex(), {{banner + notFound + prompts(1), ""}}, SIGINT,
     "signal " + std::to_string(SIGINT), "", false},
};

class LiveDialogue : public testing::TestWithParam<Dialogue> {};

TEST_P(LiveDialogue, EachTextArrivesBeforeItsAnswer) { converse(GetParam(), {EEP2HEX_PATH}, false); }

INSTANTIATE_TEST_SUITE_P(Eep2hex, LiveDialogue, testing::ValuesIn(dialogues),
                         [](const auto& info) { return std::string(info.param.name); });

class WindowsDialogue : public OnWine, public testing::WithParamInterface<Dialogue> {};

TEST_P(WindowsDialogue, EachTextArrivesBeforeItsAnswer)
{
    if (GetParam().signal) GTEST_SKIP() << "Ctrl-C reaches a Windows program as a console event, not a signal";
    converse(GetParam(), windowsCommand(), true);
}

INSTANTIATE_TEST_SUITE_P(Wine, WindowsDialogue, testing::ValuesIn(dialogues),
                         [](const auto& info) { return std::string(info.param.name); });

// Seeded random inputs, each run on both builds as above: typed lines and
// preset files around the read limits and the 1,247 characters, "=" chains,
// NUL, 0xFF and high bytes, LF, CR LF, CR CR LF and lone CR line ends, and
// now and then a Ctrl-Z.
const unsigned RANDOM_BATCHES = 4;
const unsigned CASES_PER_BATCH = 75;

size_t below(std::mt19937& rng, size_t n) { return rng() % n; }

std::string randomText(std::mt19937& rng)
{
    const size_t lengths[] = {0, 1, 2, 3, 15, 16, 17, 30, 31, 32, 33, 63, 64, 65, 126, 127, 128, 129};
    const std::string digits = "0123456789abcdefABCDEF";
    const std::string common = digits + " ,[]x";
    const std::string rare("\0\xFF\x80\xC3\r=G\t", 8);
    bool digitsOnly = below(rng, 4) == 0;  // reaches "Too much to write"
    std::string text;
    for (size_t n = lengths[below(rng, std::size(lengths))]; n > 0; --n) {
        if (digitsOnly) text += digits[below(rng, digits.size())];
        else text += below(rng, 8) ? common[below(rng, common.size())] : rare[below(rng, rare.size())];
    }
    return text;
}

std::string randomLineEnd(std::mt19937& rng)
{
    const char* ends[] = {"\n", "\n", "\r\n", "\r\r\n", "\r"};
    return ends[below(rng, std::size(ends))];
}

std::string randomLines(std::mt19937& rng, bool presetFile)
{
    std::string text;
    for (size_t lines = presetFile ? below(rng, 7) : 3 + below(rng, 4); lines > 0; --lines) {
        if (presetFile) text += randomText(rng).substr(0, 70) + std::string(1 + below(rng, 3), '=');
        text += randomText(rng) + randomLineEnd(rng);
    }
    if (presetFile && below(rng, 3) == 0) {  // pad the file to about 1,247 characters
        size_t size = 1240 + below(rng, 16);
        if (text.size() < size) text += ";" + std::string(size - text.size() - 1, 'x');
    }
    if (below(rng, 10) == 0) text.insert(below(rng, text.size() + 1), "\x1A");
    return text;
}

std::string escaped(const std::string& bytes)
{
    std::string shown;
    for (unsigned char c : bytes) {
        char hex[5];
        snprintf(hex, sizeof hex, "\\x%02X", c);
        shown += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, static_cast<char>(c)) : hex;
    }
    return shown;
}

class RandomInputs : public OnWine, public testing::WithParamInterface<unsigned> {};

TEST_P(RandomInputs, MatchTheLinuxRun)
{
    const char* given = std::getenv("EEP2HEX_SEED");
    unsigned seed = given ? static_cast<unsigned>(std::stoul(given)) : std::random_device{}();
    std::mt19937 rng(seed + GetParam());
    for (unsigned i = 0; i < CASES_PER_BATCH && !HasFailure(); ++i) {
        bool withPresets = below(rng, 2);
        std::string file = withPresets ? randomLines(rng, true) : "";
        RunCase c = {"random", withPresets ? presets(file) : nullptr, randomLines(rng, false), "", 0, "", false};
        SCOPED_TRACE("seed " + std::to_string(seed) + ", batch " + std::to_string(GetParam()) + ", case " +
                     std::to_string(i) + "; rerun: EEP2HEX_SEED=" + std::to_string(seed) +
                     " bash scripts/check-windows\npresets.ini: " +
                     (withPresets ? "\"" + escaped(file) + "\"" : "none") + "\ntyped: \"" +
                     escaped(c.input) + "\"");
        expectSameOnBothBuilds(c);
    }
}

INSTANTIATE_TEST_SUITE_P(Wine, RandomInputs, testing::Range(0u, RANDOM_BATCHES));

TEST(Eep2hexRun, FullRunWritesSevenRecords)
{
    std::string dir = freshDirectory();
    ASSERT_EQ(runTool(dir, fullInput).status, 0);
    EXPECT_EQ(readFile(dir + "/vx.eep.hex"),
              ":020000040800F2\n"
              ":100000003B7D91C40123456789ABCDEF000102031D\n"
              ":100010000405060708090A0B0C0D0E0F1011121328\n"
              ":100020001415161718191A1B1C1D1E1FC8C9CACB78\n"
              ":10003000CCCDCECFD0D1D2D3D4D5D6D7D8D9DADB88\n"
              ":0C004000DCDDDEDFE0E1E2E3E4E5E6E722\n"
              ":00000001FF\n");
}

TEST(Eep2hexRun, ArgumentsChangeNothing)
{
    std::string plain = freshDirectory();
    std::string withArgs = freshDirectory();
    ToolRun expected = runTool(plain, fullInput);
    ToolRun run = runCommand(withArgs, fullInput, {EEP2HEX_PATH, "presets.ini", "--help", "-o", "other.hex"});
    EXPECT_EQ(run.console, expected.console);
    EXPECT_EQ(run.status, expected.status);
    EXPECT_EQ(readFile(withArgs + "/vx.eep"), readFile(plain + "/vx.eep"));
    EXPECT_EQ(readFile(withArgs + "/vx.eep.hex"), readFile(plain + "/vx.eep.hex"));
    EXPECT_FALSE(exists(withArgs + "/other.hex"));
}

}  // namespace
