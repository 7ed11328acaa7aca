// What authors meet when they write quizzes from the README, the help and the samples, one
// row a case, run as the command line runs it: the outputs that would destroy an input or
// a read-only file, the messages for broken descriptions, the help, the starters of
// quizpack new. Every row also proves that no file it does not name changed, byte or mode.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/host/authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "quizpack/executable/builder.h"
#include "quizpack/commands/command_shell.h"
#include "checking/grader.h"
#include "quizpack/commands/console.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/common/messages.h"
#include "quizpack/common/output_names.h"
#include "quizpack/description/description.h"
#include "quizpack/description/question_table.h"
#include "quizpack/common/messages.h"

namespace {

using namespace authoring_test;
using namespace test_support;

const char kQuiz[] = "title = \"Drapeaux\"\n"
                     "creator = \"Marie\"\n"
                     "kind = \"picture\"\n"
                     "codes = [\"A\"]\n"
                     "[[question]]\n"
                     "answers = [\"France\"]\n"
                     "picture = \"media/q01.jpg\"\n";

// kQuiz with another value for its picture key.
std::string withPicture(const std::string& value) {
    std::string toml = kQuiz;
    return toml.replace(toml.find("\"media/q01.jpg\""), 15, value);
}

// The folder every row starts from: quiz/quiz.toml and its picture, a player template and
// quiz.exe built from them.
void writeWorkspace(const fs::path& root) {
    writeFile(root / "quiz/quiz.toml", kQuiz);
    writeBytes(root / "quiz/media/q01.jpg", jpegPicture(120, 90));
    writeBytes(root / "template.exe", minimalExecutable());
    ASSERT_TRUE(buildInto(root / "quiz/quiz.toml", root / "quiz.exe", root / "template.exe").built);
}

struct FileState {
    Bytes bytes;
    fs::perms perms = fs::perms::none;
    std::string link; // the target of a symlink, which is not followed
    bool operator==(const FileState& o) const {
        return bytes == o.bytes && perms == o.perms && link == o.link;
    }
};

std::map<std::string, FileState> snapshot(const fs::path& root) {
    std::map<std::string, FileState> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        FileState state;
        if (entry.is_symlink()) {
            state.link = fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            state.bytes = readBytes(entry.path());
            state.perms = fs::status(entry.path()).permissions();
        } else {
            continue;
        }
        files[fs::relative(entry.path(), root).generic_string()] = state;
    }
    return files;
}

