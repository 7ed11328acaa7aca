// readCodeTable on arbitrary bytes. The first input byte is the question count the package
// gave (0 to 255, so counts above 90 are tried too); the rest is the unpacked table.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "content/package.h"
#include "content/quiz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 200000) {
        return 0;
    }
    auto* quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    initQuiz(quiz);
    quiz->questionCount = data[0];
    // A separate allocation of exactly the table's length, so a read past it is caught.
    size_t length = size - 1;
    auto* table = static_cast<uint8_t*>(malloc(length > 0 ? length : 1));
    memcpy(table, data + 1, length);
    readCodeTable(table, static_cast<int32_t>(length), quiz);
    for (int i = 0; i < kMaxQuestions; ++i) {
        if (memchr(quiz->codes[i], '\0', kTextCapacity) == nullptr) {
            __builtin_trap();
        }
    }
    // Nothing past the 90 codes: the table after them stays as initQuiz left it.
    for (int i = 0; i < kReservedTableSize; ++i) {
        if (quiz->reservedTable[i] != 0) {
            __builtin_trap();
        }
    }
    free(table);
    free(quiz);
    return 0;
}
