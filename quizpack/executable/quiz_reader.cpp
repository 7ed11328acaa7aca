#include "quizpack/executable/quiz_reader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "content/lzw.h"
#include "content/package.h"
#include "quizpack/common/file_io.h"
#include "quizpack/executable/packing.h"
#include "quizpack/common/messages.h"

ResourceId patchType() {
    return ResourceId::fromName("PATCH");
}
ResourceId imageType() {
    return ResourceId::fromName("IMG");
}

namespace {

std::string hexByte(uint8_t b) {
    char s[8];
    snprintf(s, sizeof s, "0x%02X", b);
    return s;
}

std::string describeProblems(uint32_t problems) {
    static const struct {
        uint32_t bit;
        const char* words;
    } kWords[] = {
        {CONTENT_TRUNCATED, N_("it ends before its counts say it should")},
        {CONTENT_TEXT_TOO_LONG, N_("a text is over 259 bytes (cut)")},
        {CONTENT_BAD_ANSWER_COUNT, N_("the answers-per-question byte is neither 1 nor 2")},
        {CONTENT_BAD_QUIZ_TYPE, N_("the quiz-type byte is outside 1..4")},
        {CONTENT_TOO_MANY_QUESTIONS, N_("it declares more than 90 questions (cut to 90)")},
        {CONTENT_OUT_OF_MEMORY, N_("memory ran out")},
    };
    std::string text;
    for (const auto& w : kWords) {
        if (problems & w.bit) {
            text += (text.empty() ? "" : "; ") + std::string(tr(w.words));
        }
    }
    return text;
}

size_t firstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// Extracted quizzes write their other forms, tolerances and link back, and a rebuild lays
// them out again; a quiz without any gets no "PATCH" 106.
void compareExtrasWithRebuild(QuizReading* r) {
    if (!r->hasExtras) {
        return;
    }
    std::vector<uint8_t> laidOut = layOutGradingExtras(*r->quiz);
    if (laidOut.empty()) {
        r->warnings.push_back("\"PATCH\" 106 holds no accepted form, tolerance or link: a rebuild "
                              "leaves it out, and the rebuilt quiz grades the same");
    } else if (laidOut != r->extras) {
        r->warnings.push_back("\"PATCH\" 106 will not be rebuilt byte for byte (laid out by "
                              "another tool); the rebuilt quiz grades the same");
    } else if (laidOut.size() <= static_cast<size_t>(kLzwMaxInput) &&
               lzwPack(laidOut) != r->packedExtras) {
        r->warnings.push_back("\"PATCH\" 106 was packed differently (another packer, or spare "
                              "bytes after the stream); a rebuild packs the same content into "
                              "other bytes");
    }
}

// Why a rebuild from the extracted description would not give these very bytes.
void compareWithRebuild(QuizReading* r) {
    std::vector<uint8_t> laidOut = layOutPackage(*r->quiz);
    if (laidOut != r->package) {
        size_t at = firstDifference(laidOut, r->package);
        std::string why;
        if (!r->package.empty() && r->package[0] != 0) {
            why = tr("byte 0 is {byte} (the player ignores it; quizpack writes 0)",
                     {{"byte", hexByte(r->package[0])}});
        } else if (at == laidOut.size() && r->package.size() > laidOut.size()) {
            why = tr("{count} bytes follow the colour (the player ignores them)",
                     {{"count", r->package.size() - laidOut.size()}});

        } else if (r->quiz->revealMode == REVEAL_TEXT_AND_PICTURE) {
            why = tr("with reveal mode 3 each question's second reveal field, which the player "
                     "drops, is not empty (quizpack writes it empty), or a text differs");
        } else {
            why = tr("the bytes differ from offset {offset} (a zero byte inside a text, a text "
                     "cut at 259 bytes, or counts that do not match the content)",
                     {{"offset", at}});
        }
        r->warnings.push_back(tr("the quiz package will not be rebuilt byte for byte: {why}; the "
                                 "rebuilt quiz shows the same",
                                 {{"why", why}}));
    } else if (laidOut.size() > static_cast<size_t>(kLzwMaxInput)) {
        // The player unpacks more than the packer packs: this quiz reads and extracts,
        // but its description does not build until it is shorter.
        r->warnings.push_back(tr("the quiz package is {bytes} bytes unpacked, more than the "
                                 "{most} quizpack can pack: it cannot be rebuilt until its texts "
                                 "are {over} bytes shorter",
                                 {{"bytes", laidOut.size()},
                                  {"most", kLzwMaxInput},
                                  {"over", laidOut.size() - kLzwMaxInput}}));
    } else {
        std::vector<uint8_t> repacked = lzwPack(laidOut);
        if (repacked != r->packedPackage) {
            r->warnings.push_back(
                tr("the quiz package was packed differently (another packer, or spare bytes "
                   "after the stream); a rebuild packs the same content into other bytes"));
        }
    }
    compareExtrasWithRebuild(r);
    if (!r->hasCodeTable) {
        return;
    }
    std::vector<uint8_t> codes = codeTableBytes(*r->quiz);
    if (codes != r->codeTable) {
        r->warnings.push_back(
            tr("the code table will not be rebuilt byte for byte (lines beyond the question "
               "count, a line ending other than CR LF, or a zero byte in a code); the rebuilt "
               "quiz shows the same codes"));
    } else if (lzwPack(codes) != r->packedCodes) {
        r->warnings.push_back(
            tr("the code table was packed differently (another packer, or spare bytes after the "
               "stream); a rebuild packs the same content into other bytes"));
    }
}

// "PATCH" 106 is optional; one the player cannot read changes nothing of the quiz.
void readExtras(QuizReading* r) {
    if (!r->hasExtras) {
        return;
    }
    try {
        r->extras = lzwUnpack(r->packedExtras);
    } catch (const PackError& e) {
        r->warnings.push_back(
            tr("\"PATCH\" 106 (accepted forms and grading) does not unpack ({result}): the "
               "player says \"Erreur dans les r\u00e9glages de correction\" and grades exactly, "
               "with the program's own link; a rebuild leaves it out",
               {{"result", e.result}}));
        r->hasExtras = false;
        return;
    }
    ExtrasProblem problem =
        readGradingExtras(r->extras.data(), static_cast<int32_t>(r->extras.size()), r->quiz.get());
    if (problem != EXTRAS_OK) {
        r->warnings.push_back(
            tr("\"PATCH\" 106 (accepted forms and grading) is malformed: {problem}: the player "
               "says \"Erreur dans les r\u00e9glages de correction\" and grades exactly, with the "
               "program's own link; a rebuild leaves it out",
               {{"problem", describeExtrasProblem(problem)}}));
        r->hasExtras = false;
    }
}

void readContent(QuizReading* r) {
    try {
        r->package = lzwUnpack(r->packedPackage);
    } catch (const PackError& e) {
        throw QuizReadError(tr("{file}: the quiz package (\"PATCH\" 104) does not unpack: "
                               "{result}; the player would show \"Erreur dans le d\u00e9cryptage "
                               "des reponses\" and an empty quiz",
                               {{"file", r->source}, {"result", e.result}}),
                            true);
    }
    r->quiz = makeEmptyQuiz();
    uint32_t problems =
        readPackage(r->package.data(), static_cast<int32_t>(r->package.size()), r->quiz.get());
    if (problems != CONTENT_OK) {
        r->malformed = true;
        r->warnings.push_back(tr("the quiz package is malformed: {problems}",
                                 {{"problems", describeProblems(problems)}}));
    }
    bool codesWarned = r->codesEmpty;
    if (r->hasCodeTable) {
        try {
            r->codeTable = lzwUnpack(r->packedCodes);
        } catch (const PackError& e) {
            // The player carries on without codes; so does the reading.
            r->warnings.push_back(tr("the code table (\"PATCH\" 105) does not unpack ({result}): "
                                     "the player shows \"Erreur dans le d\u00e9cryptage des "
                                     "codes\" and no codes",
                                     {{"result", e.result}}));
            r->hasCodeTable = false;
            codesWarned = true;
        }
    }
    if (r->hasCodeTable) {
        uint32_t codeProblems = readCodeTable(
            r->codeTable.data(), static_cast<int32_t>(r->codeTable.size()), r->quiz.get());
        if (codeProblems != CONTENT_OK) {
            r->warnings.push_back(tr("the code table is malformed: {problems}",
                                     {{"problems", describeProblems(codeProblems)}}));
        }
    } else if (!codesWarned) {
        r->warnings.push_back(tr("there is no code table (\"PATCH\" 105): the player shows "
                                 "\"Codes non trouv\u00e9s.\" and no codes; a rebuild adds one"));
    }
    readExtras(r);
    if (problems == CONTENT_OK) {
        compareWithRebuild(r);
    }
}

// The role an "IMG" identifier plays in this quiz, or false when the player never shows it.
bool roleOf(const Quiz& quiz, uint32_t id, MediaRole* role, int* question) {
    int count = std::min(quiz.questionCount, kMaxQuestions);
    if (id > kQuestionMediaBase && id <= kQuestionMediaBase + static_cast<uint32_t>(count)) {
        *question = static_cast<int>(id - kQuestionMediaBase);
        switch (quiz.quizType) {
        case QUIZ_PICTURE:
            *role = MediaRole::QuestionPicture;
            return true;
        case QUIZ_AUDIO:
            *role = MediaRole::AudioClip;
            return true;
        case QUIZ_VIDEO:
            *role = MediaRole::VideoClip;
            return true;
        default:
            return false;
        }
    }
    bool revealsPictures =
        quiz.revealMode == REVEAL_PICTURE || quiz.revealMode == REVEAL_TEXT_AND_PICTURE;
    if (quiz.quizType == QUIZ_PICTURE && revealsPictures && id > kRevealPictureBase &&
        id <= kRevealPictureBase + static_cast<uint32_t>(count)) {
        *question = static_cast<int>(id - kRevealPictureBase);
        *role = MediaRole::RevealPicture;
        return true;
    }
    return false;
}

void listMedia(QuizReading* r) {
    for (const ImageResource& image : r->images) {
        MediaListing m;
        m.format = sniffMediaFormat(image.data);
        m.size = image.data.size();
        if (quizpackDecodesPicture(m.format)) {
            try {
                m.pictureSize = inspectPictureHeader(image.data).size;
            } catch (const PictureError&) {
                m.pictureSize = {};
            }
        }
        if (image.name.isName() || !roleOf(*r->quiz, image.name.number, &m.role, &m.question)) {
            m.resourceId = image.name.isName() ? 0 : image.name.number;
            std::string what = "IMG " + image.name.toString() + ", " + mediaFormatName(m.format) +
                               ", " + formatSize(m.size, Language::English);

            r->unusedImages.push_back(what);
            continue;
        }
        m.resourceId = image.name.number;
        r->media.push_back(m);
    }
    std::stable_sort(
        r->media.begin(), r->media.end(), [](const MediaListing& a, const MediaListing& b) {
            return a.question != b.question ? a.question < b.question : a.resourceId < b.resourceId;
        });
}

// quizpack stores no image the player never shows: one left over while a question lacks its
// picture or clip is most likely that picture under a damaged number, and would go unseen.
void warnMisnumberedMedia(QuizReading* r) {
    if (r->unusedImages.empty()) {
        return;
    }
    constexpr size_t kNamed = 3;
    std::string unused;
    for (size_t i = 0; i < r->unusedImages.size() && i < kNamed; ++i) {
        unused += (unused.empty() ? "" : "; ") + r->unusedImages[i];
    }
    if (r->unusedImages.size() > kNamed) {
        unused += tr(" and {count} more", {{"count", r->unusedImages.size() - kNamed}});
    }
    const Quiz& quiz = *r->quiz;
    const bool asked =
        quiz.quizType == QUIZ_PICTURE || quiz.quizType == QUIZ_AUDIO || quiz.quizType == QUIZ_VIDEO;
    const bool revealed =
        quiz.quizType == QUIZ_PICTURE &&
        (quiz.revealMode == REVEAL_PICTURE || quiz.revealMode == REVEAL_TEXT_AND_PICTURE);
    enum class Missing { Picture, Clip, RevealPicture };
    const Missing what = quiz.quizType == QUIZ_PICTURE ? Missing::Picture : Missing::Clip;
    auto has = [&](uint32_t id) {
        return std::any_of(r->media.begin(), r->media.end(),
                           [&](const MediaListing& m) { return m.resourceId == id; });
    };
    auto warn = [&](int q, Missing missing, uint32_t id) {
        const MessageArguments arguments = {{"q", q}, {"id", id}, {"unused", unused}};
        switch (missing) {
        case Missing::Picture:
            r->warnings.push_back(
                tr("question {q} has no picture, IMG {id}, but the executable holds what the "
                   "player never uses ({unused}): its number may be damaged; the player, an "
                   "exported page and an extracted description show question {q} without a picture",
                   arguments));
            break;
        case Missing::Clip:
            r->warnings.push_back(
                tr("question {q} has no clip, IMG {id}, but the executable holds what the player "
                   "never uses ({unused}): its number may be damaged; the player, an exported page "
                   "and an extracted description show question {q} without a clip",
                   arguments));
            break;
        case Missing::RevealPicture:
            r->warnings.push_back(tr(
                "question {q} has no reveal picture, IMG {id}, but the executable holds what the "
                "player never uses ({unused}): its number may be damaged; the player, an "
                "exported page and an extracted description show question {q} without a reveal "
                "picture",
                arguments));
            break;
        }
    };
    for (int q = 1; q <= std::min(quiz.questionCount, kMaxQuestions); ++q) {
        if (asked && !has(kQuestionMediaBase + static_cast<uint32_t>(q))) {
            warn(q, what, kQuestionMediaBase + static_cast<uint32_t>(q));
        }
        if (revealed && !has(kRevealPictureBase + static_cast<uint32_t>(q))) {
            warn(q, Missing::RevealPicture, kRevealPictureBase + static_cast<uint32_t>(q));
        }
    }
}

} // namespace

