// Builds "cutsend --from-contour K ..." from the command line that stopped, so that a user
// can paste it: an earlier --from-contour is replaced, each word quoted where a shell needs it.
#include "resume_command.h"

#include <cstring>

namespace {

std::string Quoted(const std::string& word) {
    const char* plain = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_./=:,+-@%";
    if (!word.empty() && word.find_first_not_of(plain) == std::string::npos) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string ResumeCommand(int argc, const char* const* argv, uint32_t contour) {
    std::string command = Quoted(argc > 0 ? argv[0] : "cutsend");
    command += " --from-contour " + std::to_string(contour);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--from-contour") == 0) {
            ++i;  // its value goes with it
            continue;
        }
        command += ' ' + Quoted(argv[i]);
    }
    return command;
}
