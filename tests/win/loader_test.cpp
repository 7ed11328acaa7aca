// loadQuiz against real "PATCH" resources: each row writes resources 104 and 105 (packed,
// empty, corrupt or absent) into a copy of this program, loads the copy as data and checks
// the messages shown, their order and the Quiz that results.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "content/lzw.h"
#include "content/package.h"
#include "content/package_loader.h"
#include "content/quiz.h"
#include "resources/resource.h"
#include "tests/support/programs.h"
#include "tests/support/quiz_executable_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/temp_folder.h"

using namespace test_support;

namespace {

struct Message {
    std::string text;
    std::string caption;
};

std::vector<Message> gShown;

void recordMessage(const char* text, const char* caption) {
    gShown.push_back({text, caption});
}

enum ResourceKind {
    RESOURCE_ABSENT,
    RESOURCE_EMPTY,  // present with size 0
    RESOURCE_PACKED, // `bytes` packed with lzwEncode
    RESOURCE_RAW,    // `bytes` as they are (not a valid stream)
};

struct Resource {
    ResourceKind kind;
    std::vector<uint8_t> bytes;
};

const uint32_t kRed = 0x000000FF;

// The quiz the rows pack: three text questions, or 120 to see the cut to 90, on red.
std::vector<uint8_t> packagePlain(int questions) {
    OwnedQuiz quiz(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_TEXT, questions));
    quiz->backgroundColour = kRed;
    return layOutPackage(*quiz.quiz);
}

std::vector<uint8_t> codesPlain(int lines) {
    std::string table;
    for (int i = 1; i <= lines; ++i) {
        table += "C" + std::to_string(i) + "\r\n";
    }
    return std::vector<uint8_t>(table.begin(), table.end());
}

// Fails to unpack by the stream's own rules: 511 as the first code gives its low byte,
// the second 511 is above the next free code.
const std::vector<uint8_t> kCorrupt = {0xFF, 0xFF, 0xFF, 0xFF};

// "PATCH" `id` as a row describes it; absent resources are simply not written. An empty
// resource is written with one byte and emptied afterwards by setSizeToZero.
void addResource(std::vector<ResourceData>* resources, int id, const Resource& resource) {
    switch (resource.kind) {
    case RESOURCE_ABSENT:
        return;
    case RESOURCE_EMPTY:
        resources->push_back({"PATCH", id, std::string(1, '\0')});
        return;
    case RESOURCE_RAW:
        resources->push_back(
            {"PATCH", id, std::string(resource.bytes.begin(), resource.bytes.end())});
        return;
    case RESOURCE_PACKED:
        resources->push_back({"PATCH", id, packed(resource.bytes)});
        return;
    }
}

// The directory entry of `dir` whose name is `name` (a string compared without case) or
// whose id is `id`: its OffsetToData (directory bit included), or -1. Offsets are relative
// to the resource section's start.
int64_t findEntry(const std::vector<uint8_t>& file, size_t root, size_t dir, const char* name,
                  WORD id) {
    if (root + dir + sizeof(IMAGE_RESOURCE_DIRECTORY) > file.size()) {
        return -1;
    }
    IMAGE_RESOURCE_DIRECTORY header;
    memcpy(&header, &file[root + dir], sizeof header);
    size_t count = header.NumberOfNamedEntries + header.NumberOfIdEntries;
    for (size_t i = 0; i < count; ++i) {
        size_t at = root + dir + sizeof header + i * sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY);
        if (at + sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY) > file.size()) {
            return -1;
        }
        IMAGE_RESOURCE_DIRECTORY_ENTRY entry;
        memcpy(&entry, &file[at], sizeof entry);
        bool match = false;
        if (entry.NameIsString && name != nullptr) {
            size_t text = root + entry.NameOffset;
            WORD length = 0;
            memcpy(&length, &file[text], sizeof length);
            match = length == strlen(name);
            for (WORD c = 0; match && c < length; ++c) {
                WORD wide = 0;
                memcpy(&wide, &file[text + 2 + 2 * c], sizeof wide);
                match = toupper(wide) == toupper(static_cast<unsigned char>(name[c]));
            }
        } else if (!entry.NameIsString && name == nullptr) {
            match = entry.Id == id;
        }
        if (match) {
            return entry.OffsetToData;
        }
    }
    return -1;
}