QuizReading readPackedQuiz(const std::vector<uint8_t>& package, const std::vector<uint8_t>* codes,
                           const std::string& source, const std::vector<uint8_t>* extras) {
    QuizReading r;
    r.source = source;
    r.packedPackage = package;
    if (codes != nullptr) {
        r.packedCodes = *codes;
        r.hasCodeTable = true;
    }
    if (extras != nullptr && !extras->empty()) {
        r.packedExtras = *extras;
        r.hasExtras = true;
    }
    readContent(&r);
    return r;
}

namespace {

// The reader's reason, said once, and for a description given where a quiz executable
// belongs, the command meant.
std::string notAnExecutable(const std::string& source, const std::string& why) {
    // TRANSLATORS: the words that the messages on a file too small or without "MZ" or "PE"
    // share ("not a Windows executable: ..."), as they are translated there.
    const bool isExecutableProblem = why.find("Windows executable") != std::string::npos ||
                                     why.find(tr("Windows executable")) != std::string::npos;

    std::string message = isExecutableProblem
                              ? tr("{file}: {reason}", {{"file", source}, {"reason", why}})
                              : tr("{file}: not a readable Windows executable: {reason}",
                                   {{"file", source}, {"reason", why}});
    std::string extension = source.size() >= 5 ? source.substr(source.size() - 5) : "";
    for (char& c : extension) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (extension == ".toml") {
        message += tr("; it looks like a quiz description: 'quizpack check {file}' checks it and "
                      "'quizpack build {file}' makes its executable",
                      {{"file", source}});
    }
    return message;
}

} // namespace

