// quizpack new KIND DIR [--csv]: a commented starter description and the placeholder media it
// names, in a new or empty folder. What it writes passes check without a warning and
// builds as it is, so an author starts from a working quiz and changes it step by step.
#include <cstdio>
#include <string>
#include <vector>

#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/description/csv_reader.h"
#include "quizpack/media/starter_media.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStarterQuestions = 3;

struct StarterFile {
    std::string name; // relative to DIR, with '/'
    std::vector<uint8_t> bytes;
};

// What each kind's starter says and asks.
struct StarterKind {
    const char* kind;
    const char* opening;     // the comment that opens the description
    const char* explanation; // the quiz's own explanation
    const char* reveal;      // the reveal line with its comment
};

const char kNoReveal[] =
    "# Text, audio and video quizzes reveal nothing; only picture quizzes show reveal texts\n"
    "# and pictures.\n"
    "reveal = \"none\"\n";

const StarterKind kStarters[] = {
    {"text",
     "# A text quiz started by quizpack new. Change its texts and answers and add questions,\n"
     "# then check and build it:\n",
     "R\u00e9pondez en un mot, sans article ; les nombres en chiffres.", kNoReveal},
    {"picture",
     "# A picture quiz started by quizpack new. Change its texts and answers, and replace the\n"
     "# pictures in media/ by your own (JPEG, PNG, GIF or BMP; the player fits each into a\n"
     "# 260 x 260 box). Then check and build it:\n",
     "Tapez le chiffre que montre chaque image.",
     "# What solving a question shows: \"none\", \"picture\" (its reveal_picture in place of\n"
     "# its picture), \"text\" (its reveal_text under the picture), \"text+picture\" (both),\n"
     "# or \"all-texts\" (every reveal_text at once, when all questions are solved).\n"
     "reveal = \"text+picture\"\n"},
    {"audio",
     "# An audio quiz started by quizpack new. Change its texts and answers, and record each\n"
     "# question as an MP3 clip over the placeholders in media/ (one second of silence each).\n"
     "# Then check and build it:\n",
     "Cliquez sur le bouton de lecture, \u00e9coutez la question et tapez la r\u00e9ponse.",
     kNoReveal},
    {"video",
     "# A video quiz started by quizpack new. Change its texts and answers, and replace the\n"
     "# films in media/ by your own AVI files (the player shows each in a 200 x 150 box).\n"
     "# Then check and build it:\n",
     "Lancez chaque film et tapez le chiffre qui clignote.", kNoReveal},
};

// The starters' questions, asked by the text of a text quiz or by the clip of an audio one.
const char* const kAsked[kStarterQuestions] = {
    "Quelle est la capitale de l'Italie ?", "Combien de pattes a une araign\u00e9e ?",
    "Quelle est la plus grande plan\u00e8te du syst\u00e8me solaire ?"};
const char* const kAnswers[kStarterQuestions] = {"Rome", "8", "Jupiter"};

const char kAnswerComment[] =
    "# What the player must type. The case of the letters a to z and blanks around the typed\n"
    "# text do not count; accents do. Near misses get hints such as \"Presque\". Several\n"
    "# accepted forms go in one text, separated by |: [\"Rome | Roma\"].\n";

// Every starter's [grading] table: each rule left in a comment, so that the quiz grades as
// the answer comments say until the author chooses otherwise.
const char kGradingTable[] =
    "# How strictly every answer of the quiz is graded. With its keys in comments, as here,\n"
    "# accents and the case of accented letters count. Remove a # to relax a rule:\n"
    "[grading]\n"
    "# accents = \"optional\"  # \"elysee\" and \"oeuvre\" are right for \"\u00c9lys\u00e9"
    "e\" and \"\u0153uvre\"\n"
    "# case = \"any\"          # \"\u00e9lys\u00e9"
    "e\" is right for \"\u00c9lys\u00e9"
    "e\" (only a to z otherwise)\n"
    "# quotes = \"any\"        # a phone's curly \u2019 is right for ' (and \u201c \u201d "
    "for \")\n"
    "\n";

std::string twoDigits(int q) {
    char text[8];
    snprintf(text, sizeof text, "%02d", q);
    return text;
}

