// The one in-memory quiz and its question list.
#pragma once

#include <cstdint>

constexpr int kTextCapacity = 260; // 259 characters and the terminator
constexpr int kMaxQuestions = 90;
constexpr int kReservedTableSize = 260;
// The accepted forms of one answer, its main one (answer1 or answer2) included.
constexpr int kMaxAnswerForms = 8;

enum QuizType : int32_t {
    QUIZ_TEXT = 0,
    QUIZ_PICTURE = 1,
    QUIZ_AUDIO = 2,
    QUIZ_VIDEO = 3,
};

enum RevealMode : int32_t {
    REVEAL_NOTHING = 0,
    REVEAL_PICTURE = 1,
    REVEAL_TEXT = 2,
    REVEAL_TEXT_AND_PICTURE = 3,
    REVEAL_ALL_TEXTS = 4,
};

// Tolerances a quiz may opt in to, all off unless its "PATCH" 106 asks for them. They fold
// both texts where the grader upper-cases a to z.
enum GradingTolerance : uint32_t {
    TOLERATE_ACCENTS = 1u << 0, // an accented letter counts as its base letter; implies the next
    TOLERATE_CASE = 1u << 1,    // the accented small letters count as their capitals
    TOLERATE_QUOTES = 1u << 2,  // typographic quotes count as ' and "
};
constexpr uint32_t kAllTolerances = TOLERATE_ACCENTS | TOLERATE_CASE | TOLERATE_QUOTES;

// Which address the header's link shows and opens.
enum LinkChoice : int32_t {
    LINK_PROGRAM = 0, // the program's own address
    LINK_AUTHOR = 1,  // the quiz's `link`; an empty one hides the link
};

struct QuestionNode {
    char answer1[kTextCapacity];
    char answer2[kTextCapacity];
    char questionText[kTextCapacity];
    char revealText[kTextCapacity];
    QuestionNode* prev;
    QuestionNode* next;
    // The accepted forms of answer 1 and 2 beyond answer1 and answer2: zero-terminated texts
    // one after the other, ended by an empty one. Null when there are none; freed with the
    // node.
    char* otherForms[2];
};

struct Quiz {
    int32_t quizType;
    char title[kTextCapacity];
    char creator[kTextCapacity];
    char explanation[kTextCapacity];
    char answerLabel1[kTextCapacity];
    char answerLabel2[kTextCapacity];
    int32_t questionCount;
    int32_t answersPerQuestion;
    char codes[kMaxQuestions][kTextCapacity];
    int32_t reservedTable[kReservedTableSize];
    int32_t revealMode;
    uint32_t backgroundColour; // COLORREF: 0x00BBGGRR
    void* backgroundBrush;     // HBRUSH on Windows; null when the quiz has none
    QuestionNode* head;
    QuestionNode* tail;
    // From "PATCH" 106, when the quiz has one; zero otherwise: exact grading, own address.
    uint32_t tolerances; // GradingTolerance bits
    int32_t linkChoice;  // LinkChoice
    char link[kTextCapacity];
};

// Prepares a zero-filled Quiz: empty list, reveal mode 2, reserved table cleared.
void initQuiz(Quiz* quiz);

// Appends a node holding copies of the three texts (each cut to 259 bytes).
// Returns the node, or null when no memory was available (the list is then unchanged).
QuestionNode* appendQuestion(Quiz* quiz, const char* answer1, const char* answer2,
                             const char* questionText);

// The node of question k+1; the last node when the list is shorter; null on an empty list.
QuestionNode* questionAt(const Quiz* quiz, int k);

// Frees every node (with its other forms) and empties the list; other fields are left alone.
void freeQuestions(Quiz* quiz);

// Gives answer `a` (1 or 2) of `node` the accepted forms `forms[0..count)` beyond its main
// one, replacing any it had (none for count 0). Each is cut to 259 bytes; empty ones are
// skipped, and at most kMaxAnswerForms - 1 are kept. False, with the node unchanged, when no
// memory was available.
bool setOtherForms(QuestionNode* node, int a, const char* const* forms, int count);

// The accepted forms of answer `a` (1 or 2) of `node` into `forms`: the main answer first,
// then its other forms, pointers into the node. Returns how many (1 to kMaxAnswerForms).
int answerForms(const QuestionNode* node, int a, const char* forms[kMaxAnswerForms]);

// Copies src into a 260-byte text, cutting it to 259 bytes. Never writes past dst[259].
void copyText(char* dst, const char* src);
