// quizpack: packs, checks and builds quizzes, and reads them back.
#include <cstdio>
#include <cstring>

#include "tools/quizpack/commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
    const char* summary;
};

const Command kCommands[] = {
    {"check", runCheck, "check QUIZ.toml",
     "Validate a quiz description and report every problem with its line."},
    {"build", runBuild, "build QUIZ.toml -o OUT.exe [--player EXE] [--keep-pictures]",
     "Make a quiz executable from a description and its media."},
    {"pack", runPack, "pack QUIZ.toml --package P --codes C",
     "Write the two packed resources (quiz package, code table) as files."},
    {"inspect", runInspect, "inspect QUIZ.exe | inspect --package P [--codes C]",
     "Print a quiz as a TOML description, with its media and their sizes."},
    {"extract", runExtract, "extract QUIZ.exe DIR [--force]",
     "Write a description and its media files that rebuild the same quiz."},
    {"export", runExport, "export QUIZ.toml|QUIZ.exe -o OUT.html [--keep-pictures]",
     "Write the quiz as one self-contained web page that plays it in a browser."},
    {"grade", runGrade, "grade EXPECTED TYPED | grade --tsv FILE|-",
     "Grade typed answers against expected answers as the player does."},
    {"encode", runEncode, "encode IN OUT", "Pack a file into a raw LZW stream."},
    {"decode", runDecode, "decode IN OUT", "Unpack a raw LZW stream."},
};

void printHelp(FILE* out) {
    fprintf(out, "quizpack: make and read Quizz quiz executables.\n\nUsage:\n");
    for (const Command& c : kCommands) {
        fprintf(out, "  quizpack %s\n      %s\n", c.usage, c.summary);
    }
    fprintf(out, "\nExit codes: 0 success, 1 packing or unpacking failed, 2 bad input.\n"
                 "Run 'quizpack COMMAND --help' for the details of one command.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0 ||
        strcmp(argv[1], "help") == 0) {
        printHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitBadInput : kExitOk;
    }
    for (const Command& c : kCommands) {
        if (strcmp(argv[1], c.name) == 0) {
            return c.run(argc - 2, argv + 2);
        }
    }
    fprintf(stderr, "quizpack: unknown command '%s'. Run 'quizpack --help' for the list.\n",
            argv[1]);
    return kExitBadInput;
}
