// The tool's calls to the system: `_getch` for systems without the Windows
// console runtime, and the flush to the storage device.
#include "platform.h"

#ifdef _WIN32

#include <io.h>

bool flushToDisk(FILE* file) { return fflush(file) == 0 && _commit(_fileno(file)) == 0; }

#else

#include <csignal>
#include <cstdio>

#include <termios.h>
#include <unistd.h>

namespace {

// Signals that may end the process during the wait; the terminal gets its
// settings back before any of them does.
const int endingSignals[] = {SIGINT, SIGTERM, SIGHUP};
const int ENDING_SIGNAL_COUNT = sizeof endingSignals / sizeof endingSignals[0];

struct termios savedSettings;
struct sigaction previousActions[ENDING_SIGNAL_COUNT];

extern "C" void restoreTerminalAndEnd(int signal)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    raise(signal);  // delivered on return, with the default action reinstated
}

void catchEndingSignals()
{
    struct sigaction action = {};
    action.sa_handler = restoreTerminalAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < ENDING_SIGNAL_COUNT; ++i) {
        sigaction(endingSignals[i], nullptr, &previousActions[i]);
        // A signal the process was started to ignore (nohup) stays ignored.
        if (previousActions[i].sa_handler != SIG_IGN) sigaction(endingSignals[i], &action, nullptr);
    }
}

void releaseEndingSignals()
{
    for (int i = 0; i < ENDING_SIGNAL_COUNT; ++i)
        sigaction(endingSignals[i], &previousActions[i], nullptr);
}

}  // namespace

int _getch(void)
{
    // Scripted input is no terminal: take one character, and let the end
    // of input end the wait at once.
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedSettings) != 0) return getchar();

    struct termios oneKey = savedSettings;
    oneKey.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    oneKey.c_cc[VMIN] = 1;
    oneKey.c_cc[VTIME] = 0;
    catchEndingSignals();
    tcsetattr(STDIN_FILENO, TCSANOW, &oneKey);  // TCSANOW keeps keys typed ahead
    int key = getchar();
    tcsetattr(STDIN_FILENO, TCSANOW, &savedSettings);
    releaseEndingSignals();
    return key;
}

bool flushToDisk(FILE* file) { return fflush(file) == 0 && fsync(fileno(file)) == 0; }

#endif
