#include "tool_run.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Removes every directory the tests made when the test program ends.
struct MadeDirectories {
    std::vector<std::string> parents;
    ~MadeDirectories()
    {
        std::error_code ignored;
        for (const std::string& parent : parents) std::filesystem::remove_all(parent, ignored);
    }
} madeDirectories;

}  // namespace

std::string freshDirectory()
{
    std::string parent = "/tmp/eep2hex-test-XXXXXX";
    if (!mkdtemp(&parent[0])) abort();
    madeDirectories.parents.push_back(parent);
    std::string dir = parent + "/work";
    if (mkdir(dir.c_str(), 0700) != 0) abort();
    return dir;
}

namespace {

void redirect(const std::string& path, int flags, int fd)
{
    int opened = open(path.c_str(), flags, 0600);
    if (opened < 0 || dup2(opened, fd) < 0) _exit(126);
    close(opened);
}

}  // namespace

namespace {

void limitFileSize(unsigned long bytes)
{
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {bytes, bytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
}

// Everything `child` writes to `fd` until it exits. Stops at the exit rather
// than at the end of the pipe: a helper the child started (a wineserver) may
// hold the pipe open much longer.
std::string readUntilExit(int fd, pid_t child, int* wstatus)
{
    std::string text;
    while (waitpid(child, wstatus, WNOHANG) != child) drain(fd, text, 10);
    drain(fd, text, 0);
    return text;
}

[[noreturn]] void execIn(const std::string& dir, const std::vector<std::string>& command)
{
    if (chdir(dir.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    alarm(30);  // a run that hangs is killed and fails its test
    execvp(argv[0], argv.data());
    _exit(127);
}

}  // namespace

pid_t startCommand(const std::string& dir, const std::vector<std::string>& command, int* input,
                   int* output)
{
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) abort();
    pid_t child = fork();
    if (child == 0) {
        if (dup2(in[0], STDIN_FILENO) < 0 || dup2(out[1], STDOUT_FILENO) < 0) _exit(126);
        for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
        execIn(dir, command);
    }
    close(in[0]);
    close(out[1]);
    *input = in[1];
    *output = out[0];
    return child;
}

ToolRun runCommand(const std::string& dir, const std::string& input,
                   const std::vector<std::string>& command, unsigned long fileSizeLimit)
{
    std::string inputPath = dir + "/../stdin";
    writeFile(inputPath, input);
    int output[2];
    if (pipe(output) != 0) abort();
    pid_t child = fork();
    if (child == 0) {
        close(output[0]);
        redirect(inputPath, O_RDONLY, STDIN_FILENO);
        if (dup2(output[1], STDOUT_FILENO) < 0) _exit(126);
        close(output[1]);
        redirect(dir + "/../stderr", O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
        if (fileSizeLimit) limitFileSize(fileSizeLimit);
        execIn(dir, command);
    }
    close(output[1]);
    int wstatus = 0;
    std::string console = readUntilExit(output[0], child, &wstatus);
    close(output[0]);
    return {console, WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, readFile(dir + "/../stderr")};
}

ToolRun runTool(const std::string& dir, const std::string& input, unsigned long fileSizeLimit)
{
    return runCommand(dir, input, {EEP2HEX_PATH}, fileSizeLimit);
}

bool readUntil(int fd, std::string& shown, const std::string& until)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (shown.find(until) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd pfd = {fd, POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0) continue;
        char chunk[256];
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0) break;
        shown.append(chunk, static_cast<size_t>(n));
    }
    return shown.find(until) != std::string::npos;
}

void drain(int fd, std::string& shown, int pauseMs)
{
    pollfd pfd = {fd, POLLIN, 0};
    char chunk[4096];
    ssize_t n;
    while (poll(&pfd, 1, pauseMs) > 0 && (n = read(fd, chunk, sizeof chunk)) > 0)
        shown.append(chunk, static_cast<size_t>(n));
}

std::string endingWithin10s(pid_t child)
{
    for (int i = 0; i < 1000; ++i) {
        int wstatus = 0;
        if (waitpid(child, &wstatus, WNOHANG) == child) {
            if (WIFEXITED(wstatus)) return "exit " + std::to_string(WEXITSTATUS(wstatus));
            return "signal " + std::to_string(WTERMSIG(wstatus));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return "running";
}

bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string readFile(const std::string& path)
{
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) return "";  // a directory, a device
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> readBack(const std::string& dir)
{
    std::string hexPath = dir + "/vx.eep.hex";
    std::string out = dir + "/../objcopy.bin";
    std::string srec = dir + "/../srec.bin";
    std::string objcopy = std::string(OBJCOPY) + " -I ihex -O binary " + hexPath + " " + out;
    std::string srecCat = std::string(SREC_CAT) + " " + hexPath +
                          " -Intel -offset -0x08000000 -o " + srec + " -Binary";
    std::vector<std::string> decoded;
    decoded.push_back(std::system(objcopy.c_str()) == 0 ? readFile(out) : "objcopy failed");
    decoded.push_back(std::system(srecCat.c_str()) == 0 ? readFile(srec) : "srec_cat failed");
    return decoded;
}
