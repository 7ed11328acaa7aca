// The one in-memory quiz and its question list.
#pragma once

#include <cstdint>

constexpr int kTextCapacity = 260; // 259 characters and the terminator
constexpr int kMaxQuestions = 90;
constexpr int kReservedTableSize = 260;

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

struct QuestionNode {
    char answer1[kTextCapacity];
    char answer2[kTextCapacity];
    char questionText[kTextCapacity];
    char revealText[kTextCapacity];
    QuestionNode* prev;
    QuestionNode* next;
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
};

// Prepares a zero-filled Quiz: empty list, reveal mode 2, reserved table cleared.
void initQuiz(Quiz* quiz);

// Appends a node holding copies of the three texts (each cut to 259 bytes).
// Returns the node, or null when no memory was available (the list is then unchanged).
QuestionNode* appendQuestion(Quiz* quiz, const char* answer1, const char* answer2,
                             const char* questionText);

// The node of question k+1; the last node when the list is shorter; null on an empty list.
QuestionNode* questionAt(const Quiz* quiz, int k);

// Frees every node and empties the list; other fields are left alone.
void freeQuestions(Quiz* quiz);

// Copies src into a 260-byte text, cutting it to 259 bytes. Never writes past dst[259].
void copyText(char* dst, const char* src);
