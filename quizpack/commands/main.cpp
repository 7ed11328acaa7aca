// quizpack: packs, checks and builds quizzes, and reads them back.
#include "quizpack/commands/command_shell.h"

int main(int argc, char** argv) {
    return runQuizpack(argc, argv);
}
