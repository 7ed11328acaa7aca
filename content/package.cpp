#include "content/package.h"

#include <cstring>

namespace {

// Steps over an end byte (and, for a code line, the unexamined byte after it) without
// ever leaving the bytes: a table whose last CR is its last byte is still well-formed.
void stepOver(ByteCursor* cursor, int32_t count) {
    int32_t left = cursor->length - cursor->position;
    cursor->position += count < left ? count : left;
}

bool readByte(ByteCursor* cursor, uint8_t* value) {
    if (cursor->position >= cursor->length) {
        return false;
    }
    *value = cursor->bytes[cursor->position++];
    return true;
}

// A whole "|" field. A field the bytes cut off is dropped rather than kept half-read:
// a partial answer would make its question unsolvable without saying why.
uint32_t takeField(ByteCursor* cursor, char* text) {
    uint32_t problems = readField(cursor, kFieldEnd, text);
    if (problems & CONTENT_TRUNCATED) {
        text[0] = '\0';
    } else {
        stepOver(cursor, 1);
    }
    return problems;
}

uint32_t readHeaderTexts(ByteCursor* cursor, Quiz* quiz) {
    char* texts[] = {quiz->title, quiz->creator, quiz->explanation, quiz->answerLabel1,
                     quiz->answerLabel2};
    uint32_t problems = CONTENT_OK;
    for (char* text : texts) {
        problems |= takeField(cursor, text);
        if (problems & CONTENT_TRUNCATED) {
            break;
        }
    }
    return problems;
}

// Reads all `declared` questions so that the reveal byte and colour are found where the
// package put them, but keeps only the first 90: the code slots, control identifiers and
// video files of the player are sized for 90. After a failed allocation nothing more is
// appended, so node k still holds question k+1.
uint32_t readQuestions(ByteCursor* cursor, int32_t declared, Quiz* quiz) {
    uint32_t problems = CONTENT_OK;
    bool appending = true;
    char answer1[kTextCapacity];
    char answer2[kTextCapacity];
    char questionText[kTextCapacity];
    for (int32_t q = 0; q < declared; ++q) {
        uint32_t found = takeField(cursor, answer1);
        answer2[0] = '\0';
        if (!(found & CONTENT_TRUNCATED) && quiz->answersPerQuestion == 2) {
            found |= takeField(cursor, answer2);
        }
        if (!(found & CONTENT_TRUNCATED)) {
            found |= takeField(cursor, questionText);
        }
        problems |= found;
        if (found & CONTENT_TRUNCATED) {
            break;
        }
        if (appending && quiz->questionCount < kMaxQuestions) {
            if (appendQuestion(quiz, answer1, answer2, questionText) != nullptr) {
                ++quiz->questionCount;
            } else {
                problems |= CONTENT_OUT_OF_MEMORY;
                appending = false;
            }
        }
    }
    return problems;
}

// Reveal fields go to the built nodes in order; those of questions that were not kept are
// read and dropped, never written over the last node.
uint32_t readRevealTexts(ByteCursor* cursor, int32_t declared, Quiz* quiz) {
    int fieldsPerQuestion = 0;
    if (quiz->revealMode == REVEAL_TEXT || quiz->revealMode == REVEAL_ALL_TEXTS) {
        fieldsPerQuestion = 1;
    } else if (quiz->revealMode == REVEAL_TEXT_AND_PICTURE) {
        fieldsPerQuestion = 2;
    }
    uint32_t problems = CONTENT_OK;
    char dropped[kTextCapacity];
    QuestionNode* node = quiz->head;
    for (int32_t q = 0; q < declared && fieldsPerQuestion > 0; ++q) {
        problems |= takeField(cursor, node != nullptr ? node->revealText : dropped);
        if (fieldsPerQuestion == 2 && !(problems & CONTENT_TRUNCATED)) {
            problems |= takeField(cursor, dropped);
        }
        if (problems & CONTENT_TRUNCATED) {
            break;
        }
        if (node != nullptr) {
            node = node->next;
        }
    }
    return problems;
}

void appendText(char* text, size_t capacity, size_t* used, const char* more) {
    while (*more != '\0' && *used + 1 < capacity) {
        text[(*used)++] = *more++;
    }
    text[*used] = '\0';
}

} // namespace

