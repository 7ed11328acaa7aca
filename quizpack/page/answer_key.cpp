#include "quizpack/page/answer_key.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "quizpack/common/cp1252.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/output_names.h"
#include "quizpack/description/description.h"
#include "quizpack/executable/builder.h"
#include "quizpack/executable/quiz_reader.h"
#include "quizpack/media/parallel.h"
#include "quizpack/page/sha256.h"
#include "quizpack/page/web_export.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

// Tells a key this command wrote from any other file of the output's name.
constexpr char kKeyMarker[] = "<meta name=\"generator\" content=\"quizpack key\">";

const char kKeyStyle[] =
    "body{font-family:Arial,Helvetica,sans-serif;font-size:11pt;margin:1.5em;color:#000}"
    "h1{font-size:16pt;margin:0 0 .2em}h2{font-size:13pt;margin:1.2em 0 .3em}"
    "p{margin:.2em 0}table{border-collapse:collapse;width:100%;margin-top:.6em}"
    "th,td{border:1px solid #888;padding:4px 6px;text-align:left;vertical-align:top}"
    "th{background:#eee}td.number{width:2.5em;text-align:right}"
    "table.codes{width:auto;min-width:40%}img{max-width:130px;max-height:130px}ul{margin:0;padding-"
    "left:1.2em}"
    ".label{color:#555}.none{color:#666;font-style:italic}"
    "tr{break-inside:avoid;page-break-inside:avoid}thead{display:table-header-group}"
    "@page{margin:15mm}@media print{body{margin:0}th{background:none}}";

// A Windows-1252 text as HTML: markup characters and everything beyond ASCII as character
// references, so that the file is plain ASCII; control characters as blanks.
std::string html(std::string_view cp1252) {
    std::string out;
    for (char c : cp1252) {
        const uint32_t cp = cp1252CodePoint(static_cast<unsigned char>(c));
        if (cp < 0x20 || cp == 0x7F) {
            out += ' ';
        } else if (cp >= 0x80 || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'') {
            char reference[16];
            snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(cp));
            out += reference;
        } else {
            out += c;
        }
    }
    return out;
}

const char* kindInFrench(int32_t quizType) {
    switch (quizType) {
    case QUIZ_PICTURE:
        return "quiz d'images";
    case QUIZ_AUDIO:
        return "quiz de sons";
    case QUIZ_VIDEO:
        return "quiz de films";
    default:
        return "quiz de textes";
    }
}

std::string answerList(const QuestionNode& node, int answer) {
    std::string list = "<ul>";
    for (const std::string& form : acceptedAnswers(node, answer)) {
        list += form.empty() ? "<li class=\"none\">(vide : aucune r&#xE9;ponse n'est juste)</li>"
                             : "<li>" + html(form) + "</li>";
    }
    return list + "</ul>";
}

std::string questionCell(const Quiz& quiz, const QuestionNode& node, const KeyQuestion& key,
                         int q) {
    if (quiz.quizType == QUIZ_TEXT) {
        return node.questionText[0] != '\0' ? html(node.questionText)
                                            : "<span class=\"none\">(pas de texte)</span>";
    }
    if (quiz.quizType != QUIZ_PICTURE) {
        return key.clip.empty() ? "<span class=\"none\">(pas de clip)</span>"
                                : "Clip : " + html(key.clip);
    }
    if (key.picture.empty()) {
        return "<span class=\"none\">(pas d'image)</span>";
    }
    return "<img src=\"data:" + std::string(webMimeType(sniffMediaFormat(key.picture))) +
           ";base64," + toBase64(key.picture.data(), key.picture.size()) +
           "\" alt=\"Image de la question " + std::to_string(q) + "\">";
}

std::string answersCell(const Quiz& quiz, const QuestionNode& node) {
    if (quiz.answersPerQuestion != 2) {
        return answerList(node, 1);
    }
    std::string cell;
    const char* labels[2] = {quiz.answerLabel1, quiz.answerLabel2};
    for (int a = 0; a < 2; ++a) {
        const std::string label =
            labels[a][0] != '\0' ? html(labels[a]) : "R&#xE9;ponse " + std::to_string(a + 1);
        cell += "<p class=\"label\">" + label + "</p>" + answerList(node, a + 1);
    }
    return cell;
}

