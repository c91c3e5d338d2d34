// The final key wait on a real terminal: one key, no Enter, no echo, and the
// terminal left as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "tool_run.h"

namespace {

bool sameSettings(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::equal(a.c_cc, a.c_cc + NCCS, b.c_cc);
}

struct WaitEnding {
    const char* name;
    const char* keys;  // typed during the wait
    int signal;        // sent to the tool during the wait, before the keys
    std::string ending;
    bool hangUpIgnored = false;  // started as under nohup
};

void PrintTo(const WaitEnding& c, std::ostream* os) { *os << c.name; }

class FinalWait : public testing::TestWithParam<WaitEnding> {};

TEST_P(FinalWait, EndsAsExpectedAndRestoresTheTerminal)
{
    std::string dir = freshDirectory();
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios before;
    ASSERT_EQ(tcgetattr(slave, &before), 0);

    pid_t child = fork();
    if (child == 0) {
        setsid();
        ioctl(slave, TIOCSCTTY, 0);
        for (int fd = 0; fd < 3; ++fd) dup2(slave, fd);
        if (chdir(dir.c_str()) != 0) _exit(126);
        if (GetParam().hangUpIgnored) signal(SIGHUP, SIG_IGN);
        execl(EEP2HEX_PATH, EEP2HEX_PATH, static_cast<char*>(nullptr));
        _exit(127);
    }

    std::string shown;
    const std::string values = "3B7D91C4\n0123456789ABCDEF\n00\n11\n";
    ASSERT_EQ(write(master, values.data(), values.size()), static_cast<ssize_t>(values.size()));
    ASSERT_TRUE(readUntil(master, shown, "Now Hit a Key to Exit.")) << shown;

    // The tool turns line mode and echo off for the wait.
    termios waiting = before;
    for (int i = 0; i < 1000 && (waiting.c_lflag & ICANON); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        tcgetattr(slave, &waiting);
    }
    EXPECT_FALSE(waiting.c_lflag & (ICANON | ECHO));

    const WaitEnding& c = GetParam();
    size_t shownBeforeKey = shown.size();
    std::string keys = c.keys;
    if (c.signal) {
        kill(child, c.signal);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!keys.empty()) {
        ASSERT_EQ(write(master, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }
    EXPECT_EQ(endingWithin10s(child), c.ending);
    drain(master, shown);
    if (!keys.empty()) {
        EXPECT_EQ(shown.find(keys, shownBeforeKey), std::string::npos) << "the key was echoed";
    }

    termios after;
    ASSERT_EQ(tcgetattr(slave, &after), 0);
    EXPECT_TRUE(sameSettings(before, after));
    close(master);
    close(slave);
}

const WaitEnding waitEndings[] = {
    {"OneKeyWithoutEnter", "q", 0, "exit 0"},
    {"CtrlC", "\x03", 0, "signal " + std::to_string(SIGINT)},
    {"Terminated", "", SIGTERM, "signal " + std::to_string(SIGTERM)},
    {"HungUp", "", SIGHUP, "signal " + std::to_string(SIGHUP)},
    {"HangUpIgnoredUnderNohup", "q", SIGHUP, "exit 0", true},
};

INSTANTIATE_TEST_SUITE_P(Terminal, FinalWait, testing::ValuesIn(waitEndings),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
