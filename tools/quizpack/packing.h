// The two packed "PATCH" resources of a quiz: 104, the quiz package, and 105, the code
// table, each laid out by content/package.h and packed with the LZW block codec.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "content/quiz.h"
#include "resources/resource.h"

// The two "PATCH" identifiers, as quizpack's unsigned identifiers.
constexpr uint32_t kPackageResourceId = IDR_QUIZ_PACKAGE;
constexpr uint32_t kCodeTableResourceId = IDR_CODE_TABLE;

// The codec refused the bytes; what() names the codec's result ("LZW_TOO_LARGE", ...).
class PackError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
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