uint32_t readField(ByteCursor* cursor, uint8_t endByte, char* text) {
    uint32_t problems = CONTENT_OK;
    int32_t stored = 0;
    while (cursor->position < cursor->length) {
        uint8_t byte = cursor->bytes[cursor->position];
        if (byte == endByte) {
            text[stored] = '\0';
            return problems;
        }
        ++cursor->position;
        if (byte == 0) {
            continue;
        }
        if (stored < kTextCapacity - 1) {
            text[stored++] = static_cast<char>(byte);
        } else {
            problems |= CONTENT_TEXT_TOO_LONG;
        }
    }
    text[stored] = '\0';
    return problems | CONTENT_TRUNCATED;
}

uint32_t readPackage(const uint8_t* bytes, int32_t length, Quiz* quiz) {
    ByteCursor cursor = {bytes, bytes != nullptr && length > 0 ? length : 0, 0};
    // What a package too short to say otherwise gets: a text quiz with nothing to reveal.
    quiz->quizType = QUIZ_TEXT;
    quiz->questionCount = 0;
    quiz->answersPerQuestion = 1;
    quiz->revealMode = REVEAL_NOTHING;
    quiz->backgroundColour = kMissingColour;
    if (cursor.length < 4) {
        return CONTENT_TRUNCATED;
    }

    uint32_t problems = CONTENT_OK;
    uint8_t typeByte = bytes[1];
    if (typeByte >= 1 && typeByte <= 4) {
        quiz->quizType = typeByte - 1;
    } else {
        problems |= CONTENT_BAD_QUIZ_TYPE;
    }
    int32_t declared = bytes[2];
    if (declared > kMaxQuestions) {
        problems |= CONTENT_TOO_MANY_QUESTIONS;
    }
    // Only 2 makes the reader expect a second answer field, so any other byte lays out
    // like 1.
    uint8_t answersByte = bytes[3];
    if (answersByte == 2) {
        quiz->answersPerQuestion = 2;
    } else if (answersByte != 1) {
        problems |= CONTENT_BAD_ANSWER_COUNT;
    }
    cursor.position = 4;

    problems |= readHeaderTexts(&cursor, quiz);
    if (problems & CONTENT_TRUNCATED) {
        return problems;
    }
    problems |= readQuestions(&cursor, declared, quiz);
    if (problems & CONTENT_TRUNCATED) {
        return problems;
    }
    uint8_t mode = 0;
    if (!readByte(&cursor, &mode)) {
        return problems | CONTENT_TRUNCATED;
    }
    quiz->revealMode = mode;
    problems |= readRevealTexts(&cursor, declared, quiz);
    if (problems & CONTENT_TRUNCATED) {
        return problems;
    }
    if (cursor.length - cursor.position < 3) {
        return problems | CONTENT_TRUNCATED;
    }
    const uint8_t* rgb = bytes + cursor.position;
    quiz->backgroundColour = rgb[0] | (rgb[1] << 8) | (static_cast<uint32_t>(rgb[2]) << 16);
    return problems;
}

uint32_t readCodeTable(const uint8_t* bytes, int32_t length, Quiz* quiz) {
    ByteCursor cursor = {bytes, bytes != nullptr && length > 0 ? length : 0, 0};
    uint32_t problems = CONTENT_OK;
    int32_t lines = quiz->questionCount;
    if (lines > kMaxQuestions) {
        lines = kMaxQuestions;
        problems |= CONTENT_TOO_MANY_QUESTIONS;
    }
    for (int32_t i = 0; i < lines; ++i) {
        uint32_t found = readField(&cursor, kCodeLineEnd, quiz->codes[i]);
        problems |= found;
        if (found & CONTENT_TRUNCATED) {
            // Half a code would be a wrong code: show none for this score and above.
            quiz->codes[i][0] = '\0';
            break;
        }
        stepOver(&cursor, 2);
    }
    return problems;
}

void fillFallbackQuiz(Quiz* quiz) {
    copyText(quiz->title, "Nom du quizz");
    copyText(quiz->creator, "Createur quizz");
    copyText(quiz->explanation, "Explications du quizz");
    copyText(quiz->answerLabel1, "Pr\xE9nom - Nom");
    copyText(quiz->answerLabel2, "Manga / Anime");
    quiz->questionCount = 0;
    quiz->answersPerQuestion = 1;
    quiz->revealMode = REVEAL_TEXT_AND_PICTURE;
    quiz->quizType = QUIZ_PICTURE;
    if (appendQuestion(quiz, "vrel", "titi", "titi") == nullptr) {
        return;
    }
    ++quiz->questionCount;
    if (appendQuestion(quiz, "tombir", "plouf", "titi") != nullptr) {
        ++quiz->questionCount;
    }
}

