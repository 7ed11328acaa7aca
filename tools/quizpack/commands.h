// quizpack commands. Each takes the arguments after the command name and returns the
// process exit code: 0 success, 1 a codec failure, 2 bad input or usage.
#pragma once

constexpr int kExitOk = 0;
constexpr int kExitCodecFailure = 1;
constexpr int kExitBadInput = 2;

int runEncode(int argc, char** argv);
int runDecode(int argc, char** argv);
int runGrade(int argc, char** argv);
int runCheck(int argc, char** argv);
int runPack(int argc, char** argv);
int runBuild(int argc, char** argv);
int runInspect(int argc, char** argv);
int runExtract(int argc, char** argv);
int runExport(int argc, char** argv);
