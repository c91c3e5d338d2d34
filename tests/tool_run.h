// Runs the built eep2hex in a fresh directory, as an operator would.
#ifndef TOOL_RUN_H
#define TOOL_RUN_H

#include <string>
#include <vector>

struct ToolRun {
    std::string console;  // all the tool wrote to standard output
    int status;           // exit status, or -1 when it did not exit normally
};

// A fresh empty directory below a fresh parent; the parent also holds the
// run's scripted input and captured output, so the directory holds only
// what the test or the tool put there.
std::string freshDirectory();

// Runs `command` in `dir` with `input` as standard input (a file, so the
// tool sees the end of input after it); standard output is captured and
// standard error goes to a file, so no stream is a terminal.
ToolRun runCommand(const std::string& dir, const std::string& input,
                   const std::vector<std::string>& command);

// Runs the built eep2hex with the given arguments.
ToolRun runTool(const std::string& dir, const std::string& input,
                const std::vector<std::string>& args = {});

bool exists(const std::string& path);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

// Decodes the vx.eep.hex in `dir` with GNU objcopy and with srec_cat and
// returns what each gives as raw bytes from 0x08000000 on.
std::vector<std::string> readBack(const std::string& dir);

#endif
