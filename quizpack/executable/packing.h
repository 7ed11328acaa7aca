// The packed "PATCH" resources of a quiz: 104, the quiz package, 105, the code table, each
// laid out by content/package.h, and 106, the grading extras (content/grading_extras.h) of a
// quiz that has any, all packed with the LZW block codec.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quizpack/common/quizpack_error.h"
#include "content/quiz.h"
#include "resources/resource.h"

// The "PATCH" identifiers, as quizpack's unsigned identifiers.
constexpr uint32_t kPackageResourceId = IDR_QUIZ_PACKAGE;
constexpr uint32_t kCodeTableResourceId = IDR_CODE_TABLE;
constexpr uint32_t kGradingExtrasResourceId = IDR_GRADING_EXTRAS;

// The codec refused the bytes. `result` names the codec's result ("LZW_TOO_LARGE: ..."),
// what() also the step that failed ("packing failed: LZW_TOO_LARGE: ..."). Exit code 1.
std::string packStepFailure(const char* step, const std::string& result);
class PackError : public QuizpackError {
  public:
    PackError(const char* step, const std::string& result)
        : QuizpackError(kExitCodecFailure, packStepFailure(step, result)), result(result) {}

    std::string result;
};

struct PackedQuiz {
    std::vector<uint8_t> package;   // "PATCH" 104
    std::vector<uint8_t> codeTable; // "PATCH" 105
    std::vector<uint8_t> extras;    // "PATCH" 106; empty for a quiz that has none
    size_t packageLength = 0;       // unpacked lengths, for reports
    size_t codeTableLength = 0;
    size_t extrasLength = 0;
};

// The code table quizpack packs: layOutCodeTable, except that a quiz without questions
// gets one empty line, because the codec refuses empty input and the player would show
// "Codes non renseignés." for an empty resource (it reads no line of it either way).
std::vector<uint8_t> codeTableBytes(const Quiz& quiz);

// Lays out and packs the resources. Throws PackError when the codec fails.
PackedQuiz packQuiz(const Quiz& quiz);

// lzwEncode / lzwDecode on vectors; throw PackError with the codec's result name.
std::vector<uint8_t> lzwPack(const std::vector<uint8_t>& plain);
std::vector<uint8_t> lzwUnpack(const std::vector<uint8_t>& packed);