QuizReading readQuizExecutable(const std::vector<uint8_t>& file, const std::string& source) {
    std::vector<Resource> resources;
    try {
        resources = readResources(file);
    } catch (const PeError& e) {
        throw QuizReadError(notAnExecutable(source, e.what()), false);
    }
    QuizReading r;
    r.source = source;
    const Resource* package = nullptr;
    const Resource* codes = nullptr;
    const Resource* extras = nullptr;
    for (const Resource& res : resources) {
        if (res.type == patchType() && res.name == ResourceId::fromNumber(kPackageResourceId)) {
            if (package == nullptr)
                package = &res;
        } else if (res.type == patchType() &&
                   res.name == ResourceId::fromNumber(kCodeTableResourceId)) {
            if (codes == nullptr)
                codes = &res;
        } else if (res.type == patchType() &&
                   res.name == ResourceId::fromNumber(kGradingExtrasResourceId)) {
            if (extras == nullptr)
                extras = &res;
        } else if (res.type == imageType()) {
            r.images.push_back(ImageResource{res.name, res.data});
        }
    }
    if (package == nullptr || package->data.empty()) {
        throw QuizReadError(
            package ? tr("{file}: its quiz package (\"PATCH\" 104) is empty, so it carries no quiz "
                         "of its own (the player would show its built-in fallback quiz)",
                         {{"file", source}})
                    : tr("{file}: has no quiz package (\"PATCH\" 104), so it carries no quiz of "
                         "its own (the player would show its built-in fallback quiz)",
                         {{"file", source}}),
            false);
    }
    r.packedPackage = package->data;
    if (codes != nullptr && codes->data.empty()) {
        r.codesEmpty = true;
        r.warnings.push_back(tr("the code table (\"PATCH\" 105) is empty: the player shows "
                                "\"Codes non renseign\u00e9s.\" and no codes; a rebuild fills it"));
    } else if (codes != nullptr) {
        r.packedCodes = codes->data;
        r.hasCodeTable = true;
    }
    if (extras != nullptr && extras->data.empty()) {
        r.warnings.push_back(tr("\"PATCH\" 106 is empty: the player reads nothing from it and "
                                "grades exactly; a rebuild leaves it out"));
    } else if (extras != nullptr) {
        r.packedExtras = extras->data;
        r.hasExtras = true;
    }
    readContent(&r);
    listMedia(&r);
    warnMisnumberedMedia(&r);
    return r;
}

