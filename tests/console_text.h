// What the tool prints, stated here on its own so the tests check the
// console text independently of the code that prints it.
#ifndef CONSOLE_TEXT_H
#define CONSOLE_TEXT_H

#include <string>

namespace text {

const std::string banner =
    "\n     VORLIX EEP creator V.003.b by Taldrin\n\n     ******************************************";
const std::string notFound =
    "\n\n     No [presets.ini] found, please enter your\n\t    Values manually in four steps: \n";
const std::string found = " \n\n     You're Lucky Today, [presets.ini] found! \n\n";
const std::string writing = "\n\n     Writing to disk...\n\n";
const std::string success =
    " \n     Your File(s) [vx.eep] and [vx.eep.hex]\n     were Created Successfully,   Have a Nice Day!"
    " \n\n                  Now Hit a Key to Exit.\n";
const std::string nothing = "\n\n    Nothing to write.  Hit a Key to Exit.\n\n \n";
const std::string ended =
    "\n\n    Input ended before all four values were entered.  Hit a Key to Exit.\n\n \n";

// The first `steps` prompts, in order.
inline std::string prompts(int steps)
{
    const char* all[] = {
        " \n  Type your admin pass (4 bytes, hex, no prefix,\n  e.g. [3B, 7D, 91, C4]),  hit Enter when ready \n\n",
        " \n  Type your serial number (8 bytes, hex), hit Enter when ready \n\n",
        " \n  Type your hash key (32 bytes, hex), hit Enter when ready \n\n",
        " \n  Type your random number (32 bytes, hex), hit Enter when ready \n\n",
    };
    std::string shown;
    for (int i = 0; i < steps; ++i) shown += all[i];
    return shown;
}

inline std::string prompt(int step)
{
    return prompts(step).substr(prompts(step - 1).size());
}

// " \n  Unable to open [vx.eep]! ..." and its kin, with the line that follows.
inline std::string fileFault(const std::string& what, const std::string& file)
{
    return " \n  " + what + " [" + file + "]! \n  Hit a Key to Exit\n   ";
}

const std::string presetTooLarge = " \n  [presets.ini] is too large! \n  Hit a Key to Exit\n   ";

inline std::string tooMuch(unsigned bytes)
{
    return "\n\n    Too much to write: " + std::to_string(bytes) +
           " bytes, the image holds at most 128.  Hit a Key to Exit.\n\n \n";
}

inline std::string cut(unsigned taken)
{
    return "\n  Only the first " + std::to_string(taken) + " characters of that line were taken.\n";
}

}  // namespace text

#endif
