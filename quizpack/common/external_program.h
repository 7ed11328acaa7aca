// Running another program (ffmpeg) and waiting for it, on Linux and Windows alike.
#pragma once

#include <string>
#include <vector>

// Runs `arguments[0]`, found on the PATH, with the other arguments, its standard input
// empty and its standard output discarded; its error output goes to ours. Returns its exit
// code, or -1 when it could not be started at all (not on the PATH).
int runExternalProgram(const std::vector<std::string>& arguments);
