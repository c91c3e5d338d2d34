// The shared buffers and file names, defined for unit tests as the tool
// defines them beside its `main`.
#include "eep2hex.h"

char str[STR_SIZE];
char fnm[FNM_SIZE];
unsigned char keyWrd[IMAGE_SIZE];
char temp[HEX_TEXT_SIZE];
bool presetsFound;
FILE* f;
FILE* fp;
const char easterEgg[] = "presets.ini";
const char resultingHex[] = "vx.eep.hex";