// What the quiz's [grading] table relaxes, for every answer listed.
std::string tolerancesNote(uint32_t tolerances) {
    std::string relaxed;
    if (tolerances & TOLERATE_ACCENTS) {
        relaxed += "les accents sont facultatifs (&#xE9;t&#xE9; ou ete)";
    } else if (tolerances & TOLERATE_CASE) {
        relaxed += "les majuscules accentu&#xE9;es valent les minuscules (&#xC9;T&#xC9; ou "
                   "&#xE9;t&#xE9;)";
    }
    if (tolerances & TOLERATE_QUOTES) {
        relaxed += std::string(relaxed.empty() ? "" : " ; ") +
                   "les apostrophes et guillemets courbes valent les droits";
    }
    return relaxed.empty()
               ? ""
               : "<p class=\"tolerances\">Pour chaque r&#xE9;ponse, " + relaxed + ".</p>\n";
}

std::string codesSection(const Quiz& quiz, int count) {
    bool any = false;
    for (int s = 0; s < count; ++s) {
        any = any || quiz.codes[s][0] != '\0';
    }
    std::string section = "<h2>Codes par score</h2>\n";
    if (!any) {
        return section + "<p class=\"none\">Ce quiz ne donne aucun code.</p>\n";
    }
    section += "<table class=\"codes\"><thead><tr><th>Questions r&#xE9;solues</th><th>Code "
               "affich&#xE9;</th></tr></thead><tbody>\n";
    for (int s = 1; s <= count; ++s) {
        const char* code = quiz.codes[s - 1];
        section += "<tr><td class=\"number\">" + std::to_string(s) + "</td><td>" +
                   (code[0] != '\0' ? html(code) : "<span class=\"none\">(aucun)</span>") +
                   "</td></tr>\n";
    }
    return section + "</tbody></table>\n";
}

// A quiz read for its key: from a checked description or a quiz executable.
struct KeySource {
    QuizPtr quiz; // null when the description has errors
    std::vector<KeyQuestion> questions;
    std::vector<CommandInput> inputs; // what the key may not be written over
};

KeySource
readDescriptionSource(const KeyOptions& options, KeyReport* report,
                      const std::function<void(const std::vector<Diagnostic>&)>& checked) {
    const Description d = checkBeforeMaking(options.input, &report->diagnostics, checked);
    KeySource source;
    if (hasErrors(report->diagnostics)) {
        return source;
    }
    source.quiz = makeQuiz(d);
    source.inputs = descriptionInputs(options.input, d);
    source.questions.resize(d.questions.size());
    for (const MediaFile& m : d.media) {
        KeyQuestion& question = source.questions[static_cast<size_t>(m.question - 1)];
        if (m.role == MediaRole::QuestionPicture) {
            question.picture = readWholeFile(m.path);
        } else if (m.role != MediaRole::RevealPicture) {
            question.clip = m.given;
        }
    }
    return source;
}

KeySource readExecutableSource(const KeyOptions& options, KeyReport* report) {
    const std::string name = displayPath(options.input);
    QuizReading reading = readQuizExecutable(readWholeFile(options.input), name);
    if (reading.malformed) {
        throw QuizpackError(kExitBadInput,
                            tr("{file}: its quiz does not match its own counts; extract it "
                               "(quizpack extract), mend the description and make its key",
                               {{"file", name}}));
    }
    report->warnings = reading.warnings;
    KeySource source;
    source.inputs = {{options.input, tr("the quiz executable")}};
    source.questions.resize(static_cast<size_t>(reading.quiz->questionCount));
    for (const MediaListing& m : reading.media) {
        KeyQuestion& question = source.questions[static_cast<size_t>(m.question - 1)];
        if (m.role == MediaRole::QuestionPicture) {
            question.picture = imageData(reading, m.resourceId);
        } else if (m.role != MediaRole::RevealPicture) {
            question.clip = "IMG " + std::to_string(m.resourceId);
        }
    }
    source.quiz = std::move(reading.quiz);
    return source;
}

// Pictures as build stores them, at most the player's 260 x 260: sharp enough on paper at
// half that size. One that does not decode is left out, with a warning.
void preparePictures(KeySource* source, KeyReport* report) {
    const Rgb background = rgbOfColourref(source->quiz->backgroundColour);
    std::vector<PreparedMedia> prepared(source->questions.size());
    runInParallel(
        source->questions.size(),
        [&](size_t i) {
            if (!source->questions[i].picture.empty()) {
                prepared[i] =
                    prepareMediaBytes(source->questions[i].picture, MediaRole::QuestionPicture,
                                      Downscaling::ToPlayerBox, background);
            }
        },
        [&](size_t i) {
            KeyQuestion& question = source->questions[i];
            if (question.picture.empty()) {
                return;
            }
            if (!prepared[i].error.empty()) {
                report->warnings.push_back(
                    tr("the picture of question {q} does not decode and is left out: {reason}",
                       {{"q", i + 1}, {"reason", prepared[i].error}}));

                question.picture.clear();
                return;
            }
            question.picture = std::move(prepared[i].bytes);
            ++report->pictures;
        });
}