// Sets the recorded size of "PATCH" `id` to 0 in the executable file. Wine's UpdateResourceA
// refuses data of size 0, so a row that needs an empty resource writes one byte and then
// edits the resource directory by hand.
std::string setSizeToZero(const std::string& path, WORD id) {
    std::vector<uint8_t> file;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return lastError("CreateFileA");
    }
    file.resize(GetFileSize(handle, nullptr));
    DWORD done = 0;
    if (!ReadFile(handle, file.data(), static_cast<DWORD>(file.size()), &done, nullptr) ||
        done != file.size()) {
        CloseHandle(handle);
        return lastError("ReadFile");
    }

    std::string problem = "no resource directory";
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS64 nt;
    memcpy(&dos, file.data(), sizeof dos);
    memcpy(&nt, &file[dos.e_lfanew], sizeof nt);
    DWORD rva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    size_t sections = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                      nt.FileHeader.SizeOfOptionalHeader;
    for (WORD s = 0; s < nt.FileHeader.NumberOfSections; ++s) {
        IMAGE_SECTION_HEADER section;
        memcpy(&section, &file[sections + s * sizeof section], sizeof section);
        if (section.VirtualAddress != rva) {
            continue;
        }
        size_t root = section.PointerToRawData;
        int64_t type = findEntry(file, root, 0, "PATCH", 0);
        int64_t name = type >= 0 ? findEntry(file, root, type & 0x7FFFFFFF, nullptr, id) : -1;
        if (name < 0) {
            problem = "PATCH " + std::to_string(id) + " not in the directory";
            break;
        }
        // The first language's data entry: its Size field follows its OffsetToData.
        size_t languages = root + (name & 0x7FFFFFFF) + sizeof(IMAGE_RESOURCE_DIRECTORY);
        IMAGE_RESOURCE_DIRECTORY_ENTRY language;
        memcpy(&language, &file[languages], sizeof language);
        size_t sizeField = root + language.OffsetToData + offsetof(IMAGE_RESOURCE_DATA_ENTRY, Size);
        SetFilePointer(handle, static_cast<LONG>(sizeField), nullptr, FILE_BEGIN);
        DWORD zero = 0;
        problem = WriteFile(handle, &zero, sizeof zero, &done, nullptr) && done == sizeof zero
                      ? ""
                      : lastError("WriteFile");
        break;
    }
    CloseHandle(handle);
    return problem;
}

// A copy of this program carrying the given resources, loaded as data.
class QuizModule {
  public:
    // Returns "" on success, else what went wrong.
    std::string build(const Resource& package, const Resource& codes,
                      const Resource* extras = nullptr) {
        std::vector<ResourceData> resources;
        addResource(&resources, IDR_QUIZ_PACKAGE, package);
        addResource(&resources, IDR_CODE_TABLE, codes);
        if (extras != nullptr) {
            addResource(&resources, IDR_GRADING_EXTRAS, *extras);
        }
        std::string problem = writeExecutable(ownPath(), path_, resources);
        if (problem.empty() && package.kind == RESOURCE_EMPTY) {
            problem = setSizeToZero(path_, IDR_QUIZ_PACKAGE);
        }
        if (problem.empty() && codes.kind == RESOURCE_EMPTY) {
            problem = setSizeToZero(path_, IDR_CODE_TABLE);
        }
        if (!problem.empty()) {
            return problem;
        }
        data_.reset(new ExecutableData(path_));
        return module() != nullptr ? "" : lastError("LoadLibraryExA");
    }

    // What the module really holds, so that a row cannot pass on a resource that was
    // written differently from what it says.
    std::string check(WORD id, const Resource& resource) const {
        HRSRC found = FindResourceA(module(), MAKEINTRESOURCEA(id), "PATCH");
        std::string name = "resource " + std::to_string(id);
        if (resource.kind == RESOURCE_ABSENT) {
            return found == nullptr ? "" : name + " should be absent";
        }
        if (found == nullptr) {
            return name + " not found";
        }
        DWORD size = SizeofResource(module(), found);
        if (resource.kind == RESOURCE_EMPTY && size != 0) {
            return name + " should have size 0, has " + std::to_string(size);
        }
        if (resource.kind != RESOURCE_EMPTY && size == 0) {
            return name + " should not be empty";
        }
        return "";
    }

    HMODULE module() const { return data_ != nullptr ? data_->module() : nullptr; }

  private:
    TempFolder folder_{"loader"};
    const std::string path_ = folder_.file("quiz.exe");
    std::unique_ptr<ExecutableData> data_;
};

enum Outcome {
    OUTCOME_PACKAGE,  // the package's questions, texts and colour, and a brush
    OUTCOME_FALLBACK, // the built-in quiz, no brush
    OUTCOME_EMPTY,    // the initial state: no questions, reveal mode 2, no brush
};

struct Row {
    const char* name;
    const Resource* package;
    const Resource* codes;
    std::vector<std::string> messages; // each with the caption "Quizz"
    Outcome outcome;
    int32_t questionCount;
    int32_t codesRead; // how many codes C1, C2, ... are expected
    uint32_t colour;   // backgroundColour and brush colour of OUTCOME_PACKAGE
    // "PATCH" 106, and the tolerances, link and other forms of question 2 it leaves.
    const Resource* extras = nullptr;
    uint32_t tolerances = 0;
    const char* link = nullptr; // null: the program's own
    const char* secondForms = "A2";
};

