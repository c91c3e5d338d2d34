// The key press that ends a run: `_getch` reads one key without echo and
// without waiting for Enter. Windows has it in its runtime; elsewhere
// keywait.cpp provides the same call.
#ifndef KEYWAIT_H
#define KEYWAIT_H

#ifdef _WIN32
#include <conio.h>
#else
// Returns the key's code, or EOF when standard input has ended.
int _getch(void);
#endif

#endif
