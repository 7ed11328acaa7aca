// The answers file's format, free of any Windows call so that it is checked natively.
#include "progress/answers_file.h"

#include <cstring>

namespace {

constexpr int kMaxAnswerLength = kAnswerTextCapacity - 1;
const char kEmptyFieldMark[] = "*";

} // namespace

void keepBaseName(char* path) {
    const char* lastSeparator = strrchr(path, '\\');
    if (lastSeparator != nullptr) {
        memmove(path, lastSeparator + 1, strlen(lastSeparator + 1) + 1);
    }
}

bool answersFileName(const char* programName, char* name, size_t capacity) {
    size_t length = strlen(programName);
    // A name shorter than the three letters has nothing to overwrite: writing them would
    // start before the name. Such a program simply keeps no answers.
    if (length < 3 || length + 1 > capacity) {
        if (capacity > 0) {
            name[0] = '\0';
        }
        return false;
    }
    memcpy(name, programName, length + 1);
    memcpy(name + length - 3, "txt", 3);
    return true;
}

int answerFieldCount(int answersPerQuestion, int questionCount) {
    if (answersPerQuestion <= 0 || questionCount <= 0) {
        return 0;
    }
    long long count = static_cast<long long>(answersPerQuestion) * questionCount;
    return count > kMaxAnswerFields ? kMaxAnswerFields : static_cast<int>(count);
}

int formatAnswerLine(const char* fieldText, char* line) {
    const char* text = fieldText[0] == '\0' ? kEmptyFieldMark : fieldText;
    size_t length = strnlen(text, kMaxAnswerLength);
    memcpy(line, text, length);
    line[length] = '\r';
    line[length + 1] = '\n';
    line[length + 2] = '\0';
    return static_cast<int>(length + 2);
}

bool readAnswerLine(FILE* file, char* text) {
    // Character by character rather than fgets: a stray zero byte in the file then cannot
    // hide where a line ended, and each call still consumes exactly one line.
    size_t length = 0;
    bool sawLine = false;
    int c;
    while ((c = getc(file)) != EOF) {
        sawLine = true;
        if (c == '\n') {
            break;
        }
        if (length < kMaxAnswerLength) {
            text[length++] = static_cast<char>(c); // the rest of a longer line is dropped
        }
    }
    text[length] = '\0';
    if (length > 0 && text[length - 1] == '\r') {
        text[--length] = '\0';
    }
    if (strcmp(text, kEmptyFieldMark) == 0) {
        text[0] = '\0';
    }
    return sawLine;
}