const Resource kPackage3 = {RESOURCE_PACKED, packagePlain(3)};
const Resource kCodes3 = {RESOURCE_PACKED, codesPlain(3)};
const Resource kAbsent = {RESOURCE_ABSENT, {}};
const Resource kEmpty = {RESOURCE_EMPTY, {}};
const Resource kCorruptResource = {RESOURCE_RAW, kCorrupt};
const Resource kPackage120 = {RESOURCE_PACKED, packagePlain(120)};
const Resource kCodes120 = {RESOURCE_PACKED, codesPlain(120)};
const Resource kCodes2 = {RESOURCE_PACKED, codesPlain(2)};
// Cut in its colour bytes.
const Resource kPackageCutShort = {
    RESOURCE_PACKED, std::vector<uint8_t>(kPackage3.bytes.begin(), kPackage3.bytes.end() - 2)};

const char kNotFound[] = "Reponses non trouv\xE9"
                         "es";

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}
// Every tolerance, the author's link, and two more forms for question 2 of kPackage3.
const Resource kExtras = {RESOURCE_PACKED,
                          bytesOf(std::string("\x01\x07\x01https://ex.fr/|\x01\x02\x02"
                                              "Deux|2|"))};
const Resource kExtrasFieldNine = {RESOURCE_PACKED,
                                   bytesOf(std::string("\x01\x00\x00\x01\x09\x01x|", 8))};
const char kExtrasUnreadable[] = "Erreur dans les r\xE9glages de correction : les r\xE9ponses "
                                 "seront corrig\xE9"
                                 "es sans variantes ni tol\xE9rances.";

std::vector<Row> rows() {
    // clang-format off
    return {
        {"both read", &kPackage3, &kCodes3, {}, OUTCOME_PACKAGE, 3, 3, kRed},
        {"code table missing", &kPackage3, &kAbsent, {"Codes non trouv\xE9s."}, OUTCOME_PACKAGE, 3, 0, kRed},
        {"code table of size 0", &kPackage3, &kEmpty, {"Codes non renseign\xE9s."}, OUTCOME_PACKAGE, 3, 0, kRed},
        {"code table corrupt", &kPackage3, &kCorruptResource, {"Erreur dans le d\xE9" "cryptage des codes"}, OUTCOME_PACKAGE, 3, 0, kRed},
        {"package missing", &kAbsent, &kCodes3, {"Erreur dans le fichier", kNotFound}, OUTCOME_FALLBACK, 2, 0, 0},
        {"package and code table missing", &kAbsent, &kAbsent, {"Erreur dans le fichier", kNotFound}, OUTCOME_FALLBACK, 2, 0, 0},
        {"package of size 0", &kEmpty, &kCodes3, {kNotFound}, OUTCOME_FALLBACK, 2, 0, 0},
        {"package corrupt", &kCorruptResource, &kCodes3, {"Erreur dans le d\xE9" "cryptage des reponses"}, OUTCOME_EMPTY, 0, 0, 0},
        {"package of 120 questions", &kPackage120, &kCodes120, {"Le quizz est endommag\xE9 : plus de 90 questions."}, OUTCOME_PACKAGE, 90, 90, kRed},
        {"package cut short", &kPackageCutShort, &kCodes3, {"Le quizz est endommag\xE9 : donn\xE9" "es incompl\xE8tes."}, OUTCOME_PACKAGE, 3, 3, kMissingColour},
        {"code table shorter than its count", &kPackage3, &kCodes2, {"Les codes du quizz sont endommag\xE9s : donn\xE9" "es incompl\xE8tes."}, OUTCOME_PACKAGE, 3, 2, kRed},
        {"grading extras read", &kPackage3, &kCodes3, {}, OUTCOME_PACKAGE, 3, 3, kRed, &kExtras, kAllTolerances, "https://ex.fr/", "A2|Deux|2"},
        {"grading extras corrupt", &kPackage3, &kCodes3, {kExtrasUnreadable}, OUTCOME_PACKAGE, 3, 3, kRed, &kCorruptResource},
        {"grading extras for a field 9 of 3", &kPackage3, &kCodes3, {kExtrasUnreadable}, OUTCOME_PACKAGE, 3, 3, kRed, &kExtrasFieldNine},
    };
    // clang-format on
}

void expectCodes(const Quiz* quiz, int32_t codesRead, const std::string& context) {
    for (int i = 0; i < kMaxQuestions; ++i) {
        std::string want = i < codesRead ? "C" + std::to_string(i + 1) : "";
        EXPECT_EQ(quiz->codes[i], want) << context << ", code " << i;
    }
}

