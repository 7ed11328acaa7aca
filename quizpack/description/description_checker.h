// The reader behind checkDescriptionText, private to the description_*.cpp files that define
// its parts: the root table and the run (description.cpp), the questions from [[question]]
// tables or a CSV file (description_questions.cpp), their media references
// (description_media.cpp) and the checks of what the keys say together
// (description_cross_checks.cpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <toml++/toml.h>

#include "content/quiz.h"
#include "quizpack/description/csv_reader.h"
#include "quizpack/description/description.h"
#include "quizpack/description/description_values.h"
#include "quizpack/description/question_table.h"
#include "quizpack/common/messages.h"
#include "quizpack/fit/text_fit.h"

// Reads a description into the quiz it describes, key by key, then checks what the keys
// say together and the media files they name.
class DescriptionChecker : public ValueReader {
  public:
    DescriptionChecker(std::string file, std::filesystem::path folder, PictureDecoding decoding,
                       MediaExaminer examiner = nullptr)
        : ValueReader(file), decoding_(decoding), examiner_(std::move(examiner)) {
        d_.file = std::move(file);
        d_.folder = std::move(folder);
    }

    CheckResult run(std::string_view text);

  private:
    Description d_;
    PictureDecoding decoding_;
    MediaExaminer examiner_;
    bool kindKnown_ = false;
    bool revealKnown_ = false;
    bool answerCountKnown_ = false;
    int codesLine_ = 0;
    std::vector<int> codeLines_;
    size_t codesGiven_ = 0;
    int labelsLine_ = 0;
    struct Place {
        Source source;
        int line = 0;
        std::string key;
    };
    Place firstQuestionText_; // where the first question text was written
    size_t questionTexts_ = 0;

    // A value of one question as the author wrote it: in a [[question]] table, or in a cell
    // of the questions' CSV file.
    struct QuestionValue {
        const toml::node* node = nullptr;
        const CsvField* cell = nullptr;
        int line() const { return node ? lineOf(*node) : cell->line; }
    };
    // The values of one question besides its answers; absent when not given (an empty cell).
    struct QuestionValues {
        int line = 0; // its [[question]] header, or its CSV row
        std::optional<QuestionValue> text, revealText, picture, revealPicture, clip;
    };

    // Problems found while a CSV cell is read name its column too.
    class AtCell {
      public:
        AtCell(DescriptionChecker* checker, const CsvField* cell)
            : checker_(checker), saved_(checker->source()) {
            checker->setSource({saved_.file, cell ? cell->column : 0});
        }
        ~AtCell() { checker_->setSource(saved_); }
        AtCell(const AtCell&) = delete;
        AtCell& operator=(const AtCell&) = delete;

      private:
        DescriptionChecker* checker_;
        Source saved_;
    };

    static std::string codeKey(size_t i) { return "codes[" + std::to_string(i + 1) + "]"; }
    static std::string codeName(size_t i) {
        // TRANSLATORS: "solved" is said of questions; the English is the same for every n.
        return trn("the code for {n} solved", "the code for {n} solved", i + 1);
    }
    bool showsPictures() const { return kindKnown_ && d_.quizType == QUIZ_PICTURE; }
    std::string kindText() const { return kindKnown_ ? inQuotes(quizKindName(d_.quizType)) : ""; }

    // description.cpp
    CheckResult finish();
    void readRoot(const toml::table& root);
    void warnIfCutOff(int line, const std::string& key, const std::string& text, const TextBox& box,
                      const std::string& what);
    std::string shownText(const toml::table& root, const char* name, const TextBox& box,
                          const std::string& what);
    void readKind(const toml::table& root);
    void readReveal(const toml::table& root);
    void readAnswerCount(const toml::table& root);
    void readBackground(const toml::table& root);
    void readLabels(const toml::table& root);
    void readCodes(const toml::table& root);
    void readLink(const toml::table& root);
    void readGrading(const toml::table& root);

    // description_questions.cpp
    std::string valueText(const QuestionValue& value, const std::string& key, unsigned rules,
                          const std::string& what);
    void readQuestions(const toml::table& root);
    void readTableQuestion(const toml::table& table, int q);
    void readQuestion(const QuestionValues& values, int q, QuestionEntry entry);
    void readRevealText(const QuestionValue& value, int q, QuestionEntry* entry);
    void readAnswers(const toml::table& table, int q, QuestionEntry* entry);
    void readQuestionFile(const toml::node& node);
    void readQuestionRows(const QuestionTable& table);
    void readRowQuestion(const QuestionRow& row, int q);
    std::string cellAnswer(const QuestionRow& row, int column, int q, const std::string& what);

    // description_media.cpp
    void readMedia(const QuestionValues& values, int q);
    void readQuestionPicture(const QuestionValues& values, int q);
    void readRevealPicture(const QuestionValues& values, int q);
    void readClip(const QuestionValues& values, int q);
    void addMedia(const QuestionValue& value, int q, const char* name, MediaRole role,
                  uint32_t resourceId);
    bool refusedControlCharacter(const QuestionValue& value, const std::string& key,
                                 const std::string& given);

    // description_cross_checks.cpp
    void crossCheck(const toml::table& root);
    void warnMissingPieces(const toml::table& root);
    void checkPackageSize(const toml::table& root);
};
