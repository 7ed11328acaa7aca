// Commands not written yet. Each one moves to its own file when it is implemented.
#include <cstdio>

#include "tools/quizpack/commands.h"

namespace {
int notYet(const char* name) {
    fprintf(stderr, "quizpack %s: not available in this version\n", name);
    return kExitBadInput;
}
}  // namespace

int runEncode(int, char**) { return notYet("encode"); }
int runDecode(int, char**) { return notYet("decode"); }
int runCheck(int, char**) { return notYet("check"); }
int runPack(int, char**) { return notYet("pack"); }
int runBuild(int, char**) { return notYet("build"); }
int runInspect(int, char**) { return notYet("inspect"); }
int runExtract(int, char**) { return notYet("extract"); }
