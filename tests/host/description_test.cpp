// Quiz descriptions: what check accepts, what it maps each key to, and every error and
// warning it reports, each located by line and key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/package.h"
#include "tests/host/authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "quizpack/description/description.h"
#include "quizpack/common/messages.h"

namespace {

using namespace authoring_test;
using namespace test_support;

enum class Media { None, Jpeg, Png, Garbage, Webp, Mp3, Avi, Wav, CutJpeg };

struct MediaFileSpec {
    const char* path;
    Media kind;
};

struct ProblemCase {
    const char* name;
    std::string toml;
    std::vector<MediaFileSpec> files;
    Severity severity;
    int line;
    std::string key;
    const char* messagePart;
};

Bytes mediaBytes(Media kind) {
    switch (kind) {
    case Media::Jpeg:
        return jpegPicture(40, 30);
    case Media::Png:
        return pngPicture(40, 30);
    case Media::Garbage:
        return Bytes{'h', 'e', 'l', 'l', 'o', '\n'};
    case Media::Webp:
        return riffFile("WEBP");
    case Media::Mp3:
        return mp3Clip();
    case Media::Avi:
        return riffFile("AVI ");
    case Media::Wav:
        return riffFile("WAVE");
    case Media::CutJpeg: {
        Bytes b = jpegPicture(40, 30);
        b.resize(b.size() / 2); // a download cut off half-way
        return b;
    }
    case Media::None:
        break;
    }
    return {};
}

std::string questions(int count, const std::string& body = "answers = [\"a\"]\n") {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += "[[question]]\n" + body;
    return s;
}

CheckResult checkIn(const TempFolder& dir, const std::string& toml,
                    const std::vector<MediaFileSpec>& files = {}) {
    for (const MediaFileSpec& f : files) {
        writeBytes(dir / f.path, mediaBytes(f.kind));
    }
    writeFile(dir / "quiz.toml", toml);
    return checkDescriptionFile(dir / "quiz.toml");
}

const char kText[] = "kind = \"text\"\n";
const char kPicture[] = "kind = \"picture\"\n";

std::vector<ProblemCase> problemCases() {
    const std::string long260(260, 'x');
    return {
        // ---- errors ----
        {"text over 259 bytes",
         "title = \"" + long260 + "\"\n" + kText + questions(1),
         {},
         Severity::Error,
         1,
         "title",
         "260 bytes"},
        {"259 e-acute letters are 518 UTF-8 bytes but 259 in Windows-1252, one more is too many",
         std::string(kText) + "creator = \"" +
             [] {
                 std::string s;
                 for (int i = 0; i < 260; ++i)
                     s += "\xC3\xA9";
                 return s;
             }() +
             "\"\n" + questions(1),
         {},
         Severity::Error,
         2,
         "creator",
         "260 bytes"},
        {"nine accepted forms in an answer",
         std::string(kText) + "[[question]]\nanswers = [\"a|b|c|d|e|f|g|h|i\"]\n",
         {},
         Severity::Error,
         3,
         "question[1].answers",
         "9 accepted forms; an answer has at most 8"},
        {"'|' in a question text",
         std::string(kText) + questions(1, "answers = [\"a\"]\ntext = \"x | y\"\n"),
         {},
         Severity::Error,
         4,
         "question[1].text",
         "'|'"},
        {"character outside Windows-1252",
         std::string(kText) + "explanation = \"\xC5\x81\xC3\xB3\x64\xC5\xBA\"\n" + questions(1),
         {},
         Severity::Error,
         2,
         "explanation",
         "U+0141"},
        {"LF in a code",
         std::string(kText) + "codes = [\"a\\nb\"]\n" + questions(1),
         {},
         Severity::Error,
         2,
         "codes[1]",
         "line break"},
        {"CR in a code",
         std::string(kText) + "codes = [\"ok\", \"a\\rb\"]\n" + questions(2),
         {},
         Severity::Error,
         2,
         "codes[2]",
         "line break"},
        {"NUL in a text",
         std::string(kText) + "title = \"a\\u0000b\"\n" + questions(1),
         {},
         Severity::Error,
         2,
         "title",
         "NUL"},
        {"more than 90 questions",
         std::string(kText) + questions(92),
         {},
         Severity::Error,
         2 + 90 * 2,
         "question[91]",
         "at most 90"},
        {"too few answers",
         std::string(kText) + "answers_per_question = 2\n" + questions(1),
         {},
         Severity::Error,
         4,
         "question[1].answers",
         "1 answer given"},
        {"too many answers",
         std::string(kText) + questions(1, "answers = [\"a\", \"b\"]\n"),
         {},
         Severity::Error,
         3,
         "question[1].answers",
         "2 answers given"},
        {"no answers",
         std::string(kText) + questions(1, "text = \"q\"\n"),
         {},
         Severity::Error,
         2,
         "question[1].answers",
         "missing"},
        {"missing media file",
         std::string(kPicture) + questions(1, "answers = [\"a\"]\npicture = \"media/none.jpg\"\n"),
         {},
         Severity::Error,
         4,
         "question[1].picture",
         "no such file"},
        {"picture that does not decode",
         std::string(kPicture) + questions(1, "answers = [\"a\"]\npicture = \"media/q01.jpg\"\n"),
         {{"media/q01.jpg", Media::Garbage}},
         Severity::Error,
         4,
         "question[1].picture",
         "not a JPEG, PNG, GIF or BMP"},
        {"picture in a format neither quizpack nor the player decodes",
         std::string(kPicture) + questions(1, "answers = [\"a\"]\npicture = \"media/q01.webp\"\n"),
         {{"media/q01.webp", Media::Webp}},
         Severity::Error,
         4,
         "question[1].picture",
         "WebP"},
        {"JPEG cut short",
         std::string(kPicture) + questions(1, "answers = [\"a\"]\npicture = \"q.jpg\"\n"),
         {{"q.jpg", Media::CutJpeg}},
         Severity::Error,
         4,
         "question[1].picture",
         "does not decode"},
        {"audio clip that is not MP3",
         "kind = \"audio\"\n" + questions(1, "answers = [\"a\"]\nclip = \"media/q01.wav\"\n"),
         {{"media/q01.wav", Media::Wav}},
         Severity::Error,
         4,
         "question[1].clip",
         "not an MP3 clip"},
        {"video clip that is not AVI",
         "kind = \"video\"\n" + questions(1, "answers = [\"a\"]\nclip = \"media/q01.mp3\"\n"),
         {{"media/q01.mp3", Media::Mp3}},
         Severity::Error,
         4,
         "question[1].clip",
         "not an AVI clip"},
        {"audio question without a clip",
         "kind = \"audio\"\n" + questions(1),
         {},
         Severity::Error,
         2,
         "question[1].clip",
         "no clip"},
        {"kind missing", questions(1), {}, Severity::Error, 0, "kind", "missing"},
        {"kind unknown",
         "kind = \"pictures\"\n" + questions(1),
         {},
         Severity::Error,
         1,
         "kind",
         "unknown value"},
        {"reveal unknown",
         std::string(kPicture) + "reveal = \"texts\"\n" + questions(1),
         {},
         Severity::Error,
         2,
         "reveal",
         "unknown value"},
        {"background not #RRGGBB",
         std::string(kText) + "background = \"#C0D8F\"\n" + questions(1),
         {},
         Severity::Error,
         2,
         "background",
         "#RRGGBB"},
        {"three answers per question",
         std::string(kText) + "answers_per_question = 3\n" + questions(1),
         {},
         Severity::Error,
         2,
         "answers_per_question",
         "1 or 2"},
        {"three labels",
         std::string(kText) + "labels = [\"a\", \"b\", \"c\"]\n" + questions(1),
         {},
         Severity::Error,
         2,
         "labels",
         "3 entries"},
        {"a number where a text belongs",
         std::string(kText) + "title = 5\n" + questions(1),
         {},
         Severity::Error,
         2,
         "title",
         "an integer"},
        {"[question] written with one bracket pair",
         std::string(kText) + "[question]\nanswers = [\"a\"]\n",
         {},
         Severity::Error,
         2,
         "question",
         "[[question]]"},
        {"TOML syntax error",
         std::string(kText) + "title = \"unterminated\n" + questions(1),
         {},
         Severity::Error,
         2,
         "",
         "not valid TOML"},
        {"package over the packer's 65535 bytes",
         std::string(kText) + "answers_per_question = 2\n" +
             questions(90, "answers = [\"" + std::string(259, 'a') + "\", \"" +
                               std::string(259, 'b') + "\"]\ntext = \"" + std::string(259, 't') +
                               "\"\n"),
         {},
         Severity::Error,
         3,
         "question",
         "at most 65535"},
        // ---- warnings ----
        {"answer with a blank at its start",
         std::string(kText) + questions(1, "answers = [\" Paris\"]\n"),
         {},
         Severity::Warning,
         3,
         "question[1].answers",
         "blank"},
        {"answer with a blank at its end",
         std::string(kText) + questions(1, "answers = [\"Paris \"]\n"),
         {},
         Severity::Warning,
         3,
         "question[1].answers",
         "blank"},
        {"empty answer",
         std::string(kText) + questions(1, "answers = [\"\"]\n"),
         {},
         Severity::Warning,
         3,
         "question[1].answers",
         "empty"},
        {"more codes than questions",
         std::string(kText) + "codes = [\"a\", \"b\", \"c\"]\n" + questions(2),
         {},
         Severity::Warning,
         2,
         "codes",
         "3 codes for 2 questions"},
        {"picture in a text quiz",
         std::string(kText) + questions(1, "answers = [\"a\"]\npicture = \"media/q01.jpg\"\n"),
         {},
         Severity::Warning,
         4,
         "question[1].picture",
         "never shows question pictures"},
        {"clip in a picture quiz",
         std::string(kPicture) +
             questions(1, "answers = [\"a\"]\npicture = \"q.jpg\"\nclip = \"q.mp3\"\n"),
         {{"q.jpg", Media::Jpeg}},
         Severity::Warning,
         5,
         "question[1].clip",
         "never plays clips"},
        {"reveal picture with reveal = text",
         std::string(kPicture) + "reveal = \"text\"\n" +
             questions(1, "answers = [\"a\"]\npicture = \"q.jpg\"\nreveal_picture = \"r.jpg\"\n"),
         {{"q.jpg", Media::Jpeg}},
         Severity::Warning,
         6,
         "question[1].reveal_picture",
         "never shows reveal pictures"},
        {"reveal picture in an audio quiz",
         "kind = \"audio\"\nreveal = \"picture\"\n" +
             questions(1, "answers = [\"a\"]\nclip = \"q.mp3\"\nreveal_picture = \"r.jpg\"\n"),
         {{"q.mp3", Media::Mp3}},
         Severity::Warning,
         6,
         "question[1].reveal_picture",
         "never shows reveal pictures"},
        {"reveal text with reveal = none",
         std::string(kPicture) +
             questions(1, "answers = [\"a\"]\npicture = \"q.jpg\"\nreveal_text = \"r\"\n"),
         {{"q.jpg", Media::Jpeg}},
         Severity::Warning,
         5,
         "question[1].reveal_text",
         "not stored"},
        {"reveal mode in a text quiz",
         std::string(kText) + "reveal = \"text\"\n" + questions(1),
         {},
         Severity::Warning,
         2,
         "reveal",
         "reveals nothing"},
        {"question text in a picture quiz",
         std::string(kPicture) +
             questions(1, "answers = [\"a\"]\npicture = \"q.jpg\"\ntext = \"t\"\n"),
         {{"q.jpg", Media::Jpeg}},
         Severity::Warning,
         5,
         "question[1].text",
         "shown only in text quizzes"},
        {"picture quiz question without a picture",
         std::string(kPicture) + questions(1),
         {},
         Severity::Warning,
         2,
         "question[1].picture",
         "empty frame"},
        {"reveal mode picture without a reveal picture",
         std::string(kPicture) + "reveal = \"picture\"\n" +
             questions(1, "answers = [\"a\"]\npicture = \"q.jpg\"\n"),
         {{"q.jpg", Media::Jpeg}},
         Severity::Warning,
         3,
         "question[1].reveal_picture",
         "no reveal picture"},
        {"labels with one answer per question",
         std::string(kText) + "labels = [\"A\", \"B\"]\n" + questions(1),
         {},
         Severity::Warning,
         2,
         "labels",
         "only with answers_per_question = 2"},
        {"misspelt key",
         std::string(kText) + "titel = \"x\"\n" + questions(1),
         {},
         Severity::Warning,
         2,
         "titel",
         "did you mean 'title'"},
        {"misspelt question key",
         std::string(kText) + questions(1, "answers = [\"a\"]\nreveal_txt = \"x\"\n"),
         {},
         Severity::Warning,
         4,
         "question[1].reveal_txt",
         "did you mean 'reveal_text'"},
        {"misspelt key holding a NUL",
         std::string(kText) + "\"ti\\u0000tle\" = \"x\"\n" + questions(1),
         {},
         Severity::Warning,
         2,
         std::string("ti\0tle", 6),
         "did you mean 'title'"},
        {"no questions", kText, {}, Severity::Warning, 0, "question", "empty"},

        // ---- accepted forms, [grading] and link ----
        {"an accepted form over 259 bytes",
         std::string(kText) + "[[question]]\nanswers = [\"a | " + std::string(260, 'x') + "\"]\n",
         {},
         Severity::Error,
         3,
         "question[1].answers",
         "accepted form 2 is 260 bytes"},
        {"an unknown tolerance value",
         std::string(kText) + "[grading]\ncase = \"all\"\n" + questions(1),
         {},
         Severity::Error,
         3,
         "grading.case",
         "unknown value \"all\""},
        {"grading that is no table",
         std::string(kText) + "grading = \"any\"\n" + questions(1),
         {},
         Severity::Error,
         2,
         "grading",
         "must be a table"},
        {"a misspelt tolerance",
         std::string(kText) + "[grading]\nacents = \"optional\"\n" + questions(1),
         {},
         Severity::Warning,
         3,
         "grading.acents",
         "did you mean 'accents'"},
        {"a link that is no web address",
         std::string(kText) + "link = \"file:///C:/x.exe\"\n" + questions(1),
         {},
         Severity::Error,
         2,
         "link",
         "must begin with http:// or https://"},

        // ---- notes ----
        {"PNG picture, converted by build",
         std::string(kPicture) + questions(1, "answers = [\"a\"]\npicture = \"q.png\"\n"),
         {{"q.png", Media::Png}},
         Severity::Note,
         4,
         "question[1].picture",
         "converts it to JPEG"},
    };
}

TEST(DescriptionCheck, EachProblemIsReportedWithItsLineAndKey) {
    for (const ProblemCase& c : problemCases()) {
        TempFolder dir("check");
        CheckResult result = checkIn(dir, c.toml, c.files);
        bool found = false;
        for (const Diagnostic& d : result.diagnostics) {
            if (d.severity == c.severity && d.line == c.line && d.key == c.key &&
                d.message.find(c.messagePart) != std::string::npos) {
                found = true;
                EXPECT_EQ(d.file, (dir / "quiz.toml").u8string()) << c.name;
            }
        }
        EXPECT_TRUE(found) << c.name << ": expected line " << c.line << ", key '" << c.key
                           << "', message with '" << c.messagePart << "'; got:\n"
                           << describe(result.diagnostics);
        // Warnings and notes alone never stop a build.
        EXPECT_EQ(result.ok(), c.severity != Severity::Error) << c.name << "\n"
                                                              << describe(result.diagnostics);
    }
}

// In English and in French, where every message and hint comes from the catalogue.
TEST(DescriptionCheck, EveryErrorComesWithAHint) {
    for (Language language : {Language::English, Language::French}) {
        setMessageLanguage(language);
        takeUntranslatedCount();
        for (const ProblemCase& c : problemCases()) {
            TempFolder dir("hint");
            for (const Diagnostic& d : checkIn(dir, c.toml, c.files).diagnostics) {
                if (d.severity == Severity::Error) {
                    EXPECT_FALSE(d.hint.empty()) << c.name << ": " << formatDiagnostic(d);
                }
            }
            std::string untranslated;
            EXPECT_EQ(takeUntranslatedCount(&untranslated), 0) << c.name << ": " << untranslated;
        }
    }
    setMessageLanguage(Language::English);
}

TEST(DescriptionCheck, ReportsEveryProblemAtOnce) {
    TempFolder dir("many");
    CheckResult result = checkIn(dir, "kind = \"text\"\n"
                                      "title = \"a|b\"\n"
                                      "codes = [\"x\\ny\", \"z\"]\n"
                                      "[[question]]\n"
                                      "answers = [\"\\u0141\"]\n"
                                      "[[question]]\n"
                                      "answers = [\" late\"]\n");
    EXPECT_EQ(countSeverity(result.diagnostics, Severity::Error), 3)
        << describe(result.diagnostics);
    EXPECT_EQ(countSeverity(result.diagnostics, Severity::Warning), 1)
        << describe(result.diagnostics);
    // In file order.
    for (size_t i = 1; i < result.diagnostics.size(); ++i) {
        EXPECT_LE(result.diagnostics[i - 1].line, result.diagnostics[i].line);
    }
}

TEST(DescriptionCheck, AcceptsWhatTheFormatAllows) {
    struct Row {
        const char* name;
        std::string toml;
    };
    // A title and a code per question, so that nothing but the row's point is looked at.
    auto complete = [](int questionCount) {
        std::string codes;
        for (int i = 0; i < questionCount; ++i)
            codes += "\"c\", ";
        return "kind = \"text\"\ntitle = \"T\"\ncodes = [" + codes + "]\n";
    };
    const Row rows[] = {
        {"259 bytes exactly",
         complete(1) + questions(1, "answers = [\"" + std::string(259, 'x') + "\"]\n")},
        {"'|' in a code (codes are lines, not fields)",
         "kind = \"text\"\ntitle = \"T\"\ncodes = [\"A|B\"]\n" + questions(1)},
        {"90 questions", complete(90) + questions(90)},
        {"Windows-1252 punctuation",
         complete(1) +
             "explanation = \"\xE2\x82\xAC \xE2\x80\x9Cquote\xE2\x80\x9D \xC5\x92uvre\"\n" +
             questions(1)},
        {"blanks inside an answer", complete(1) + questions(1, "answers = [\"Tour  Eiffel\"]\n")},
    };
    for (const Row& row : rows) {
        TempFolder dir("accept");
        CheckResult result = checkIn(dir, row.toml);
        EXPECT_TRUE(result.diagnostics.empty()) << row.name << "\n" << describe(result.diagnostics);
    }
}

TEST(DescriptionCheck, MapsEveryKeyToTheQuiz) {
    TempFolder dir("map");
    writeBytes(dir / "media/q01.jpg", jpegPicture(30, 20));
    writeBytes(dir / "media/r01.png", pngPicture(30, 20));
    writeBytes(dir / "media/q02.bmp", bmpPicture(30, 20));
    CheckResult result = checkIn(dir, "title = \"Capitales d'Europe\"\n"
                                      "creator = \"Zo\xC3\xA9\"\n"
                                      "explanation = \"Trouvez.\"\n"
                                      "kind = \"picture\"\n"
                                      "answers_per_question = 2\n"
                                      "labels = [\"Pr\xC3\xA9nom - Nom\", \"Manga / Anime\"]\n"
                                      "reveal = \"text+picture\"\n"
                                      "background = \"#C0d8Ff\"\n"
                                      "codes = [\"AB\", \"CD\"]\n"
                                      "[[question]]\n"
                                      "answers = [\"Paris\", \"France\"]\n"
                                      "reveal_text = \"2,1 millions\"\n"
                                      "picture = \"media/q01.jpg\"\n"
                                      "reveal_picture = \"media/r01.png\"\n"
                                      "[[question]]\n"
                                      "answers = [\"Rome\", \"Italie\"]\n"
                                      "picture = \"media/q02.bmp\"\n"
                                      "reveal_picture = \"media/r01.png\"\n");
    ASSERT_TRUE(result.ok()) << describe(result.diagnostics);
    QuizPtr quiz = makeQuiz(result.description);
    EXPECT_EQ(quiz->quizType, QUIZ_PICTURE);
    EXPECT_EQ(quiz->revealMode, REVEAL_TEXT_AND_PICTURE);
    EXPECT_EQ(quiz->answersPerQuestion, 2);
    EXPECT_EQ(quiz->questionCount, 2);
    EXPECT_EQ(quiz->backgroundColour, 0xFFD8C0u); // 0x00BBGGRR
    EXPECT_STREQ(quiz->title, "Capitales d'Europe");
    EXPECT_STREQ(quiz->creator, "Zo\xE9"); // é as the Windows-1252 byte
    EXPECT_STREQ(quiz->answerLabel1, "Pr\xE9nom - Nom");
    EXPECT_STREQ(quiz->answerLabel2, "Manga / Anime");
    EXPECT_STREQ(quiz->codes[0], "AB");
    EXPECT_STREQ(quiz->codes[1], "CD");
    EXPECT_STREQ(quiz->codes[2], "");
    EXPECT_STREQ(questionAt(quiz.get(), 0)->answer1, "Paris");
    EXPECT_STREQ(questionAt(quiz.get(), 0)->answer2, "France");
    EXPECT_STREQ(questionAt(quiz.get(), 0)->revealText, "2,1 millions");
    EXPECT_STREQ(questionAt(quiz.get(), 1)->answer2, "Italie");
    EXPECT_STREQ(questionAt(quiz.get(), 1)->questionText, "");

    const auto& media = result.description.media;
    ASSERT_EQ(media.size(), 4u);
    const uint32_t ids[] = {401, 10401, 402, 10402};
    const MediaFormat formats[] = {MediaFormat::Jpeg, MediaFormat::Png, MediaFormat::Bmp,
                                   MediaFormat::Png};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(media[i].resourceId, ids[i]) << i;
        EXPECT_EQ(media[i].format, formats[i]) << i;
        EXPECT_EQ(media[i].pictureSize.width, 30) << i;
    }
}

