// The run functions of quizpack's commands, one per row of the command table
// (command_table.cpp). Each gets its parsed arguments; the shell has already answered
// --help and option mistakes.
#pragma once

#include "quizpack/commands/command_line.h"
#include "quizpack/common/quizpack_error.h"

int runNew(const CommandArguments& arguments);
int runCheck(const CommandArguments& arguments);
int runBuild(const CommandArguments& arguments);
int runPack(const CommandArguments& arguments);
int runInspect(const CommandArguments& arguments);
int runExtract(const CommandArguments& arguments);
int runGrade(const CommandArguments& arguments);
int runEncode(const CommandArguments& arguments);
int runDecode(const CommandArguments& arguments);
int runExport(const CommandArguments& arguments);
int runKey(const CommandArguments& arguments);
int runStudio(const CommandArguments& arguments);

// The studio on the Quizz folder of the user's Documents, for quizpack.exe double-clicked.
// Returns -1, having served nothing, where there is no such folder to make.
int runStudioFromDesktop();