std::string textQuestions() {
    std::string s =
        "# One [[question]] table for each question, at most 90, in the order of the board.\n";
    for (int q = 1; q <= kStarterQuestions; ++q) {
        s += "[[question]]\n";
        if (q == 1) {
            s += "# The question as the board shows it, on one line (about 90 characters fit).\n";
        }
        s += std::string("text = \"") + kAsked[q - 1] + "\"\n";
        if (q == 1) {
            s += kAnswerComment;
        }
        s += std::string("answers = [\"") + kAnswers[q - 1] + "\"]\n";
        s += q < kStarterQuestions ? "\n" : "";
    }
    return s;
}

std::string pictureQuestions() {
    std::string s =
        "# One [[question]] table for each question, at most 90, three to a row of the board.\n";
    for (int q = 1; q <= kStarterQuestions; ++q) {
        const std::string n = std::to_string(q);
        s += "[[question]]\n";
        if (q == 1) {
            s += "# The picture the question asks about; paths are relative to this file.\n";
        }
        s += "picture = \"media/q" + twoDigits(q) + ".jpg\"\n";
        if (q == 1) {
            s += kAnswerComment;
        }
        s += "answers = [\"" + n + "\"]\n";
        if (q == 1) {
            s += "# Shown once the question is solved: the reveal picture takes the picture's\n"
                 "# place, the reveal text appears under it (about four lines of 45 characters).\n";
        }
        s += "reveal_picture = \"media/r" + twoDigits(q) + ".jpg\"\n";
        s += "reveal_text = \"Bravo : c'\u00e9tait le " + n + ".\"\n";
        s += q < kStarterQuestions ? "\n" : "";
    }
    return s;
}

std::string clipQuestions(bool video) {
    std::string s = "# One [[question]] table for each question, at most 90, three to a row of "
                    "the board.\n";
    for (int q = 1; q <= kStarterQuestions; ++q) {
        s += "[[question]]\n";
        if (q == 1) {
            s += video ? "# The film the question is about (AVI); paths are relative to this "
                         "file.\n"
                       : "# The clip that asks the question (MP3), played by the question's "
                         "play\n# button; paths are relative to this file. The board shows no "
                         "question texts\n# in audio quizzes.\n";
        }
        if (!video) {
            s += std::string("# The clip asks: ") + kAsked[q - 1] + "\n";
        }
        s += "clip = \"media/q" + twoDigits(q) + (video ? ".avi" : ".mp3") + "\"\n";
        if (q == 1) {
            s += kAnswerComment;
        }
        s += "answers = [\"" + (video ? std::to_string(q) : std::string(kAnswers[q - 1])) + "\"]\n";
        s += q < kStarterQuestions ? "\n" : "";
    }
    return s;
}

enum class QuestionsIn { Tables, CsvFile };

constexpr char kQuestionsFile[] = "questions.csv";

// The starter's questions as a spreadsheet saves them: the columns the kind uses.
std::string starterQuestionsCsv(const std::string& kind) {
    std::vector<std::vector<std::string>> rows;
    if (kind == "text") {
        rows.push_back({"answer", "text"});
    } else if (kind == "picture") {
        rows.push_back({"answer", "picture", "reveal_picture", "reveal_text"});
    } else {
        rows.push_back({"answer", "clip"});
    }
    for (int q = 1; q <= kStarterQuestions; ++q) {
        const std::string n = twoDigits(q);
        if (kind == "text") {
            rows.push_back({kAnswers[q - 1], kAsked[q - 1]});
        } else if (kind == "picture") {
            rows.push_back({std::to_string(q), "media/q" + n + ".jpg", "media/r" + n + ".jpg",
                            "Bravo : c'\u00e9tait le " + std::to_string(q) + "."});
        } else {
            const bool video = kind == "video";
            rows.push_back({video ? std::to_string(q) : std::string(kAnswers[q - 1]),
                            "media/q" + n + (video ? ".avi" : ".mp3")});
        }
    }
    // What a French spreadsheet saves: a byte-order mark, ';' and CR LF.
    std::string csv = "\xEF\xBB\xBF";
    for (const std::vector<std::string>& row : rows) {
        csv += csvRecord(row, ';');
    }
    return csv;
}