const char* describeExtrasProblem(ExtrasProblem problem) {
    switch (problem) {
    case EXTRAS_OK:
        return tr("none");
    case EXTRAS_UNKNOWN_VERSION:
        return tr("its layout version is not 1");
    case EXTRAS_BAD_TOLERANCES:
        return tr("its tolerance byte has bits beyond the three tolerances");
    case EXTRAS_BAD_LINK:
        return tr("its link is neither absent nor an http:// or https:// address");
    case EXTRAS_TRUNCATED:
        return tr("it ends before its counts say it should");
    case EXTRAS_BAD_FIELD:
        return tr("an answer field index is outside the quiz or out of order");
    case EXTRAS_BAD_FORM:
        return tr("a form count is outside 1..7, or a form is empty, over 259 bytes or holds NUL");
    case EXTRAS_TRAILING_BYTES:
        return tr("bytes follow its last entry");
    case EXTRAS_OUT_OF_MEMORY:
        return tr("memory ran out");
    }
    return tr("unknown problem");
}

bool startsLikeExecutable(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[2] = {};
    return in.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

const std::vector<uint8_t>& imageData(const QuizReading& reading, uint32_t resourceId) {
    for (const ImageResource& i : reading.images) {
        if (!i.name.isName() && i.name.number == resourceId) {
            return i.data;
        }
    }
    static const std::vector<uint8_t> kNone;
    return kNone;
}
