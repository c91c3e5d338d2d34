// `_getch` for systems without the Windows console runtime.
#include "keywait.h"

#include <cstdio>

#include <termios.h>
#include <unistd.h>

int _getch(void)
{
    // Scripted input is no terminal: take one character, and let the end
    // of input end the wait at once.
    struct termios saved;
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) return getchar();

    struct termios oneKey = saved;
    oneKey.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    oneKey.c_cc[VMIN] = 1;
    oneKey.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &oneKey);  // TCSANOW keeps keys typed ahead
    int key = getchar();
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    return key;
}
