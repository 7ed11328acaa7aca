// pack, build, inspect and extract: the packed resources read back as the same quiz, a
// built executable holds this quiz's resources and no other's, extract then build gives
// the same "PATCH" bytes, and a failure never leaves a partial file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>
#include <cstdio>
#include <string>
#include <vector>

#include "content/package.h"
#include "resources/resource.h"
#include "tests/host/authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "quizpack/executable/builder.h"
#include "quizpack/commands/command_shell.h"
#include "quizpack/commands/commands.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/executable/extractor.h"
#include "quizpack/common/file_io.h"
#include "quizpack/executable/packing.h"
#include "quizpack/media/parallel.h"
#include "quizpack/executable/quiz_reader.h"
#include "quizpack/description/toml_writer.h"

namespace {

using namespace authoring_test;
using namespace test_support;

// Runs a quizpack command with its arguments, as main() does.
int runCommand(const char* command, std::vector<std::string> args) {
    args.insert(args.begin(), {"quizpack", command});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    return runQuizpack(static_cast<int>(argv.size()), argv.data());
}

std::vector<std::string> quizResources(const std::vector<Resource>& resources) {
    std::vector<std::string> names;
    for (const Resource& r : resources) {
        if (r.type == ResourceId::fromName("PATCH") || r.type == ResourceId::fromName("IMG")) {
            names.push_back(r.type.toString() + " " + r.name.toString());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A picture quiz with every kind of text, a PNG to convert and a photo to shrink.
const char kPictureQuiz[] = "title = \"Capitales d'Europe\"\n"
                            "creator = \"Marie \\\"la grande\\\"\"\n"
                            "explanation = \"Trouvez la capitale.\\tVite !\"\n"
                            "kind = \"picture\"\n"
                            "answers_per_question = 2\n"
                            "labels = [\"Pr\xC3\xA9nom - Nom\", \"Manga / Anime\"]\n"
                            "reveal = \"text+picture\"\n"
                            "background = \"#C0D8FF\"\n"
                            "codes = [\"AB\", \"C|D\"]\n"
                            "[[question]]\n"
                            "answers = [\"Paris\", \"France\"]\n"
                            "reveal_text = \"2,1 millions d'habitants\"\n"
                            "picture = \"media/photo.jpg\"\n"
                            "reveal_picture = \"media/small.png\"\n"
                            "[[question]]\n"
                            "answers = [\"Zo\xC3\xA9\", \"\xE2\x82\xAC\"]\n"
                            "reveal_text = \"\\\\ antislash\"\n"
                            "picture = \"media/small.jpg\"\n"
                            "reveal_picture = \"media/small.jpg\"\n";

void writePictureQuiz(const TempFolder& dir) {
    writeBytes(dir / "quiz/media/photo.jpg", jpegPicture(1600, 1200, 60));
    writeBytes(dir / "quiz/media/small.png", pngPicture(100, 50));
    writeBytes(dir / "quiz/media/small.jpg", jpegPicture(120, 90));
    writeFile(dir / "quiz/quiz.toml", kPictureQuiz);
}

fs::path writeMinimalTemplate(const TempFolder& dir) {
    writeBytes(dir / "template.exe", minimalExecutable());
    return dir / "template.exe";
}

// ---- pack ------------------------------------------------------------------------------

TEST(Pack, ResourcesReadBackAsTheDescribedQuiz) {
    struct Row {
        const char* name;
        std::string toml;
    };
    const Row rows[] = {
        {"one answer, reveal texts",
         "kind = \"text\"\ntitle = \"T\"\nreveal = \"all-texts\"\ncodes = [\"c1\", \"c2\"]\n"
         "[[question]]\nanswers = [\"a1\"]\ntext = \"q1\"\nreveal_text = \"r1\"\n"
         "[[question]]\nanswers = [\"a2\"]\ntext = \"q2\"\nreveal_text = \"r2\"\n"},
        {"two answers, reveal mode 3",
         "kind = \"picture\"\nanswers_per_question = 2\nlabels = [\"L1\", \"L2\"]\n"
         "reveal = \"text+picture\"\nbackground = \"#FF0000\"\n"
         "[[question]]\nanswers = [\"x\", \"y\"]\nreveal_text = \"r\"\n"},
        {"no questions", "kind = \"audio\"\ntitle = \"vide\"\n"},
    };
    for (const Row& row : rows) {
        TempFolder dir("pack");
        writeFile(dir / "quiz.toml", row.toml);
        ASSERT_EQ(
            runCommand("pack", {(dir / "quiz.toml").string(), "--package", (dir / "p.lzw").string(),
                                "--codes", (dir / "c.lzw").string()}),
            kExitOk)
            << row.name;
        CheckResult checked = checkDescriptionFile(dir / "quiz.toml");
        QuizPtr expected = makeQuiz(checked.description);

        Bytes packedCodes = readBytes(dir / "c.lzw");
        QuizReading read = readPackedQuiz(readBytes(dir / "p.lzw"), &packedCodes, "p.lzw");
        EXPECT_TRUE(read.warnings.empty()) << row.name << ": " << read.warnings.front();
        EXPECT_EQ(read.package, layOutPackage(*expected)) << row.name;
        const Quiz& q = *read.quiz;
        EXPECT_EQ(q.quizType, expected->quizType) << row.name;
        EXPECT_EQ(q.questionCount, expected->questionCount) << row.name;
        EXPECT_EQ(q.answersPerQuestion, expected->answersPerQuestion) << row.name;
        EXPECT_EQ(q.revealMode, expected->revealMode) << row.name;
        EXPECT_EQ(q.backgroundColour, expected->backgroundColour) << row.name;
        EXPECT_STREQ(q.title, expected->title) << row.name;
        EXPECT_STREQ(q.answerLabel2, expected->answerLabel2) << row.name;
        for (int i = 0; i < q.questionCount; ++i) {
            EXPECT_STREQ(q.codes[i], expected->codes[i]) << row.name << " code " << i;
            EXPECT_STREQ(questionAt(&q, i)->answer2, questionAt(expected.get(), i)->answer2)
                << row.name << " question " << i;
            EXPECT_STREQ(questionAt(&q, i)->revealText, questionAt(expected.get(), i)->revealText)
                << row.name << " question " << i;
        }
    }
}

TEST(Pack, AQuizWithoutQuestionsStillGetsACodeTable) {
    QuizPtr quiz = makeEmptyQuiz();
    EXPECT_EQ(codeTableBytes(*quiz), (Bytes{'\r', '\n'}));
    PackedQuiz packed = packQuiz(*quiz);
    EXPECT_FALSE(packed.codeTable.empty());
}

TEST(Pack, ABadDescriptionWritesNothing) {
    TempFolder dir("packbad");
    writeFile(dir / "quiz.toml", "kind = \"text\"\ntitle = \"a|b\"\n");
    writeFile(dir / "p.lzw", "old package");
    EXPECT_EQ(runCommand("pack", {(dir / "quiz.toml").string(), "--package",
                                  (dir / "p.lzw").string(), "--codes", (dir / "c.lzw").string()}),
              kExitBadInput);
    EXPECT_EQ(readBytes(dir / "p.lzw"),
              (Bytes{'o', 'l', 'd', ' ', 'p', 'a', 'c', 'k', 'a', 'g', 'e'}));
    EXPECT_EQ(listFiles(dir.path()), (std::vector<std::string>{"p.lzw", "quiz.toml"}));
}

// ---- texts survive the way back -------------------------------------------------------

// Every text that the player can hold comes back from writeDescription byte for byte:
// blanks at either end, quotes, backslashes, control characters, every high byte.
TEST(DescriptionWriter, TextsSurviveTheWayBack) {
    std::string allBytes;
    for (int b = 1; b < 256; ++b) {
        if (b != '|' && allBytes.size() < 259)
            allBytes += static_cast<char>(b);
    }
    struct Row {
        const char* name;
        std::string text; // Windows-1252
    };
    const Row rows[] = {
        {"blanks at both ends", "  Paris  "},
        {"quotes and backslashes", "say \"\\n\" \\"},
        {"tab, CR, LF", "a\tb\rc\nd"},
        {"DEL and C1 bytes", "\x7F\x81\x8D\x8F\x90\x9D"},
        {"euro, ligatures, accents", "\x80 \x8C\x9C \xE9\xE8\xC7"},
        {"TOML-looking text", "x\" = 1 # [[question]]"},
        {"every byte but '|' and NUL (first 254)", allBytes.substr(0, 254)},
        {"empty", ""},
    };
    for (const Row& row : rows) {
        QuizPtr quiz = makeEmptyQuiz();
        quiz->quizType = QUIZ_PICTURE;
        quiz->answersPerQuestion = 2;
        quiz->revealMode = REVEAL_TEXT_AND_PICTURE;
        copyText(quiz->title, row.text.c_str());
        copyText(quiz->answerLabel2, row.text.c_str());
        appendQuestion(quiz.get(), row.text.c_str(), row.text.c_str(), row.text.c_str());
        copyText(quiz->head->revealText, row.text.c_str());
        quiz->questionCount = 1;
        if (row.text.find_first_of("\r\n") == std::string::npos) {
            copyText(quiz->codes[0], row.text.c_str());
        }
        std::string toml = writeDescription(*quiz, {}, {"comment"}, {});
        CheckResult back = checkDescriptionText(toml, "written.toml", ".");
        ASSERT_TRUE(back.ok()) << row.name << "\n" << toml << describe(back.diagnostics);
        EXPECT_EQ(layOutPackage(*makeQuiz(back.description)), layOutPackage(*quiz)) << row.name;
        EXPECT_EQ(layOutCodeTable(*makeQuiz(back.description)), layOutCodeTable(*quiz)) << row.name;
    }
}

// ---- build ------------------------------------------------------------------------------

TEST(Build, StoresThisQuizAndShrinksWhatThePlayerWouldShrink) {
    TempFolder dir("build");
    writePictureQuiz(dir);
    fs::path player = writeMinimalTemplate(dir);
    std::vector<std::string> progress;
    BuildOptions options;
    options.description = dir / "quiz/quiz.toml";
    options.output = dir / "quiz.exe";
    options.player = player;
    BuildReport report =
        buildQuiz(options, [&](size_t i, size_t n, const MediaFile& m, const std::string& done) {
            progress.push_back(std::to_string(i) + "/" + std::to_string(n) + " " + m.given + ": " +
                               done);
        });
    ASSERT_TRUE(report.built) << describe(report.diagnostics);
    EXPECT_EQ(report.questions, 2u);
    EXPECT_EQ(report.mediaCount, 4u);
    EXPECT_EQ(report.executableBytes, fs::file_size(dir / "quiz.exe"));
    ASSERT_EQ(progress.size(), 4u);
    EXPECT_NE(progress[0].find("1/4 media/photo.jpg: JPEG 1600x1200 downscaled to JPEG 260x195"),
              std::string::npos)
        << progress[0];
    EXPECT_NE(progress[1].find("PNG 100x50 converted to JPEG 100x50"), std::string::npos)
        << progress[1];
    EXPECT_NE(progress[2].find("stored as it is"), std::string::npos) << progress[2];

    std::vector<Resource> resources = readResources(readBytes(dir / "quiz.exe"));
    EXPECT_EQ(quizResources(resources),
              (std::vector<std::string>{"IMG 10401", "IMG 10402", "IMG 401", "IMG 402", "PATCH 104",
                                        "PATCH 105"}));
    EXPECT_EQ(inspectPicture(resourceData(resources, "IMG", questionMediaId(1))).size.width, 260);
    EXPECT_EQ(sniffMediaFormat(resourceData(resources, "IMG", revealPictureId(1))),
              MediaFormat::Jpeg);
    EXPECT_EQ(resourceData(resources, "IMG", questionMediaId(2)),
              readBytes(dir / "quiz/media/small.jpg"));
    CheckResult checked = checkDescriptionFile(dir / "quiz/quiz.toml");
    PackedQuiz expected = packQuiz(*makeQuiz(checked.description));
    EXPECT_EQ(resourceData(resources, "PATCH", IDR_QUIZ_PACKAGE), expected.package);
    EXPECT_EQ(resourceData(resources, "PATCH", IDR_CODE_TABLE), expected.codeTable);

    // --keep-pictures: the photo as it is, the PNG still converted.
    report = buildInto(dir / "quiz/quiz.toml", dir / "kept.exe", player, Downscaling::Off);
    ASSERT_TRUE(report.built);
    resources = readResources(readBytes(dir / "kept.exe"));
    EXPECT_EQ(resourceData(resources, "IMG", questionMediaId(1)),
              readBytes(dir / "quiz/media/photo.jpg"));
    EXPECT_EQ(sniffMediaFormat(resourceData(resources, "IMG", revealPictureId(1))),
              MediaFormat::Jpeg);
}

// A quiz executable used as the template: none of its quiz may survive.
TEST(Build, LeavesNothingOfTheTemplatesQuiz) {
    TempFolder dir("strip");
    writePictureQuiz(dir);
    ASSERT_TRUE(
        buildInto(dir / "quiz/quiz.toml", dir / "first.exe", writeMinimalTemplate(dir)).built);
    writeFile(dir / "text.toml", "kind = \"text\"\n[[question]]\nanswers = [\"a\"]\n");
    ASSERT_TRUE(buildInto(dir / "text.toml", dir / "second.exe", dir / "first.exe").built);
    std::vector<Resource> resources = readResources(readBytes(dir / "second.exe"));
    EXPECT_EQ(quizResources(resources), (std::vector<std::string>{"PATCH 104", "PATCH 105"}));
}

TEST(Build, FailuresLeaveNoPartialOutput) {
    TempFolder dir("atomic");
    writePictureQuiz(dir);
    fs::path player = writeMinimalTemplate(dir);
    writeFile(dir / "garbage.exe", "not a program");
    writeFile(dir / "bad.toml", "kind = \"text\"\n[[question]]\nanswers = [\"a\\u0141b\"]\n");
    writeFile(dir / "out/previous.toml", "kind = \"text\"\n[[question]]\nanswers = [\"a\"]\n");
    ASSERT_TRUE(buildInto(dir / "out/previous.toml", dir / "out/quiz.exe", player).built);
    const Bytes previous = readBytes(dir / "out/quiz.exe");
    const std::vector<std::string> before = listFiles(dir / "out");

    struct Row {
        const char* name;
        fs::path description;
        fs::path player;
    };
    const Row rows[] = {
        {"description with an error", dir / "bad.toml", player},
        {"template that is no program", dir / "quiz/quiz.toml", dir / "garbage.exe"},
        {"template that does not exist", dir / "quiz/quiz.toml", dir / "none.exe"},
    };
    for (const Row& row : rows) {
        try {
            BuildReport report = buildInto(row.description, dir / "out/quiz.exe", row.player);
            EXPECT_FALSE(report.built) << row.name;
        } catch (const BuildError& e) {
            EXPECT_NE(std::string(e.what()).find("--player"), std::string::npos)
                << row.name << ": " << e.what();
        }
        EXPECT_EQ(listFiles(dir / "out"), before) << row.name;
        EXPECT_EQ(readBytes(dir / "out/quiz.exe"), previous) << row.name;
    }
    // A folder that cannot take the output: nothing half-written appears anywhere.
    EXPECT_THROW(buildInto(dir / "quiz/quiz.toml", dir / "missing-folder/quiz.exe", player),
                 FileError);
    EXPECT_FALSE(fs::exists(dir / "missing-folder"));
}

// check reads only picture headers for build; build decodes every picture and lists all
// that fail, with their lines, before writing anything.
TEST(Build, ListsEveryPictureThatDoesNotDecode) {
    TempFolder dir("undecodable");
    Bytes bigCut = jpegPicture(600, 400);
    bigCut.resize(bigCut.size() / 2); // header intact, scan cut: to be downscaled
    Bytes smallCut = jpegPicture(100, 80);
    smallCut.resize(smallCut.size() / 2); // header intact, scan cut: to be kept
    writeBytes(dir / "big.jpg", bigCut);
    writeBytes(dir / "small.jpg", smallCut);
    writeBytes(dir / "good.jpg", jpegPicture(100, 80));
    writeFile(dir / "quiz.toml", "kind = \"picture\"\n"
                                 "[[question]]\nanswers = [\"a\"]\npicture = \"big.jpg\"\n"
                                 "[[question]]\nanswers = [\"b\"]\npicture = \"good.jpg\"\n"
                                 "[[question]]\nanswers = [\"c\"]\npicture = \"small.jpg\"\n");
    BuildReport report = buildInto(dir / "quiz.toml", dir / "quiz.exe", writeMinimalTemplate(dir));
    EXPECT_FALSE(report.built);
    EXPECT_FALSE(fs::exists(dir / "quiz.exe"));
    std::vector<std::string> found;
    for (const Diagnostic& d : report.diagnostics) {
        if (d.severity == Severity::Error)
            found.push_back(std::to_string(d.line) + " " + d.key);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"4 question[1].picture", "10 question[3].picture"}))
        << describe(report.diagnostics);
}

TEST(RunInParallel, ReportsInOrderAndStopsAtAFailure) {
    for (unsigned threads : {1u, 2u, 4u}) {
        std::vector<size_t> order;
        runInParallel(
            50,
            [](size_t i) {
                if (i % 7 == 0)
                    std::this_thread::yield();
            },
            [&](size_t i) { order.push_back(i); }, threads);
        ASSERT_EQ(order.size(), 50u) << threads << " threads";
        for (size_t i = 0; i < order.size(); ++i)
            EXPECT_EQ(order[i], i) << threads << " threads";

        order.clear();
        std::atomic<int> ran{0};
        EXPECT_THROW(runInParallel(
                         50,
                         [&](size_t i) {
                             ++ran;
                             if (i == 10)
                                 throw std::runtime_error("item 10");
                         },
                         [&](size_t i) { order.push_back(i); }, threads),
                     std::runtime_error)
            << threads << " threads";
        EXPECT_LE(order.size(), 10u) << threads << " threads";
        // With one worker nothing after the failing item runs; with more, items already
        // claimed by other workers may finish, so only the single-worker count is exact.
        if (threads == 1) {
            EXPECT_EQ(ran.load(), 11) << "items after the failure still ran";
        }
    }
}

TEST(Build, WithoutAPlayerItSaysWhereItLookedAndToPassPlayer) {
    TempFolder dir("noplayer");
    try {
        findPlayerTemplate(std::nullopt, dir / "bin/quizpack");
        FAIL() << "a template was found in an empty folder";
    } catch (const BuildError& e) {
        std::string message = e.what();
        EXPECT_NE(message.find((dir / "bin/quizplayer.exe").string()), std::string::npos)
            << message;
        EXPECT_NE(message.find((dir / "win64/quizplayer.exe").string()), std::string::npos)
            << message;
        EXPECT_NE(message.find((dir / "share/quizz/quizplayer.exe").string()), std::string::npos)
            << message;
        EXPECT_NE(message.find("--player"), std::string::npos) << message;
    }
    writeBytes(dir / "win64/quizplayer.exe", minimalExecutable());
    EXPECT_EQ(findPlayerTemplate(std::nullopt, dir / "host/quizpack").bytes, minimalExecutable());
    writeFile(dir / "host/quizplayer.exe", "beside");
    EXPECT_EQ(findPlayerTemplate(std::nullopt, dir / "host/quizpack").bytes,
              (Bytes{'b', 'e', 's', 'i', 'd', 'e'}));
    // An installed quizpack: PREFIX/bin/quizpack and PREFIX/share/quizz/quizplayer.exe.
    writeFile(dir / "share/quizz/quizplayer.exe", "installed");
    EXPECT_EQ(findPlayerTemplate(std::nullopt, dir / "bin/quizpack").bytes,
              (Bytes{'i', 'n', 's', 't', 'a', 'l', 'l', 'e', 'd'}));
}

// ---- inspect and extract ----------------------------------------------------------------

// inspect's description names every text, code and media file of the description.
void expectListsEverything(const std::string& listing, const Description& d) {
    auto has = [&](const std::string& cp1252) {
        EXPECT_NE(listing.find(tomlString(cp1252ToUtf8(cp1252))), std::string::npos)
            << "missing " << cp1252ToUtf8(cp1252) << " in\n"
            << listing;
    };
    has(d.title);
    has(d.creator);
    has(d.explanation);
    for (const std::string& c : d.codes)
        has(c);
    for (const QuestionEntry& q : d.questions) {
        has(q.answer1);
        if (d.answersPerQuestion == 2)
            has(q.answer2);
        if (!q.text.empty())
            has(q.text);
        if (!q.revealText.empty())
            has(q.revealText);
    }
    for (const MediaFile& m : d.media) {
        EXPECT_NE(listing.find("IMG " + std::to_string(m.resourceId) + ","), std::string::npos)
            << m.given << " in\n"
            << listing;
    }
}

std::vector<fs::path> sampleDescriptions() {
    std::vector<fs::path> found;
    fs::path samples = fs::path(QUIZZ_SOURCE_DIR) / "samples";
    if (fs::is_directory(samples)) {
        for (const auto& entry : fs::directory_iterator(samples)) {
            if (fs::exists(entry.path() / "quiz.toml"))
                found.push_back(entry.path() / "quiz.toml");
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

void roundTrip(const fs::path& description, const fs::path& player, const TempFolder& dir,
               const std::string& name) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(buildInto(description, dir / (name + ".exe"), player).built);
    QuizReading reading = readQuizExecutable(readBytes(dir / (name + ".exe")), name + ".exe");
    EXPECT_TRUE(reading.warnings.empty()) << reading.warnings.front();
    CheckResult original = checkDescriptionFile(description);
    const std::string listing = writeDescription(*reading.quiz, reading.media, {}, {});
    expectListsEverything(listing, original.description);
    EXPECT_FALSE(reading.hasExtras) << "a quiz without forms, [grading] or link has no 106";
    EXPECT_EQ(listing.find("[grading]"), std::string::npos) << listing;

    extractQuiz(reading, dir / name, Overwrite::Refuse);
    ASSERT_TRUE(buildInto(dir / name / "quiz.toml", dir / (name + "-again.exe"), player).built);
    std::vector<Resource> first = readResources(readBytes(dir / (name + ".exe")));
    std::vector<Resource> again = readResources(readBytes(dir / (name + "-again.exe")));
    EXPECT_EQ(resourceData(again, "PATCH", IDR_QUIZ_PACKAGE),
              resourceData(first, "PATCH", IDR_QUIZ_PACKAGE));
    EXPECT_EQ(resourceData(again, "PATCH", IDR_CODE_TABLE),
              resourceData(first, "PATCH", IDR_CODE_TABLE));
    // Pictures already at the player's size and clips are stored as they are, so the
    // media come back the same too.
    EXPECT_EQ(quizResources(again), quizResources(first));
    for (const MediaFile& m : original.description.media) {
        EXPECT_EQ(resourceData(again, "IMG", m.resourceId),
                  resourceData(first, "IMG", m.resourceId))
            << m.given;
    }
}

TEST(ExtractThenBuild, GivesTheSamePatchResourcesForEverySample) {
    std::vector<fs::path> samples = sampleDescriptions();
    if (samples.empty()) {
        GTEST_SKIP() << "no samples/*/quiz.toml in " << QUIZZ_SOURCE_DIR;
    }
    TempFolder dir("samples");
    fs::path player = writeMinimalTemplate(dir);
    for (const fs::path& sample : samples) {
        roundTrip(sample, player, dir, sample.parent_path().filename().string());
    }
}

// A quiz with accepted forms, all three tolerances and its own link, extracted as
// [[question]] tables and as a CSV file: each builds the very same executable again.
TEST(ExtractThenBuild, GivesTheSameExecutableForAQuizWithFormsAndTolerances) {
    TempFolder dir("forms");
    const fs::path player = writeMinimalTemplate(dir);
    writeFile(dir / "quiz.toml",
              "title = \"T\"\nkind = \"text\"\nanswers_per_question = 2\ncodes = [\"a\", \"b\"]\n"
              "link = \"https://ex.fr/\"\n[grading]\naccents = \"optional\"\ncase = \"any\"\n"
              "quotes = \"any\"\n"
              "[[question]]\nanswers = [\"Charles de Gaulle | De Gaulle|G\xC3\xA9n\xC3\xA9ral de "
              "Gaulle\","
              " \"1944\"]\ntext = \"Q1\"\n"
              "[[question]]\nanswers = [\"\xC5\x93uvre\", \"l'\xC3\xA9t\xC3\xA9 | "
              "\\\"\xC3\xA9t\xC3\xA9\\\" ; x\"]\n");
    ASSERT_TRUE(buildInto(dir / "quiz.toml", dir / "quiz.exe", player).built);
    const Bytes first = readBytes(dir / "quiz.exe");
    const QuizReading reading = readQuizExecutable(first, "quiz.exe");
    ASSERT_TRUE(reading.hasExtras);
    EXPECT_TRUE(reading.warnings.empty()) << reading.warnings.front();
    for (QuestionFormat format : {QuestionFormat::Tables, QuestionFormat::Csv}) {
        const std::string name = format == QuestionFormat::Csv ? "csv" : "tables";
        extractQuiz(reading, dir / name, Overwrite::Refuse, format);
        ASSERT_TRUE(buildInto(dir / name / "quiz.toml", dir / (name + ".exe"), player).built)
            << name;
        EXPECT_TRUE(readBytes(dir / (name + ".exe")) == first) << name << ": not the same bytes";
    }
}

TEST(ExtractThenBuild, GivesTheSamePatchResourcesForTrickyTexts) {
    TempFolder dir("tricky");
    writePictureQuiz(dir);
    roundTrip(dir / "quiz/quiz.toml", writeMinimalTemplate(dir), dir, "tricky");
}

// The real player as the template: the result is a program that Windows can start.
TEST(BuildIntoPlayer, KeepsThePlayersOwnResourcesAndListsEverything) {
    fs::path player = playerPath();
    if (!fs::exists(player)) {
        GTEST_SKIP() << "no player program at " << player
                     << " (build the win64 preset, or set QUIZZ_PLAYER_EXE)";
    }
    TempFolder dir("player");
    writePictureQuiz(dir);
    std::vector<Resource> template_ = readResources(readBytes(player));
    roundTrip(dir / "quiz/quiz.toml", player, dir, "player-quiz");
    std::vector<Resource> built = readResources(readBytes(dir / "player-quiz.exe"));
    size_t kept = 0;
    for (const Resource& r : template_) {
        if (r.type == ResourceId::fromName("PATCH") || r.type == ResourceId::fromName("IMG"))
            continue;
        ++kept;
        bool found = false;
        for (const Resource& b : built) {
            found |= b.type == r.type && b.name == r.name && b.data == r.data;
        }
        EXPECT_TRUE(found) << r.type.toString() << " " << r.name.toString();
    }
    EXPECT_GT(kept, 0u) << "the player has resources of its own (dialog 1001, icons)";
}

TEST(Extract, RefusesAFolderThatHoldsFilesUnlessForced) {
    TempFolder dir("extractdir");
    writePictureQuiz(dir);
    ASSERT_TRUE(buildInto(dir / "quiz/quiz.toml", dir / "q.exe", writeMinimalTemplate(dir)).built);
    QuizReading reading = readQuizExecutable(readBytes(dir / "q.exe"), "q.exe");

    writeFile(dir / "full/notes.txt", "mine");
    EXPECT_THROW(extractQuiz(reading, dir / "full", Overwrite::Refuse), ExtractError);
    EXPECT_EQ(listFiles(dir / "full"), (std::vector<std::string>{"notes.txt"}));

    ExtractResult forced = extractQuiz(reading, dir / "full", Overwrite::Allow);
    EXPECT_EQ(listFiles(dir / "full"),
              (std::vector<std::string>{"media", "media/q01.jpg", "media/q02.jpg", "media/r01.jpg",
                                        "media/r02.jpg", "notes.txt", "quiz.toml"}));
    EXPECT_EQ(forced.written.back(), dir / "full" / "quiz.toml");

    fs::create_directories(dir / "empty");
    EXPECT_NO_THROW(extractQuiz(reading, dir / "empty", Overwrite::Refuse));
    EXPECT_NO_THROW(extractQuiz(reading, dir / "new/deeper", Overwrite::Refuse));
    EXPECT_TRUE(fs::exists(dir / "new/deeper/quiz.toml"));
}

TEST(Extract, MediaFileNamesComeFromTheBytes) {
    struct Row {
        MediaRole role;
        int question;
        MediaFormat format;
        const char* expected;
    };
    const Row rows[] = {
        {MediaRole::QuestionPicture, 1, MediaFormat::Jpeg, "media/q01.jpg"},
        {MediaRole::RevealPicture, 7, MediaFormat::Gif, "media/r07.gif"},
        {MediaRole::AudioClip, 12, MediaFormat::Mp3, "media/q12.mp3"},
        {MediaRole::VideoClip, 90, MediaFormat::Avi, "media/q90.avi"},
        {MediaRole::QuestionPicture, 3, MediaFormat::Unknown, "media/q03.bin"},
    };
    for (const Row& r : rows) {
        MediaListing m;
        m.role = r.role;
        m.question = r.question;
        m.format = r.format;
        EXPECT_EQ(mediaFileName(m), r.expected);
    }
}

// What a rebuild cannot reproduce is said, not silently changed.
TEST(Inspect, SaysWhatARebuildWouldNotReproduce) {
    QuizPtr quiz = makeEmptyQuiz();
    quiz->quizType = QUIZ_TEXT;
    quiz->answersPerQuestion = 1;
    appendQuestion(quiz.get(), "a", "", "q");
    quiz->questionCount = 1;
    Bytes package = layOutPackage(*quiz);
    Bytes codes = lzwPack(codeTableBytes(*quiz));
    struct Row {
        const char* name;
        Bytes packedPackage;
        const char* warning;
    };
    Bytes byteZero = package;
    byteZero[0] = 7;
    Bytes spare = lzwPack(package);
    spare.push_back(0x55);
    Bytes trailing = package;
    trailing.push_back('!');
    const Row rows[] = {
        {"byte 0 set", lzwPack(byteZero), "byte 0 is 0x07"},
        {"spare bytes after the stream", spare, "packed differently"},
        {"bytes after the colour", lzwPack(trailing), "follow the colour"},
    };
    for (const Row& r : rows) {
        QuizReading reading = readPackedQuiz(r.packedPackage, &codes, r.name);
        ASSERT_EQ(reading.warnings.size(), 1u) << r.name;
        EXPECT_NE(reading.warnings[0].find(r.warning), std::string::npos)
            << r.name << ": " << reading.warnings[0];
        EXPECT_STREQ(reading.quiz->head->answer1, "a") << r.name;
    }
    Bytes cut(package.begin(), package.end() - 5); // the reveal byte and colour are gone
    QuizReading malformed = readPackedQuiz(lzwPack(cut), &codes, "cut");
    EXPECT_TRUE(malformed.malformed);
    TempFolder dir("malformed");
    EXPECT_THROW(extractQuiz(malformed, dir / "out", Overwrite::Refuse), ExtractError);
    EXPECT_FALSE(fs::exists(dir / "out"));

    QuizReading noCodes = readPackedQuiz(lzwPack(package), nullptr, "no codes");
    ASSERT_EQ(noCodes.warnings.size(), 1u);
    EXPECT_NE(noCodes.warnings[0].find("Codes non trouv"), std::string::npos);
}

TEST(Inspect, RefusesWhatIsNoQuiz) {
    struct Row {
        const char* name;
        Bytes file;
        bool codecFailure;
    };
    Bytes withGarbagePackage = replaceResources(
        minimalExecutable(), [](const Resource&) { return false; },
        {Resource{ResourceId::fromName("PATCH"), ResourceId::fromNumber(IDR_QUIZ_PACKAGE), 0, 0,
                  Bytes{0xFF, 0xFF, 0xFF, 0xFF}}});
    const Row rows[] = {
        {"not a program", Bytes{'t', 'e', 'x', 't'}, false},
        {"a program without a quiz", minimalExecutable(), false},
        {"a package that does not unpack", withGarbagePackage, true},
    };
    for (const Row& r : rows) {
        try {
            readQuizExecutable(r.file, r.name);
            ADD_FAILURE() << r.name << " was read as a quiz";
        } catch (const QuizReadError& e) {
            EXPECT_EQ(e.codecFailure, r.codecFailure) << r.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(r.name), std::string::npos) << e.what();
        }
    }
}

// ---- the command line, as authors run it -------------------------------------------------

TEST(QuizpackCommands, ExitCodesAndMessages) {
    TempFolder dir("cli");
    writePictureQuiz(dir);
    writeMinimalTemplate(dir);
    writeFile(dir / "bad.toml", "kind = \"text\"\n[[question]]\nanswers = [\"a\\u0141b\"]\n");
    const std::string q = dir.file("quiz/quiz.toml");
    const std::string bad = dir.file("bad.toml");

    ProgramRun check = runQuizpack({"check", q});
    EXPECT_EQ(check.exitCode, 0) << check.err;
    EXPECT_NE(check.out.find("picture quiz, 2 questions, 4 media files"), std::string::npos)
        << check.out;

    ProgramRun checkBad = runQuizpack({"check", bad});
    EXPECT_EQ(checkBad.exitCode, 2);
    EXPECT_NE(checkBad.err.find("bad.toml:3: error: question[1].answers:"), std::string::npos)
        << checkBad.err;

    ProgramRun built =
        runQuizpack({"build", q, "-o", dir.file("q.exe"), "--player", dir.file("template.exe")});
    EXPECT_EQ(built.exitCode, 0) << built.err;
    EXPECT_NE(built.out.find("[ 1/4] IMG 401   media/photo.jpg: JPEG 1600x1200 downscaled"),
              std::string::npos)
        << built.out;
    EXPECT_NE(built.out.find("questions:  2"), std::string::npos) << built.out;

    ProgramRun inspect = runQuizpack({"inspect", dir.file("q.exe")});
    EXPECT_EQ(inspect.exitCode, 0) << inspect.err;
    EXPECT_NE(inspect.out.find("title = \"Capitales d'Europe\""), std::string::npos) << inspect.out;
    EXPECT_NE(inspect.out.find("# picture: IMG 401, JPEG 260x195"), std::string::npos)
        << inspect.out;

    ProgramRun noPlayer =
        runQuizpack({"build", q, "-o", dir.file("x.exe"), "--player", dir.file("none.exe")});
    EXPECT_EQ(noPlayer.exitCode, 2);
    EXPECT_FALSE(fs::exists(dir / "x.exe"));

    ProgramRun extractTwice = runQuizpack({"extract", dir.file("q.exe"), dir.file("quiz")});
    EXPECT_EQ(extractTwice.exitCode, 2);
    EXPECT_NE(extractTwice.err.find("--force"), std::string::npos) << extractTwice.err;

    ProgramRun unknown = runQuizpack({"build", q, "--output", "x.exe"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown option '--output'"), std::string::npos) << unknown.err;
}

} // namespace
