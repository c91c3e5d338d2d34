#include "tool_run.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
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

ToolRun runCommand(const std::string& dir, const std::string& input,
                   const std::vector<std::string>& command)
{
    std::string inputPath = dir + "/../stdin";
    std::string outputPath = dir + "/../stdout";
    writeFile(inputPath, input);
    pid_t child = fork();
    if (child == 0) {
        redirect(inputPath, O_RDONLY, STDIN_FILENO);
        redirect(outputPath, O_WRONLY | O_CREAT | O_TRUNC, STDOUT_FILENO);
        redirect(dir + "/../stderr", O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
        if (chdir(dir.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        alarm(30);  // a run that hangs is killed and fails its test
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    return {readFile(outputPath), WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1};
}

ToolRun runTool(const std::string& dir, const std::string& input,
                const std::vector<std::string>& args)
{
    std::vector<std::string> command = {EEP2HEX_PATH};
    command.insert(command.end(), args.begin(), args.end());
    return runCommand(dir, input, command);
}

bool exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string readFile(const std::string& path)
{
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
