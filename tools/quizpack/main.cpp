// quizpack: packs, checks and builds quizzes, and reads them back.
#include "tools/quizpack/command_shell.h"

int main(int argc, char** argv) {
    return runQuizpack(argc, argv);
}