void expectOutcome(const Quiz* quiz, const Row& row) {
    std::string context = row.name;
    EXPECT_EQ(quiz->tolerances, row.tolerances) << context;
    EXPECT_EQ(quiz->linkChoice, row.link ? LINK_AUTHOR : LINK_PROGRAM) << context;
    EXPECT_STREQ(quiz->link, row.link ? row.link : "") << context;
    if (const QuestionNode* second = quiz->head ? quiz->head->next : nullptr) {
        const char* forms[kMaxAnswerForms];
        std::string joined;
        for (int i = 0, n = answerForms(second, 1, forms); i < n; ++i) {
            joined += (i ? "|" : "") + std::string(forms[i]);
        }
        EXPECT_EQ(joined, row.outcome == OUTCOME_PACKAGE ? row.secondForms : "tombir") << context;
    }
    EXPECT_EQ(quiz->questionCount, row.questionCount) << context;
    EXPECT_EQ(countQuestions(quiz), row.questionCount) << context;
    expectCodes(quiz, row.codesRead, context);
    switch (row.outcome) {
    case OUTCOME_PACKAGE: {
        EXPECT_STREQ(quiz->title, kTestQuizTitle) << context;
        EXPECT_EQ(quiz->quizType, QUIZ_TEXT) << context;
        ASSERT_NE(quiz->head, nullptr) << context;
        EXPECT_STREQ(quiz->head->answer1, "A1") << context;
        EXPECT_EQ(std::string(quiz->tail->questionText),
                  "Question " + std::to_string(row.questionCount))
            << context;
        EXPECT_EQ(quiz->backgroundColour, row.colour) << context;
        ASSERT_NE(quiz->backgroundBrush, nullptr) << context;
        LOGBRUSH brush = {};
        ASSERT_EQ(GetObjectA(static_cast<HBRUSH>(quiz->backgroundBrush), sizeof brush, &brush),
                  static_cast<int>(sizeof brush))
            << context;
        EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID)) << context;
        EXPECT_EQ(brush.lbColor, row.colour) << context;
        break;
    }
    case OUTCOME_FALLBACK:
        EXPECT_STREQ(quiz->title, "Nom du quizz") << context;
        EXPECT_EQ(quiz->quizType, QUIZ_PICTURE) << context;
        EXPECT_EQ(quiz->answersPerQuestion, 1) << context;
        EXPECT_EQ(quiz->revealMode, REVEAL_TEXT_AND_PICTURE) << context;
        ASSERT_NE(quiz->head, nullptr) << context;
        EXPECT_STREQ(quiz->head->answer1, "vrel") << context;
        EXPECT_STREQ(quiz->tail->answer1, "tombir") << context;
        EXPECT_EQ(quiz->backgroundColour, 0u) << context;
        EXPECT_EQ(quiz->backgroundBrush, nullptr) << context;
        break;
    case OUTCOME_EMPTY:
        EXPECT_STREQ(quiz->title, "") << context;
        EXPECT_EQ(quiz->head, nullptr) << context;
        EXPECT_EQ(quiz->revealMode, REVEAL_TEXT) << context;
        EXPECT_EQ(quiz->backgroundBrush, nullptr) << context;
        break;
    }
}

TEST(Loader, EveryOutcome) {
    for (const Row& row : rows()) {
        QuizModule module;
        std::string problem = module.build(*row.package, *row.codes, row.extras);
        ASSERT_EQ(problem, "") << row.name;
        ASSERT_EQ(module.check(IDR_QUIZ_PACKAGE, *row.package), "") << row.name;
        ASSERT_EQ(module.check(IDR_CODE_TABLE, *row.codes), "") << row.name;

        OwnedQuiz owned;
        Quiz* quiz = owned.quiz;
        gShown.clear();
        loadQuiz(quiz, module.module(), recordMessage);

        std::vector<std::string> texts;
        for (const Message& shown : gShown) {
            texts.push_back(shown.text);
            EXPECT_EQ(shown.caption, "Quizz") << row.name << ": " << shown.text;
        }
        EXPECT_EQ(texts, row.messages) << row.name;
        expectOutcome(quiz, row);

        if (quiz->backgroundBrush != nullptr) {
            DeleteObject(static_cast<HBRUSH>(quiz->backgroundBrush));
        }
    }
}

// The running program's own module, as the player passes it; a test program has no quiz.
TEST(Loader, ModuleWithoutResourcesGivesTheFallbackQuiz) {
    OwnedQuiz quiz;
    gShown.clear();
    loadQuiz(quiz.quiz, GetModuleHandleA(nullptr), recordMessage);
    ASSERT_EQ(gShown.size(), 2u);
    EXPECT_EQ(gShown[0].text, "Erreur dans le fichier");
    EXPECT_EQ(gShown[1].text, kNotFound);
    EXPECT_EQ(quiz->questionCount, 2);
}

} // namespace
