// The two packed "PATCH" resources of a quiz: 104, the quiz package, and 105, the code
// table, each laid out by content/package.h and packed with the LZW block codec.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quizpack/common/quizpack_error.h"
#include "content/quiz.h"
#include "resources/resource.h"

// The two "PATCH" identifiers, as quizpack's unsigned identifiers.
constexpr uint32_t kPackageResourceId = IDR_QUIZ_PACKAGE;
constexpr uint32_t kCodeTableResourceId = IDR_CODE_TABLE;

// The codec refused the bytes. `result` names the codec's result ("LZW_TOO_LARGE: ..."),
// what() also the step that failed ("packing failed: LZW_TOO_LARGE: ..."). Exit code 1.
class PackError : public QuizpackError {
  public:
    PackError(const char* step, const std::string& result)
        : QuizpackError(kExitCodecFailure, std::string(step) + " failed: " + result),
          result(result) {}
    std::string result;
};

struct PackedQuiz {
    std::vector<uint8_t> package;   // "PATCH" 104
    std::vector<uint8_t> codeTable; // "PATCH" 105
    size_t packageLength = 0;       // unpacked lengths, for reports
    size_t codeTableLength = 0;
};

// The code table quizpack packs: layOutCodeTable, except that a quiz without questions
// gets one empty line, because the codec refuses empty input and the player would show
// "Codes non renseignés." for an empty resource (it reads no line of it either way).
std::vector<uint8_t> codeTableBytes(const Quiz& quiz);

// Lays out and packs both resources. Throws PackError when the codec fails.
PackedQuiz packQuiz(const Quiz& quiz);

// lzwEncode / lzwDecode on vectors; throw PackError with the codec's result name.
std::vector<uint8_t> lzwPack(const std::vector<uint8_t>& plain);
std::vector<uint8_t> lzwUnpack(const std::vector<uint8_t>& packed);
