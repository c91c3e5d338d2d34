// What the tool needs of the system beyond standard C++: the key press that
// ends a run, and getting a written file onto the storage device.
#ifndef PLATFORM_H
#define PLATFORM_H

#include <cstdio>

// `_getch` reads one key without echo and without waiting for Enter. Windows
// has it in its runtime; elsewhere platform.cpp provides the same call.
#ifdef _WIN32
#include <conio.h>
#else
// Returns the key's code, or EOF when standard input has ended.
int _getch(void);
#endif

// Pushes what was written to `file` out of the C runtime, then out of the
// operating system to the storage device: fsync, or `_commit` on Windows.
// False when either step failed.
bool flushToDisk(FILE* file);

#endif