std::string csvQuestions(const std::string& kind) {
    std::string s =
        "# The questions are in questions.csv, one a row in the order of the board (at most 90),\n"
        "# ready for a spreadsheet: open it in LibreOffice Calc or Excel and save it again as\n"
        "# \"CSV UTF-8\". Its first row names the columns:\n"
        "#   answer          what the player must type; the case of the letters a to z and\n"
        "#                   blanks around the typed text do not count, accents do; several\n"
        "#                   accepted forms are separated by |: Rome | Roma\n";
    if (kind == "text") {
        s += "#   text            the question as the board shows it (about 90 characters fit)\n";
    } else if (kind == "picture") {
        s += "#   picture         the picture the question asks about\n"
             "#   reveal_picture  shown in its place once the question is solved\n"
             "#   reveal_text     shown under it then (about four lines of 45 characters)\n";
    } else {
        s += kind == "video" ? "#   clip            the film the question is about (AVI)\n"
                             : "#   clip            the clip that asks the question (MP3)\n";
    }
    return s +
           "# Paths are relative to this file. docs/questions-csv.md of Quizz tells more.\n"
           "questions = \"" +
           kQuestionsFile + "\"\n";
}

std::string starterDescription(const StarterKind& k, QuestionsIn questions) {
    const std::string kind = k.kind;
    std::string s =
        std::string(k.opening) +
        "#   quizpack check quiz.toml     lists every problem with its line\n"
        "#   quizpack build quiz.toml     writes the quiz's program beside this file,\n"
        "#                                named after its title (Mon-quiz.exe)\n"
        "# Texts go in double quotes. Every key is explained in docs/description.md "
        "of Quizz.\n"
        "\n"
        "# The window's caption and the title in the header (about 25 characters "
        "fit).\n"
        "title = \"Mon quiz\"\n"
        "# Shown in the header after \"Par :\" (about 14 characters fit).\n"
        "creator = \"Votre nom\"\n"
        "# Two short lines under the title: how to answer.\n"
        "explanation = \"" +
        k.explanation +
        "\"\n"
        "# \"text\", \"picture\", \"audio\" or \"video\", for the whole quiz.\n"
        "kind = \"" +
        kind +
        "\"\n"
        "# 1 or 2 answer fields a question. With 2, each question has answers =\n"
        "# [\"first\", \"second\"] and, but in text quizzes, labels = [\"Nom\", "
        "\"Titre\"]\n"
        "# names the two fields.\n"
        "answers_per_question = 1\n" +
        k.reveal +
        "# The colour of the board behind the questions, \"#RRGGBB\".\n"
        "background = \"#E4ECF7\"\n"
        "# The first code is shown in the header once one question is solved, the "
        "second once\n"
        "# two are, and so on: one code a question (about 8 characters fit).\n"
        "codes = [\"Bronze\", \"Argent\", \"Or\"]\n"
        "# The header's link shows and opens Quizz's own address; remove the # to show\n"
        "# yours instead (http:// or https://, about 18 characters fit), or \"\" for none.\n"
        "# link = \"https://www.example.org/\"\n"
        "\n";
    if (questions == QuestionsIn::CsvFile) {
        // The questions key belongs to the root table, before [grading] opens its own.
        return s + csvQuestions(kind) + "\n" + kGradingTable;
    }
    s += kGradingTable;
    if (kind == "text") {
        return s + textQuestions();
    }
    return s + (kind == "picture" ? pictureQuestions() : clipQuestions(kind == "video"));
}

std::vector<StarterFile> starterFiles(const StarterKind& k, QuestionsIn questions) {
    const std::string d = starterDescription(k, questions);
    std::vector<StarterFile> files;
    const std::string kind = k.kind;
    for (int q = 1; q <= kStarterQuestions; ++q) {
        const std::string n = twoDigits(q);
        if (kind == "picture") {
            files.push_back({"media/q" + n + ".jpg", placeholderPicture(q, false)});
            files.push_back({"media/r" + n + ".jpg", placeholderPicture(q, true)});
        } else if (kind == "audio") {
            files.push_back({"media/q" + n + ".mp3", silentMp3()});
        } else if (kind == "video") {
            files.push_back({"media/q" + n + ".avi", placeholderFilm(q)});
        }
    }
    if (questions == QuestionsIn::CsvFile) {
        const std::string csv = starterQuestionsCsv(kind);
        files.push_back({kQuestionsFile, std::vector<uint8_t>(csv.begin(), csv.end())});
    }
    files.push_back({"quiz.toml", std::vector<uint8_t>(d.begin(), d.end())});
    return files;
}