fs::path defaultKeyPath(const fs::path& input, const char* title) {
    fs::path page = defaultOutputPath(input, title, ".html");
    return page.replace_filename(fs::u8path(page.stem().u8string() + "-corrige.html"));
}

} // namespace

std::vector<std::string> acceptedAnswers(const QuestionNode& node, int answer) {
    const char* forms[kMaxAnswerForms];
    const int count = answerForms(&node, answer, forms);
    return std::vector<std::string>(forms, forms + count);
}

std::string renderAnswerKey(const AnswerKey& key) {
    const Quiz& quiz = *key.quiz;
    const int count = std::min(quiz.questionCount, kMaxQuestions);
    const std::array<uint8_t, 32> styleHash = sha256(kKeyStyle);
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src "
        "data:; style-src 'sha256-" +
        toBase64(styleHash.data(), styleHash.size()) + "'\">\n" + kKeyMarker +
        "\n<title>Corrig&#xE9; : " + html(quiz.title) + "</title>\n<style>" + kKeyStyle +
        "</style>\n</head>\n<body>\n";
    page += "<h1>Corrig&#xE9; : " + html(quiz.title) + "</h1>\n<p class=\"about\">" +
            std::to_string(count) + " question" + (count == 1 ? "" : "s") + ", " +
            kindInFrench(quiz.quizType) +
            (quiz.creator[0] != '\0' ? std::string(", par ") + html(quiz.creator) : "") + "</p>\n";
    if (quiz.explanation[0] != '\0') {
        page += "<p class=\"explanation\">" + html(quiz.explanation) + "</p>\n";
    }
    page += tolerancesNote(quiz.tolerances);
    page += "<table class=\"questions\"><thead><tr><th>N&#xB0;</th><th>Question</th>"
            "<th>R&#xE9;ponses accept&#xE9;es</th></tr></thead><tbody>\n";
    int q = 0;
    for (const QuestionNode* n = quiz.head; n != nullptr && q < count; n = n->next) {
        const KeyQuestion none;
        const KeyQuestion& question =
            static_cast<size_t>(q) < key.questions.size() ? key.questions[q] : none;
        ++q;
        page += "<tr><td class=\"number\">" + std::to_string(q) + "</td><td>" +
                questionCell(quiz, *n, question, q) + "</td><td>" + answersCell(quiz, *n) +
                "</td></tr>\n";
    }
    page += "</tbody></table>\n" + codesSection(quiz, count);
    return page + "</body>\n</html>\n";
}

std::string describeIfNotAnswerKey(const std::vector<uint8_t>& bytes) {
    const std::string_view start(reinterpret_cast<const char*>(bytes.data()),
                                 bytes.size() < 4096 ? bytes.size() : 4096);
    return start.find(kKeyMarker) != std::string_view::npos ? "" : describeFileContent(bytes);
}

KeyReport writeAnswerKey(const KeyOptions& options,
                         const std::function<void(const std::vector<Diagnostic>&)>& checked) {
    KeyReport report;
    KeySource source = startsLikeExecutable(options.input)
                           ? readExecutableSource(options, &report)
                           : readDescriptionSource(options, &report, checked);
    if (!source.quiz) {
        return report;
    }
    report.output =
        options.output.empty() ? defaultKeyPath(options.input, source.quiz->title) : options.output;
    refuseOutputOverInputs(report.output, source.inputs, options.readOnlyOutput);
    refuseReplacingOtherFile(report.output, tr("an answer key quizpack wrote"),
                             describeIfNotAnswerKey, options.readOnlyOutput);
    preparePictures(&source, &report);
    AnswerKey key;
    key.quiz = source.quiz.get();
    key.questions = std::move(source.questions);
    const std::string page = renderAnswerKey(key);
    writeFileAtomically(report.output, std::vector<uint8_t>(page.begin(), page.end()));
    report.written = true;
    report.questions = static_cast<size_t>(std::min(source.quiz->questionCount, kMaxQuestions));
    report.pageBytes = page.size();
    return report;
}
