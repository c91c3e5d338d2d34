// The tool's version, shown in its banner and in the Windows version
// resource. Plain macros, so the resource compiler reads it too.
#ifndef EEP2HEX_VERSION_H
#define EEP2HEX_VERSION_H

#define EEP2HEX_PRODUCT "VORLIX EEP creator"
#define EEP2HEX_VERSION "003.b"
// The same version as numbers, as Windows wants them: 3, revision b = 2.
#define EEP2HEX_VERSION_NUMBERS 3, 0, 0, 2

#endif