namespace {

void putText(std::vector<uint8_t>* out, const char* text, uint8_t endByte) {
    size_t n = strnlen(text, kTextCapacity - 1);
    out->insert(out->end(), text, text + n);
    out->push_back(endByte);
}

} // namespace

std::vector<uint8_t> layOutPackage(const Quiz& quiz) {
    std::vector<uint8_t> out;
    out.push_back(0);
    out.push_back(static_cast<uint8_t>(quiz.quizType + 1));
    out.push_back(static_cast<uint8_t>(quiz.questionCount));
    out.push_back(static_cast<uint8_t>(quiz.answersPerQuestion));
    for (const char* text :
         {quiz.title, quiz.creator, quiz.explanation, quiz.answerLabel1, quiz.answerLabel2}) {
        putText(&out, text, kFieldEnd);
    }
    // A list shorter than its count is written with empty questions so that the bytes
    // still match the count byte.
    const QuestionNode* node = quiz.head;
    for (int32_t q = 0; q < quiz.questionCount; ++q) {
        putText(&out, node != nullptr ? node->answer1 : "", kFieldEnd);
        if (quiz.answersPerQuestion == 2) {
            putText(&out, node != nullptr ? node->answer2 : "", kFieldEnd);
        }
        putText(&out, node != nullptr ? node->questionText : "", kFieldEnd);
        node = node != nullptr ? node->next : nullptr;
    }
    out.push_back(static_cast<uint8_t>(quiz.revealMode));
    bool oneField = quiz.revealMode == REVEAL_TEXT || quiz.revealMode == REVEAL_ALL_TEXTS;
    bool twoFields = quiz.revealMode == REVEAL_TEXT_AND_PICTURE;
    node = quiz.head;
    for (int32_t q = 0; q < quiz.questionCount && (oneField || twoFields); ++q) {
        putText(&out, node != nullptr ? node->revealText : "", kFieldEnd);
        if (twoFields) {
            putText(&out, "", kFieldEnd);
        }
        node = node != nullptr ? node->next : nullptr;
    }
    out.push_back(static_cast<uint8_t>(quiz.backgroundColour & 0xFF));
    out.push_back(static_cast<uint8_t>((quiz.backgroundColour >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>((quiz.backgroundColour >> 16) & 0xFF));
    return out;
}

std::vector<uint8_t> layOutCodeTable(const Quiz& quiz) {
    std::vector<uint8_t> out;
    int32_t lines = quiz.questionCount < kMaxQuestions ? quiz.questionCount : kMaxQuestions;
    for (int32_t i = 0; i < lines; ++i) {
        putText(&out, quiz.codes[i], kCodeLineEnd);
        out.push_back('\n');
    }
    return out;
}

void describeContentProblems(const char* lead, uint32_t problems, char* text, size_t capacity) {
    static const struct {
        uint32_t bit;
        const char* words;
    } kWords[] = {
        {CONTENT_TRUNCATED, "donn\xE9"
                            "es incompl\xE8tes"},
        {CONTENT_TEXT_TOO_LONG, "texte trop long"},
        {CONTENT_BAD_ANSWER_COUNT, "nombre de r\xE9ponses invalide"},
        {CONTENT_BAD_QUIZ_TYPE, "type de quizz invalide"},
        {CONTENT_TOO_MANY_QUESTIONS, "plus de 90 questions"},
        {CONTENT_OUT_OF_MEMORY, "m\xE9moire insuffisante"},
    };
    if (capacity == 0) {
        return;
    }
    size_t used = 0;
    text[0] = '\0';
    appendText(text, capacity, &used, lead);
    const char* separator = " : ";
    for (const auto& entry : kWords) {
        if (problems & entry.bit) {
            appendText(text, capacity, &used, separator);
            appendText(text, capacity, &used, entry.words);
            separator = ", ";
        }
    }
    appendText(text, capacity, &used, ".");
}