TEST(DescriptionCheck, MediaPathsAreRelativeToTheDescription) {
    TempFolder dir("relative");
    writeBytes(dir / "sub/media/q01.mp3", mp3Clip(true));
    writeFile(dir / "sub/quiz.toml",
              "kind = \"audio\"\n[[question]]\nanswers = [\"a\"]\nclip = \"media/q01.mp3\"\n");
    CheckResult result = checkDescriptionFile(dir / "sub/quiz.toml");
    EXPECT_TRUE(result.ok()) << describe(result.diagnostics);
    ASSERT_EQ(result.description.media.size(), 1u);
    EXPECT_EQ(result.description.media[0].format, MediaFormat::Mp3);
}

TEST(DescriptionCheck, UnreadableDescriptionIsAnError) {
    TempFolder dir("unreadable");
    CheckResult result = checkDescriptionFile(dir / "missing.toml");
    ASSERT_EQ(result.diagnostics.size(), 1u);
    EXPECT_EQ(result.diagnostics[0].severity, Severity::Error);
    EXPECT_NE(result.diagnostics[0].message.find("no such file"), std::string::npos);
}

TEST(MediaFormats, SniffedFromTheFirstBytes) {
    struct Row {
        const char* name;
        Bytes bytes;
        MediaFormat expected;
    };
    const Row rows[] = {
        {"JPEG", jpegPicture(8, 8), MediaFormat::Jpeg},
        {"PNG", pngPicture(8, 8), MediaFormat::Png},
        {"BMP", bmpPicture(8, 8), MediaFormat::Bmp},
        {"GIF", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}, MediaFormat::Gif},
        {"MP3 frame", mp3Clip(), MediaFormat::Mp3},
        {"MP3 after an ID3 tag", mp3Clip(true), MediaFormat::Mp3},
        {"AVI", riffFile("AVI "), MediaFormat::Avi},
        {"WAV", riffFile("WAVE"), MediaFormat::Wave},
        {"WebP", riffFile("WEBP"), MediaFormat::Webp},
        {"MP4", Bytes{0, 0, 0, 24, 'f', 't', 'y', 'p', 'i', 's', 'o', 'm'}, MediaFormat::Mp4},
        {"MPEG layer II frame is no MP3", Bytes{0xFF, 0xFD, 0x90, 0x64, 0, 0},
         MediaFormat::Unknown},
        {"ID3 tag with no frame after it", Bytes{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 2, 0, 0},
         MediaFormat::Unknown},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o'}, MediaFormat::Unknown},
        {"empty", Bytes{}, MediaFormat::Unknown},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(sniffMediaFormat(row.bytes), row.expected) << row.name;
    }
}

} // namespace
