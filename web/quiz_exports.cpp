// The exported web page's quiz, read by the player's own loader from the packed "PATCH"
// bytes the page carries, exactly as a quiz executable holds them. The page asks for each
// text it shows and for each field's verdict; the answers, their forms and the codes stay
// inside the module and leave it only as verdicts and as the code a score has earned.
#include <cstdlib>
#include <cstring>

#include "checking/grader.h"
#include "checking/rewards.h"
#include "content/package_loader.h"

namespace {

Quiz gQuiz;
bool gQuizOpened = false;
bool gPackageRead = false; // whether the quiz is its package's, not the fallback or none
uint8_t* gPacked = nullptr;
char gTyped[kTextCapacity];
// The loader's messages, one a line, as the player would have shown them in turn.
char gMessages[1024];
size_t gMessagesLength = 0;
const char kEmpty[] = "";

void collectMessage(const char* text, const char*) {
    for (const char* c = text; *c != '\0' && gMessagesLength + 2 < sizeof gMessages; ++c) {
        gMessages[gMessagesLength++] = *c;
    }
    gMessages[gMessagesLength++] = '\n';
    gMessages[gMessagesLength] = '\0';
}

PatchBytes patchAt(int at, int size) {
    if (size < 0) {
        return PatchBytes{false, nullptr, 0};
    }
    return PatchBytes{true, size > 0 ? gPacked + at : nullptr, size};
}

const QuestionNode* questionOf(int q) {
    return q >= 1 && q <= gQuiz.questionCount ? questionAt(&gQuiz, q - 1) : nullptr;
}

int perQuestion() {
    return gQuiz.answersPerQuestion == 2 ? 2 : 1;
}

// The accepted forms of field k (1..N), or 0 for a field the quiz does not have.
int fieldForms(int k, const char* forms[kMaxAnswerForms]) {
    const QuestionNode* node = k >= 1 ? questionOf((k - 1) / perQuestion() + 1) : nullptr;
    return node != nullptr ? answerForms(node, (k - 1) % perQuestion() + 1, forms) : 0;
}

} // namespace

extern "C" {

// The codec keeps its tables per thread and frees them when a thread ends. The page's module
// has one thread, which never ends, so there is nothing to register (and wasi-libc has no
// thread support to register it with).
int __cxa_thread_atexit(void (*)(void*), void*, void*) {
    return 0;
}

// Room for the packed resources, one after the other; null when there is no memory.
__attribute__((export_name("packedBuffer"))) uint8_t* packedBuffer(int size) {
    free(gPacked);
    gPacked = static_cast<uint8_t*>(malloc(size > 0 ? static_cast<size_t>(size) : 1));
    return gPacked;
}

// Reads the quiz from the packed buffer: the package, the code table and the grading extras
// at their offsets, a size of -1 for one the page does not carry. Returns the loader's
// messages, one a line (empty when there were none).
__attribute__((export_name("openQuiz"))) const char*
openQuiz(int packageAt, int packageSize, int codesAt, int codesSize, int extrasAt, int extrasSize) {
    if (gQuizOpened) {
        freeQuestions(&gQuiz);
    }
    memset(&gQuiz, 0, sizeof gQuiz);
    initQuiz(&gQuiz);
    gQuizOpened = true;
    gMessagesLength = 0;
    gMessages[0] = '\0';
    if (gPacked == nullptr) {
        packageSize = codesSize = extrasSize = -1;
    }
    gPackageRead =
        loadQuizFromPatches(&gQuiz, patchAt(packageAt, packageSize), patchAt(codesAt, codesSize),
                            patchAt(extrasAt, extrasSize), collectMessage);
    free(gPacked);
    gPacked = nullptr;
    return gMessages;
}

// 0 quiz type, 1 question count, 2 answers per question, 3 reveal mode, 4 background colour
// (0x00BBGGRR), 5 whether that colour is the package's (1) or the quiz has none (0: the
// fallback quiz, or a package that did not unpack), 6 link choice.
__attribute__((export_name("quizNumber"))) int quizNumber(int which) {
    switch (which) {
    case 0:
        return gQuiz.quizType;
    case 1:
        return gQuiz.questionCount;
    case 2:
        return perQuestion();
    case 3:
        return gQuiz.revealMode;
    case 4:
        return static_cast<int>(gQuiz.backgroundColour);
    case 5:
        return gPackageRead ? 1 : 0;
    case 6:
        return gQuiz.linkChoice;
    default:
        return 0;
    }
}

// 0 title, 1 creator, 2 explanation, 3 and 4 the answer labels, 5 the author's own link.
__attribute__((export_name("quizText"))) const char* quizText(int which) {
    const char* texts[] = {gQuiz.title,        gQuiz.creator,      gQuiz.explanation,
                           gQuiz.answerLabel1, gQuiz.answerLabel2, gQuiz.link};
    return which >= 0 && which < 6 ? texts[which] : kEmpty;
}

__attribute__((export_name("questionText"))) const char* questionText(int q) {
    const QuestionNode* node = questionOf(q);
    return node != nullptr ? node->questionText : kEmpty;
}

__attribute__((export_name("revealText"))) const char* revealText(int q) {
    const QuestionNode* node = questionOf(q);
    return node != nullptr ? node->revealText : kEmpty;
}

// Where the page writes a field's text before asking for its verdict.
__attribute__((export_name("fieldText"))) char* fieldText() {
    return gTyped;
}

// The verdict of field k (1..N) holding fieldText(), as the player grades it.
__attribute__((export_name("gradeField"))) const char* gradeField(int k) {
    const char* forms[kMaxAnswerForms];
    const int count = fieldForms(k, forms);
    return gradeAnswer(forms, count, gTyped, gQuiz.tolerances);
}

// 1 when field k holds one of its answer's accepted forms, as the reveal check compares.
__attribute__((export_name("fieldMatches"))) int fieldMatches(int k) {
    const char* forms[kMaxAnswerForms];
    const int count = fieldForms(k, forms);
    return count > 0 && matchesAnyForm(forms, count, gTyped, gQuiz.tolerances) ? 1 : 0;
}

// The code box's text for `solved` questions: its code, or six blanks for none.
__attribute__((export_name("codeText"))) const char* codeText(int solved) {
    return codeForScore(&gQuiz, solved);
}
}
