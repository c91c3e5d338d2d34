// Runs the built eep2hex in a fresh directory, as an operator would.
#ifndef TOOL_RUN_H
#define TOOL_RUN_H

#include <string>
#include <sys/types.h>
#include <vector>

struct ToolRun {
    std::string console;  // all the tool wrote to standard output
    int status;           // exit status, or -1 when it did not exit normally
    std::string errors;   // all it wrote to standard error, shown when a test fails
};

// A fresh empty directory below a fresh parent; the parent also holds the
// run's scripted input and captured output, so the directory holds only
// what the test or the tool put there.
std::string freshDirectory();

// Runs `command` in `dir` with `input` as standard input (a file, so the
// tool sees the end of input after it); standard output is captured through
// a pipe and standard error through a file, so no stream is a terminal. A
// non-zero `fileSizeLimit` caps every file the command writes at that many
// bytes (RLIMIT_FSIZE, with SIGXFSZ ignored so writes fail instead).
ToolRun runCommand(const std::string& dir, const std::string& input,
                   const std::vector<std::string>& command, unsigned long fileSizeLimit = 0);

// Starts `command` in `dir` with standard input and output on pipes, whose
// other ends it stores in `input` and `output`; returns the child.
pid_t startCommand(const std::string& dir, const std::vector<std::string>& command, int* input,
                   int* output);

// Runs the built eep2hex with no arguments.
ToolRun runTool(const std::string& dir, const std::string& input, unsigned long fileSizeLimit = 0);

// Reads from `fd` into `shown` until `until` appears in it or 10 s have
// passed; true when it appeared.
bool readUntil(int fd, std::string& shown, const std::string& until);

// Reads from `fd` into `shown` whatever comes without a pause of `pauseMs`.
void drain(int fd, std::string& shown, int pauseMs = 200);

// How `child` ended within 10 s: "exit N", "signal N", or "running" (then
// it is killed).
std::string endingWithin10s(pid_t child);

bool exists(const std::string& path);
// The bytes of a regular file; "" for anything else or nothing.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

// Decodes the vx.eep.hex in `dir` with GNU objcopy and with srec_cat and
// returns what each gives as raw bytes from 0x08000000 on.
std::vector<std::string> readBack(const std::string& dir);

#endif
