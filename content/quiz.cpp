#include "content/quiz.h"

#include <cstdlib>
#include <cstring>

void copyText(char* dst, const char* src) {
    size_t n = strnlen(src, kTextCapacity - 1);
    memcpy(dst, src, n);
    dst[n] = '\0';
}

void initQuiz(Quiz* quiz) {
    quiz->head = nullptr;
    quiz->tail = nullptr;
    quiz->revealMode = REVEAL_TEXT;
    memset(quiz->reservedTable, 0, sizeof quiz->reservedTable);
}

QuestionNode* appendQuestion(Quiz* quiz, const char* answer1, const char* answer2,
                             const char* questionText) {
    // calloc, not new: the player throws no exceptions and a failed allocation must
    // simply leave the list as it was.
    auto* node = static_cast<QuestionNode*>(calloc(1, sizeof(QuestionNode)));
    if (node == nullptr) {
        return nullptr;
    }
    copyText(node->answer1, answer1);
    copyText(node->answer2, answer2);
    copyText(node->questionText, questionText);

    node->prev = quiz->tail;
    if (quiz->tail != nullptr) {
        quiz->tail->next = node;
    }
    if (quiz->head == nullptr) {
        quiz->head = node;
    }
    quiz->tail = node;
    return node;
}

QuestionNode* questionAt(const Quiz* quiz, int k) {
    QuestionNode* node = quiz->head;
    if (node == nullptr) {
        return nullptr;
    }
    // A shorter list yields its last node: callers asking past the end still get a
    // question to read rather than nothing.
    for (int i = 0; i < k && node->next != nullptr; ++i) {
        node = node->next;
    }
    return node;
}

void freeQuestions(Quiz* quiz) {
    QuestionNode* node = quiz->head;
    while (node != nullptr) {
        QuestionNode* next = node->next;
        free(node->otherForms[0]);
        free(node->otherForms[1]);
        free(node);
        node = next;
    }
    quiz->head = nullptr;
    quiz->tail = nullptr;
}

bool setOtherForms(QuestionNode* node, int a, const char* const* forms, int count) {
    const char* kept[kMaxAnswerForms - 1];
    size_t lengths[kMaxAnswerForms - 1];
    int keptCount = 0;
    size_t bytes = 1; // the empty text that ends them
    for (int i = 0; i < count && keptCount < kMaxAnswerForms - 1; ++i) {
        size_t n = strnlen(forms[i], kTextCapacity - 1);
        if (n > 0) {
            kept[keptCount] = forms[i];
            lengths[keptCount++] = n;
            bytes += n + 1;
        }
    }
    char* block = nullptr;
    if (keptCount > 0) {
        block = static_cast<char*>(malloc(bytes));
        if (block == nullptr) {
            return false;
        }
        char* at = block;
        for (int i = 0; i < keptCount; ++i) {
            memcpy(at, kept[i], lengths[i]);
            at[lengths[i]] = '\0';
            at += lengths[i] + 1;
        }
        *at = '\0';
    }
    char** slot = &node->otherForms[a == 2 ? 1 : 0];
    free(*slot);
    *slot = block;
    return true;
}

int answerForms(const QuestionNode* node, int a, const char* forms[kMaxAnswerForms]) {
    forms[0] = a == 2 ? node->answer2 : node->answer1;
    int count = 1;
    for (const char* at = node->otherForms[a == 2 ? 1 : 0];
         at != nullptr && *at != '\0' && count < kMaxAnswerForms; at += strlen(at) + 1) {
        forms[count++] = at;
    }
    return count;
}