void refuseFolderWithFiles(const fs::path& dir) {
    std::error_code ec;
    if (!fs::exists(dir, ec)) {
        return;
    }
    if (!fs::is_directory(dir, ec)) {
        throw QuizpackError(kExitBadInput,
                            tr("{folder} exists and is not a folder; give the name of a new folder",
                               {{"folder", displayPath(dir)}}));
    }
    if (!fs::is_empty(dir, ec)) {
        throw QuizpackError(kExitBadInput,
                            tr("{folder} already holds files, and quizpack new never writes over "
                               "files; give a new or empty folder",
                               {{"folder", displayPath(dir)}}));
    }
}

} // namespace

int runNew(const CommandArguments& args) {
    if (args.positional.size() != 2) {
        throw usageMistake(
            tr("give the kind of quiz (text, picture, audio or video) and a folder"));
    }
    const StarterKind* starter = nullptr;
    for (const StarterKind& k : kStarters) {
        if (args.positional[0] == k.kind) {
            starter = &k;
        }
    }
    if (starter == nullptr) {
        throw usageMistake(tr("unknown kind '{kind}'; give text, picture, audio or video",
                              {{"kind", args.positional[0]}}));
    }
    const fs::path dir = pathFromArgument(args.positional[1]);
    refuseFolderWithFiles(dir);
    const QuestionsIn questions = args.has("--csv") ? QuestionsIn::CsvFile : QuestionsIn::Tables;
    const std::vector<StarterFile> files = starterFiles(*starter, questions);
    // Written together at the end, and nothing left of them when one cannot be.
    MadeDirectories folders;
    folders.make(dir);
    PendingFiles pending;
    for (const StarterFile& f : files) {
        const fs::path target = dir / fs::u8path(f.name);
        folders.make(target.parent_path());
        pending.stage(target, f.bytes);
    }
    std::vector<fs::path> written;
    pending.commit(&written);
    folders.committed = true;
    const fs::path description = dir / "quiz.toml";
    const size_t media = files.size() - (questions == QuestionsIn::CsvFile ? 2 : 1);
    const bool csv = questions == QuestionsIn::CsvFile;
    // TRANSLATORS: {a} is the English article of the kind ("a" or "an"); the kind is the
    // value of kind = "...", as the author writes it.
    const MessageArguments arguments = {{"a", starter->kind[0] == 'a' ? "an" : "a"},
                                        {"kind", starter->kind},
                                        {"folder", displayPath(dir)},
                                        {"questions", kQuestionsFile},
                                        {"description", displayPath(description)}};
    if (media == 0) {
        fputs((csv ? tr("Started {a} {kind} quiz in {folder}: quiz.toml and {questions}.\n",
                        arguments)
                   : tr("Started {a} {kind} quiz in {folder}: quiz.toml.\n", arguments))
                  .c_str(),
              stdout);
    } else {
        fputs((csv ? trn("Started {a} {kind} quiz in {folder}: quiz.toml, {questions} and {n} "
                         "placeholder media file in media/.\n",
                         "Started {a} {kind} quiz in {folder}: quiz.toml, {questions} and {n} "
                         "placeholder media files in media/.\n",
                         media, arguments)
                   : trn("Started {a} {kind} quiz in {folder}: quiz.toml and {n} placeholder "
                         "media file in media/.\n",
                         "Started {a} {kind} quiz in {folder}: quiz.toml and {n} placeholder "
                         "media files in media/.\n",
                         media, arguments))
                  .c_str(),
              stdout);
    }
    fputs(tr("Edit {description}, then:\n  quizpack check {description}\n  quizpack build "
             "{description}\n",
             arguments)
              .c_str(),
          stdout);

    return kExitOk;
}