// quizpack with `args`, in-process as main() runs it, from the folder `root`.
Output runIn(const fs::path& root, const std::vector<std::string>& args) {
    const fs::path before = fs::current_path();
    fs::current_path(root);
    Output out = runInProcess(args);
    fs::current_path(before);
    return out;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

bool isWritten(const std::string& path, const std::vector<std::string>& written) {
    for (const std::string& w : written) {
        if (path == w || path.rfind(w + "/", 0) == 0) {
            return true;
        }
    }
    return false;
}

std::string sample(const char* name) {
    return std::string(QUIZZ_SOURCE_DIR) + "/samples/" + name + "/quiz.toml";
}

void makeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

// The version the project's CMakeLists.txt declares.
std::string projectVersion() {
    const std::string s = readFile(std::string(QUIZZ_SOURCE_DIR) + "/CMakeLists.txt");
    const std::string key = "project(Quizz VERSION ";
    const size_t at = s.find(key);
    return at == std::string::npos
               ? "<none>"
               : s.substr(at + key.size(), s.find(' ', at + key.size()) - at - key.size());
}

// A starter checks without a word and builds as it is.
void startsClean(const fs::path& root, const std::string& folder, size_t mediaFiles) {
    const fs::path description = root / folder / "quiz.toml";
    CheckResult result = checkDescriptionFile(description);
    EXPECT_TRUE(result.diagnostics.empty()) << formatDiagnostic(result.diagnostics.front());
    EXPECT_EQ(result.description.media.size(), mediaFiles);
    EXPECT_EQ(result.description.questions.size(), 3u);
    EXPECT_TRUE(buildInto(description, root / folder / "quiz.exe", root / "template.exe").built);
}

// quiz.exe with its picture IMG 401 under the number 409 (bit 3 flipped).
void renumberPicture(const fs::path& root) {
    const Bytes exe = readBytes(root / "quiz.exe");
    Resource moved{ResourceId::fromName("IMG"), ResourceId::fromNumber(409), 0, 0,
                   resourceData(readResources(exe), "IMG", 401)};
    writeBytes(
        root / "quiz.exe",
        replaceResources(
            exe, [](const Resource& r) { return r.type == ResourceId::fromName("IMG"); }, {moved}));
}

struct Case {
    const char* name;
    std::function<void(const fs::path& root)> setup; // files, links and modes of the row
    std::vector<std::string> args;
    int exitCode;
    std::vector<std::string> said;    // each printed exactly once
    std::vector<std::string> unsaid;  // none printed
    std::vector<std::string> written; // what may change (a folder: all below it)
    std::function<void(const fs::path& root, const std::string& output)> verify;
};

const char kUtf16Bytes[] = "\xFF\xFEt\0i\0t\0l\0e\0 \0=\0 \0\"\0x\0\"\0\n\0";
const std::string kUtf16(kUtf16Bytes, sizeof kUtf16Bytes - 1);

// clang-format off
const std::vector<Case> kCases = {
    // ---- never write over an input, never over a read-only file without --force ----
    {"build -o the description", nullptr,
     {"build", "quiz/quiz.toml", "-o", "quiz/quiz.toml", "--player", "template.exe"}, 2,
     {"quiz/quiz.toml is the quiz description", "nothing was written"}, {}, {}, nullptr},
    {"build -o the description by another path", nullptr,
     {"build", "quiz/quiz.toml", "-o", "./quiz/../quiz/quiz.toml", "--player", "template.exe"}, 2,
     {"is the quiz description (quiz/quiz.toml)"}, {}, {}, nullptr},
    {"build -o a media file", nullptr,
     {"build", "quiz/quiz.toml", "-o", "quiz/media/q01.jpg", "--player", "template.exe"}, 2,
     {"the picture of question 1 (question[1].picture)"}, {}, {}, nullptr},
    {"build -o a symlink to the description",
     [](const fs::path& r) { fs::create_symlink("quiz/quiz.toml", r / "link.exe"); },
     {"build", "quiz/quiz.toml", "-o", "link.exe", "--player", "template.exe"}, 2,
     {"link.exe is the quiz description"}, {}, {}, nullptr},
    {"build -o a hard link to a media file",
     [](const fs::path& r) { fs::create_hard_link(r / "quiz/media/q01.jpg", r / "hard.exe"); },
     {"build", "quiz/quiz.toml", "-o", "hard.exe", "--player", "template.exe"}, 2,
     {"hard.exe is the picture of question 1"}, {}, {}, nullptr},
    {"build -o the player program", nullptr,
     {"build", "quiz/quiz.toml", "-o", "template.exe", "--player", "./template.exe"}, 2,
     {"template.exe is the player program"}, {}, {}, nullptr},
    {"build -o a folder", nullptr,
     {"build", "quiz/quiz.toml", "-o", "quiz/media", "--player", "template.exe"}, 2,
     {"quiz/media is a folder"}, {}, {}, nullptr},
    {"pack over the description", nullptr,
     {"pack", "quiz/quiz.toml", "--package", "quiz/quiz.toml", "--codes", "codes.lzw"}, 2,
     {"is the quiz description"}, {}, {}, nullptr},
    {"pack with one file for both outputs", nullptr,
     {"pack", "quiz/quiz.toml", "--package", "both.lzw", "--codes", "./both.lzw"}, 2,
     {"name the same file"}, {}, {}, nullptr},
    {"encode over its own input", nullptr,
     {"encode", "template.exe", "./template.exe"}, 2,
     {"is the input file"}, {}, {}, nullptr},
    {"extract --force onto a link to the executable",
     [](const fs::path& r) {
         fs::create_directory(r / "out");
         fs::create_symlink("../quiz.exe", r / "out/quiz.toml");
     },
     {"extract", "quiz.exe", "out", "--force"}, 2,
     {"out/quiz.toml is the quiz executable being extracted (quiz.exe)"}, {}, {}, nullptr},
    {"extract --force of an executable named as its own output",
     [](const fs::path& r) {
         fs::create_directory(r / "out");
         fs::copy_file(r / "quiz.exe", r / "out/quiz.toml");
     },
     {"extract", "out/quiz.toml", "out", "--force"}, 2,
     {"out/quiz.toml is the quiz executable being extracted"}, {}, {}, nullptr},
    {"build over a read-only file",
     [](const fs::path& r) { writeFile(r / "old.exe", "old"); makeReadOnly(r / "old.exe"); },
     {"build", "quiz/quiz.toml", "-o", "old.exe", "--player", "template.exe"}, 2,
     {"old.exe exists and is read-only", "--force"}, {}, {}, nullptr},
    {"build --force over a read-only file keeps it read-only",
     [](const fs::path& r) { writeFile(r / "old.exe", "old"); makeReadOnly(r / "old.exe"); },
     {"build", "quiz/quiz.toml", "-o", "old.exe", "--player", "template.exe", "--force"}, 0,
     {"Built old.exe"}, {}, {"old.exe"},
     [](const fs::path& r, const std::string&) {
         EXPECT_EQ(readBytes(r / "old.exe"), readBytes(r / "quiz.exe"));
         EXPECT_EQ(fs::status(r / "old.exe").permissions() & fs::perms::all,
                   fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
     }},
    {"export -o the description", nullptr,
     {"export", "quiz/quiz.toml", "-o", "quiz/quiz.toml"}, 2,
     {"quiz/quiz.toml is the quiz description", "nothing was written"}, {}, {}, nullptr},
    {"export -o the executable it reads", nullptr,
     {"export", "quiz.exe", "-o", "./quiz.exe"}, 2,
     {"is the quiz executable"}, {}, {}, nullptr},
    {"export over a read-only page",
     [](const fs::path& r) { writeFile(r / "old.html", "old"); makeReadOnly(r / "old.html"); },
     {"export", "quiz/quiz.toml", "-o", "old.html"}, 2,
     {"old.html exists and is read-only", "--force"}, {}, {}, nullptr},
    {"pack over a read-only code table",
     [](const fs::path& r) { writeFile(r / "codes.lzw", "old"); makeReadOnly(r / "codes.lzw"); },
     {"pack", "quiz/quiz.toml", "--package", "package.lzw", "--codes", "codes.lzw"}, 2,
     {"codes.lzw exists and is read-only"}, {}, {}, nullptr},

    // ---- broken descriptions: the right line and a plain hint ----
    {"a list left open is reported where its ']' is missing",
     [](const fs::path& r) { writeFile(r / "bad.toml", "kind = \"text\"\ncodes = [\"A\", \"B\"\n\n# x\n[[question]]\n"); },
     {"check", "bad.toml"}, 2,
     {"bad.toml:2: error: not valid TOML: a ']' is missing at the end of this line"}, {}, {},
     nullptr},
    {"a list left open at the end of the file",
     [](const fs::path& r) { writeFile(r / "bad.toml", "kind = \"text\"\ncodes = [\"A\"\n\n"); },
     {"check", "bad.toml"}, 2,
     {"bad.toml:2: error: not valid TOML: a ']' is missing", "to the end of the file"}, {}, {},
     nullptr},
    {"a backslash in a path",
     [](const fs::path& r) { writeFile(r / "bad.toml", "kind = \"picture\"\n[[question]]\npicture = \"media\\q01.jpg\"\n"); },
     {"check", "bad.toml"}, 2,
     {"bad.toml:3: error:", "write the path with / or in single quotes"}, {}, {}, nullptr},
    {"a Windows path in single quotes",
     [](const fs::path& r) { writeFile(r / "quiz/win.toml", withPicture("'media\\q01.jpg'")); },
     {"check", "quiz/win.toml"}, 0, {"no problems"}, {}, {}, nullptr},
    {"a \\n in a Windows path in double quotes",
     [](const fs::path& r) { writeFile(r / "quiz/nl.toml", withPicture("\"media\\nouveau.jpg\"")); },
     {"check", "quiz/nl.toml"}, 2,
     {"the path \"media\\nouveau.jpg\" holds a line break", "'media\\nouveau.jpg'"}, {}, {}, nullptr},
    {"a picture named in another case is taken, with a warning",
     [](const fs::path& r) { writeFile(r / "quiz/case.toml", withPicture("\"Media/Q01.JPG\"")); },
     {"check", "quiz/case.toml"}, 0, {"\"Media/Q01.JPG\" is named \"media/q01.jpg\" on disk"}, {}, {}, nullptr},
    {"a missing picture with a near name",
     [](const fs::path& r) { writeFile(r / "quiz/near.toml", withPicture("\"media/q1.jpeg\"")); },
     {"check", "quiz/near.toml"}, 2, {"no such file; did you mean \"media/q01.jpg\"?"}, {}, {}, nullptr},
    {"a description saved by Notepad as quiz.toml.txt",
     [](const fs::path& r) { writeFile(r / "notes/quiz.toml.txt", kQuiz); },
     {"check", "notes/quiz.toml"}, 2, {"did you mean notes/quiz.toml.txt?", "Notepad adds .txt"}, {}, {}, nullptr},
    {"a text left open",
     [](const fs::path& r) { writeFile(r / "bad.toml", "title = \"Drapeaux\nkind = \"text\"\n"); },
     {"check", "bad.toml"}, 2,
     {"bad.toml:1: error:", "must end with \" on the same line"}, {}, {}, nullptr},
    {"a description saved as Latin-1",
     [](const fs::path& r) { writeFile(r / "bad.toml", "kind = \"text\"\ntitle = \"Caf\xE9\"\n"); },
     {"check", "bad.toml"}, 2,
     {"bad.toml:2: error: not UTF-8 text: byte 0xE9 at column 13 (\"\xC3\xA9\" in Latin-1",
      "save the file as UTF-8"}, {"invalid utf-8"}, {}, nullptr},
    {"a description saved as UTF-16",
     [](const fs::path& r) { writeFile(r / "bad.toml", kUtf16); },
     {"check", "bad.toml"}, 2,
     {"saved as UTF-16", "save the file as UTF-8"}, {}, {}, nullptr},
    {"a description saved as UTF-16 without its byte order mark",
     [](const fs::path& r) { writeFile(r / "bad.toml", kUtf16.substr(2)); },
     {"check", "bad.toml"}, 2,
     {"holds NUL bytes", "UTF-16", "save the file as UTF-8"}, {}, {}, nullptr},

    {"[question] with one bracket, twice",
     [](const fs::path& r) { writeFile(r / "bad.toml", "kind = \"text\"\n\n[question]\nanswers = [\"a\"]\n[ question ]\nanswers = [\"b\"]\n"); },
     {"check", "bad.toml"}, 2,
     {"bad.toml:3: error: question: [question] has one bracket", "(also on line 5)", "write [[question]]"}, {}, {}, nullptr},
    {"an apostrophe in a text in single quotes",
     [](const fs::path& r) { writeFile(r / "bad.toml", "kind = \"text\"\ntitle = 'L'Europe'\n"); },
     {"check", "bad.toml"}, 2,
     {"bad.toml:2: error:", "write it in double quotes, \"L'Europe\""}, {}, {}, nullptr},
    {"an RTF document saved as quiz.toml",
     [](const fs::path& r) { writeFile(r / "bad.toml", "{\\rtf1\\ansi title = \"x\"\\par}"); },
     {"check", "bad.toml"}, 2,
     {"bad.toml:1: error: the description is an RTF document", "Notepad"}, {"TOML", "UTF-16"}, {}, nullptr},
    {"a TIFF picture: a way that works on Windows too",
     [](const fs::path& r) { writeFile(r / "quiz/media/q01.jpg", std::string("II*\0\x08\0\0\0", 8)); },
     {"check", "quiz/quiz.toml"}, 2,
     {"a TIFF file, not a JPEG, PNG, GIF or BMP picture", "Paint", "Enregistrer sous > Image JPEG"}, {}, {}, nullptr},
    {"a Word document saved as quiz.toml",
     [](const fs::path& r) { writeFile(r / "bad.toml", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0\0", 11)); },
     {"check", "bad.toml"}, 2,
     {"the description is a Word document (.doc)"}, {"UTF-16", "UTF-8 text"}, {}, nullptr},

    // ---- a description where an executable belongs ----
    {"inspect a description", nullptr,
     {"inspect", "quiz/quiz.toml"}, 2,
     {"not a Windows executable", "'quizpack check quiz/quiz.toml'"}, {}, {}, nullptr},
    {"extract a description", nullptr,
     {"extract", "quiz/quiz.toml", "out"}, 2,
     {"not a Windows executable", "'quizpack check quiz/quiz.toml'"}, {}, {}, nullptr},

    // ---- the answer key, to print ----
    {"key of a description, with accepted forms and a tolerance",
     [](const fs::path& r) {
         std::string toml = withPicture("\"media/q01.jpg\"\n[grading]\naccents = \"optional\"");
         writeFile(r / "quiz/quiz.toml", toml.replace(toml.find("\"France\""), 8, "\"France | la France\""));
     },
     {"key", "quiz/quiz.toml"}, 0,
     {"Wrote the answer key quiz/Drapeaux-corrige.html: 1 question, 1 picture"}, {}, {"quiz/Drapeaux-corrige.html"},
     [](const fs::path& r, const std::string&) {
         const std::string page = readFile(r / "quiz/Drapeaux-corrige.html");
         for (const char* part : {"<li>France</li><li>la France</li>", "accents sont facultatifs",
                                  "<img src=\"data:image/jpeg;base64,/9j/", "<td>A</td>", "default-src 'none'"}) {
             EXPECT_NE(page.find(part), std::string::npos) << part;
         }
         EXPECT_EQ(page.find("<script"), std::string::npos);
     }},
    {"key of an executable, over the key it wrote before",
     [](const fs::path& r) { ASSERT_EQ(runIn(r, {"key", "quiz.exe", "-o", "key.html"}).exitCode, 0); },
     {"key", "quiz.exe", "-o", "key.html"}, 0, {"Wrote the answer key key.html"}, {}, {"key.html"}, nullptr},

    // ---- a quiz executable whose picture went under another number ----
    {"extract a quiz whose picture has another number", renumberPicture,
     {"extract", "quiz.exe", "out"}, 0,
     {"warning: question 1 has no picture, IMG 401", "(IMG 409, JPEG"}, {}, {"out"}, nullptr},
    {"export a quiz whose picture has another number", renumberPicture,
     {"export", "quiz.exe", "-o", "quiz.html"}, 0,
     {"warning: question 1 has no picture, IMG 401"}, {}, {"quiz.html"}, nullptr},

    // ---- the help in the author's words, the version, the default output ----
    {"overview", nullptr, {"--help"}, 0,
     {"quizpack new KIND DIR", "docs/description.md"}, {"PATCH", "IMG"}, {}, nullptr},
    {"build's help", nullptr, {"build", "--help"}, 0,
     {"the quiz package", "media (pictures", "Without -o it is named after the quiz's\ntitle", "JPEG at quality 90", "never below 75",
      "or a read-only one only with --force"}, {"PATCH", "IMG"}, {}, nullptr},
    {"extract's help", nullptr, {"extract", "--help"}, 0,
     {"makes the same quiz again"}, {"PATCH"}, {}, nullptr},
    {"--version", nullptr, {"--version"}, 0, {"quizpack "}, {}, {},
     [](const fs::path&, const std::string& out) {
         EXPECT_EQ(out, "quizpack " + projectVersion() + "\n");
     }},
    {"build without -o names the executable after the title", nullptr,
     {"build", "quiz/quiz.toml", "--player", "template.exe"}, 0,
     {"Built quiz/Drapeaux.exe"}, {"PATCH"}, {"quiz/Drapeaux.exe"},
     [](const fs::path& r, const std::string&) {
         EXPECT_EQ(readBytes(r / "quiz/Drapeaux.exe"), readBytes(r / "quiz.exe"));
     }},
    {"export without -o names the page after the title", nullptr,
     {"export", "quiz.exe"}, 0, {"Exported Drapeaux.html"}, {}, {"Drapeaux.html"}, nullptr},
    {"check notes an untitled quiz.toml's quiz.exe",
     [](const fs::path& r) { writeFile(r / "new/quiz.toml", "kind = \"text\"\ncodes = [\"A\"]\n[[question]]\nanswers = [\"a\"]\n"); },
     {"check", "new/quiz.toml"}, 0, {"note: title: build will name the executable quiz.exe"}, {}, {}, nullptr},

    // ---- an existing output is replaced only when it is what the command writes ----
    {"build over an earlier quiz executable", nullptr,
     {"build", "quiz/quiz.toml", "-o", "quiz.exe", "--player", "template.exe"}, 0,
     {"Built quiz.exe"}, {}, {"quiz.exe"}, nullptr},
    {"build -o notes.txt", [](const fs::path& r) { writeFile(r / "notes.txt", "mes notes\n"); },
     {"build", "quiz/quiz.toml", "-o", "notes.txt", "--player", "template.exe"}, 2,
     {"notes.txt exists and is a text file, not a quiz executable", "--force"}, {}, {}, nullptr},
    {"build -o another program",
     [](const fs::path& r) { fs::copy_file(r / "template.exe", r / "other.exe"); },
     {"build", "quiz/quiz.toml", "-o", "other.exe", "--player", "template.exe"}, 2,
     {"other.exe exists and is a Windows program that carries no quiz"}, {}, {},
     nullptr},
    {"build --force over notes.txt", [](const fs::path& r) { writeFile(r / "notes.txt", "mes notes\n"); },
     {"build", "quiz/quiz.toml", "-o", "notes.txt", "--player", "template.exe", "--force"}, 0,
     {"Built notes.txt"}, {}, {"notes.txt"}, nullptr},
    {"export -o a page of one's own", [](const fs::path& r) { writeFile(r / "mine.html", "<!DOCTYPE html>\n<p>mine</p>\n"); },
     {"export", "quiz/quiz.toml", "-o", "mine.html"}, 2,
     {"mine.html exists and is a web page, not a page quizpack exported"}, {}, {}, nullptr},

    // ---- the samples check clean ----
    {"sample text", nullptr, {"check", sample("text")}, 0, {"no problems"}, {"warning"}, {}, nullptr},
    {"sample text-duo", nullptr, {"check", sample("text-duo")}, 0, {"no problems"}, {"warning"}, {}, nullptr},
    {"sample picture", nullptr, {"check", sample("picture")}, 0, {"no problems"}, {"warning"}, {}, nullptr},
    {"sample audio", nullptr, {"check", sample("audio")}, 0, {"no problems"}, {"warning"}, {}, nullptr},
    {"sample video", nullptr, {"check", sample("video")}, 0, {"no problems"}, {"warning"}, {}, nullptr},

    // ---- quizpack new: a starter that checks clean, never over an author's files ----
    {"new text", nullptr, {"new", "text", "start"}, 0, {"Started a text quiz"}, {}, {"start"},
     [](const fs::path& r, const std::string&) { startsClean(r, "start", 0); }},
    {"new text --csv: the questions in a spreadsheet", nullptr, {"new", "text", "start", "--csv"}, 0,
     {"quiz.toml and questions.csv"}, {}, {"start"},
     [](const fs::path& r, const std::string&) {
         startsClean(r, "start", 0);
         EXPECT_EQ(readFile(r / "start/quiz.toml").find("[[question]]"), std::string::npos);
     }},
    {"new picture", nullptr, {"new", "picture", "start"}, 0, {"6 placeholder media files"}, {},
     {"start"}, [](const fs::path& r, const std::string&) { startsClean(r, "start", 6); }},
    {"new audio", nullptr, {"new", "audio", "a/b/start"}, 0, {"Started an audio quiz", "3 placeholder media files"}, {},
     {"a"}, [](const fs::path& r, const std::string&) { startsClean(r, "a/b/start", 3); }},
    {"new video into an empty folder",
     [](const fs::path& r) { fs::create_directory(r / "start"); },
     {"new", "video", "start"}, 0, {"3 placeholder media files"}, {}, {"start"},
     [](const fs::path& r, const std::string&) { startsClean(r, "start", 3); }},
    {"new into a folder that holds files", nullptr,
     {"new", "picture", "quiz"}, 2, {"never writes over files"}, {}, {}, nullptr},
    {"new of an unknown kind", nullptr,
     {"new", "photo", "start"}, 2, {"unknown kind 'photo'"}, {}, {}, nullptr},
};
// clang-format on

// Words of English sentences that no French message holds (the rows' own files, keys and
// texts hold none of them either).
const char* const kEnglishWords[] = {
    " the ",  " is ",   " are ",  " must ",   " cannot ", " with ",  " was ",   " and ",   " not ",
    " give ", " hint:", "error:", "warning:", " file ",   " folder", " which ", " written"};

// `text` without the TOML parser's own description of a mistake, which French messages
// quote in its English.
std::string withoutParserWords(std::string text) {
    const std::string quote = "l'analyseur TOML dit, en anglais : ";
    for (size_t at; (at = text.find(quote)) != std::string::npos;) {
        text.erase(at, text.find('\n', at) - at);
    }
    return text;
}

// Each row runs as a user in LANG=C does, where every check below holds, then as one in
// fr_FR.UTF-8: the same exit code and files, and every message from the French catalogue.
TEST(AuthoringCases, EachCaseAndNothingElseChanged) {
    const ScopedEnvironment noChoice("QUIZPACK_LANG", nullptr);
    for (const char* locale : {"C", "fr_FR.UTF-8"}) {
        const ScopedEnvironment language("LC_ALL", locale);
        const bool french = locale[0] == 'f';
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(c.name) + " in " + locale);
            TempFolder dir("cases");
            writeWorkspace(dir.path());
            if (c.setup) {
                c.setup(dir.path());
            }
            const std::map<std::string, FileState> before = snapshot(dir.path());
            takeUntranslatedCount();
            const Output out = runIn(dir.path(), c.args);
            std::string untranslated;
            EXPECT_EQ(takeUntranslatedCount(&untranslated), 0) << untranslated;
            EXPECT_EQ(out.exitCode, c.exitCode) << out.text;
            for (const char* word : kEnglishWords) {
                EXPECT_TRUE(!french || withoutParserWords(out.text).find(word) == std::string::npos)

                    << "'" << word << "' in:\n"
                    << out.text;
            }
            for (const std::string& s : french ? std::vector<std::string>() : c.said) {
                EXPECT_EQ(occurrences(out.text, s), 1u) << "'" << s << "' in:\n" << out.text;
            }
            for (const std::string& s : french ? std::vector<std::string>() : c.unsaid) {
                EXPECT_EQ(occurrences(out.text, s), 0u) << "'" << s << "' in:\n" << out.text;
            }
            const std::map<std::string, FileState> after = snapshot(dir.path());
            for (const auto& [path, state] : before) {
                if (isWritten(path, c.written)) {
                    continue;
                }
                auto now = after.find(path);
                EXPECT_TRUE(now != after.end() && now->second == state) << path << " changed";
            }
            for (const auto& [path, state] : after) {
                EXPECT_TRUE(before.count(path) || isWritten(path, c.written))
                    << path << " appeared";
            }
            if (c.verify && !french) {
                c.verify(dir.path(), out.text);
            }
        }
    }
    setMessageLanguage(Language::English);
}

TEST(AuthoringCases, OutputsAreNamedAfterTheTitle) {
    struct Row {
        const char* title; // Windows-1252
        const char* expected;
    };
    // clang-format off
    const Row rows[] = {
        {"Capitales d'Europe", "Capitales-d-Europe"},
        {"  No\xEBl \xE0 l'\xC9" "cole !  ", "Noel-a-l-Ecole"},
        {"\x8Cuvres & \xC6sop, \xDF", "OEuvres-AEsop-ss"},
        {"Quiz n\xB0 12 / 2024", "Quiz-n-12-2024"},
        {"\xAB ?? \xBB", ""},
        {"con", ""},
        {"Com7", ""},
        {"Console", "Console"},
        {"Les capitales du monde entier et leurs monuments les plus c\xE9l\xE8" "bres", "Les-capitales-du-monde-entier-et-leurs-monuments-les-plus"},
        {"Abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnop", "Abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefgh"},
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(fileNameFromTitle(r.title), r.expected) << r.title;
    }
    EXPECT_EQ(defaultOutputPath("a/quiz.toml", "", ".exe"), fs::path("a/quiz.exe"));
    EXPECT_EQ(defaultOutputPath("a/quiz.toml", "Rome", ".html"), fs::path("a/Rome.html"));
}

TEST(AuthoringCases, WaitsForAKeyOnlyInAConsoleOfItsOwn) {
    struct Row {
        const char* name;
        int argc;
        unsigned consoleProcesses;
        bool waits;
    };
    // clang-format off
    const Row rows[] = {
        {"double-clicked: no arguments, its own console", 1, 1, true},
        {"typed at a command prompt", 1, 2, false},
        {"no console at all", 1, 0, false},
        {"a file dropped on it", 2, 1, false},
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(waitsBeforeClosing(r.argc, r.consoleProcesses), r.waits) << r.name;
    }
}

// Every key the checker knows, as its unknown-key hints list them, has its entry in the
// reference, and the README points to the reference.
TEST(AuthoringCases, TheReferenceDescribesEveryKey) {
    const std::string root = QUIZZ_SOURCE_DIR;
    const std::string readme = readFile(root + "/README.md");
    for (const char* doc : {"docs/description.md", "docs/fr/description.md",
                            "docs/questions-csv.md", "docs/fr/questions-csv.md"}) {
        EXPECT_NE(readme.find(std::string("(") + doc + ")"), std::string::npos) << doc;
    }
    // Authors first, then the developers' commands, which stay.
    EXPECT_LT(readme.find("## For quiz authors"), readme.find("## For developers"));
    for (const char* part :
         {"## For developers", "### quizpack.exe on Windows", "./quizz play ", "./quizz test "}) {
        EXPECT_NE(readme.find(part), std::string::npos) << part;
    }
    CheckResult result = checkDescriptionText(
        "zzzz = 1\nkind = \"text\"\n[[question]]\nanswers = [\"a\"]\nzzzz = 1\n", "q.toml", ".");
    std::vector<std::string> keys;
    for (const Diagnostic& d : result.diagnostics) {
        const size_t colon = d.hint.find(" are: ");
        if (colon == std::string::npos) {
            continue;
        }
        std::stringstream list(d.hint.substr(colon + 6));
        for (std::string key; std::getline(list, key, ',');) {
            keys.push_back(key.substr(key.find_first_not_of(' ')));
        }
    }
    EXPECT_GE(keys.size(), 16u);
    for (const char* path : {"/docs/description.md", "/docs/fr/description.md"}) {
        const std::string reference = readFile(root + path);
        for (const std::string& key : keys) {
            EXPECT_NE(reference.find("`" + key + "`"), std::string::npos) << path << ": " << key;
        }
        // Every verdict the player writes has its row, with an example.
        for (const char* verdict :
             {kVerdictBravo, kVerdictAnagram, kVerdictAlmost, kVerdictNearly, kVerdictTooLong,
              kVerdictTooShort, kVerdictNotFar, kVerdictSimilar, kVerdictWrong, kVerdictEmpty}) {
            EXPECT_NE(reference.find("\n| " + cp1252ToUtf8(verdict) + " | "), std::string::npos)
                << path << ": " << verdict;
        }
    }
    // Both references of the questions file name every column, in English and in French.
    for (const char* path : {"/docs/questions-csv.md", "/docs/fr/questions-csv.md"}) {
        const std::string reference = readFile(root + path);
        std::vector<std::string> columns = {"réponse 2", "texte révélé", "image révélée"};
        for (int c = 0; c < kQuestionColumnCount; ++c) {
            columns.push_back(questionColumnName(c));
        }
        for (const std::string& column : columns) {
            EXPECT_NE(reference.find("`" + column + "`"), std::string::npos)
                << path << ": " << column;
        }
    }
}

} // namespace
