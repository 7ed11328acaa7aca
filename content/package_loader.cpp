#include "content/package_loader.h"

#include "content/grading_extras.h"
#include "content/lzw.h"
#include "content/package.h"

namespace {

const char kCaption[] = "Quizz";
// The loader's messages. A literal is split where \xE9 is followed by a letter that would
// otherwise be read as one more hex digit.
const char kFileError[] = "Erreur dans le fichier";
const char kPackageNotFound[] = "Reponses non trouv\xE9"
                                "es";
const char kPackageUnreadable[] = "Erreur dans le d\xE9"
                                  "cryptage des reponses";
const char kPackageDamaged[] = "Le quizz est endommag\xE9";
const char kCodesNotFound[] = "Codes non trouv\xE9s.";
const char kCodesEmpty[] = "Codes non renseign\xE9s.";
const char kCodesUnreadable[] = "Erreur dans le d\xE9"
                                "cryptage des codes";
const char kCodesDamaged[] = "Les codes du quizz sont endommag\xE9s";
const char kExtrasUnreadable[] = "Erreur dans les r\xE9glages de correction : les r\xE9ponses "
                                 "seront corrig\xE9"
                                 "es sans variantes ni tol\xE9rances.";

// Shown after the resource was read; start-up goes on with what the reader kept.
void reportProblems(const char* lead, uint32_t problems, LoaderMessageFn show) {
    if (problems == CONTENT_OK) {
        return;
    }
    char text[256];
    describeContentProblems(lead, problems, text, sizeof text);
    show(text, kCaption);
}

bool loadPackage(Quiz* quiz, const PatchBytes& package, LoaderMessageFn show) {
    if (!package.found) {
        show(kFileError, kCaption);
    }
    if (package.size <= 0 || package.bytes == nullptr) {
        show(kPackageNotFound, kCaption);
        fillFallbackQuiz(quiz);
        return false;
    }
    uint8_t* plain = nullptr;
    int32_t plainLength = 0;
    if (lzwDecode(package.bytes, package.size, &plain, &plainLength) != LZW_OK) {
        show(kPackageUnreadable, kCaption);
        return false;
    }
    uint32_t problems = readPackage(plain, plainLength, quiz);
    lzwFreeBuffer(plain);
    reportProblems(kPackageDamaged, problems, show);
    return true;
}

void loadCodeTable(Quiz* quiz, const PatchBytes& table, LoaderMessageFn show) {
    if (!table.found) {
        show(kCodesNotFound, kCaption);
        return;
    }
    if (table.size <= 0 || table.bytes == nullptr) {
        show(kCodesEmpty, kCaption);
        return;
    }
    uint8_t* plain = nullptr;
    int32_t plainLength = 0;
    if (lzwDecode(table.bytes, table.size, &plain, &plainLength) != LZW_OK) {
        show(kCodesUnreadable, kCaption);
        return;
    }
    uint32_t problems = readCodeTable(plain, plainLength, quiz);
    lzwFreeBuffer(plain);
    reportProblems(kCodesDamaged, problems, show);
}

// "PATCH" 106 is optional: a quiz without it (or with an empty one) grades exactly. One that
// is there but cannot be read changes nothing at all, and says so once.
void loadGradingExtras(Quiz* quiz, const PatchBytes& extras, LoaderMessageFn show) {
    if (extras.size <= 0 || extras.bytes == nullptr) {
        return;
    }
    uint8_t* plain = nullptr;
    int32_t plainLength = 0;
    bool read = lzwDecode(extras.bytes, extras.size, &plain, &plainLength) == LZW_OK &&
                readGradingExtras(plain, plainLength, quiz) == EXTRAS_OK;
    lzwFreeBuffer(plain);
    if (!read) {
        show(kExtrasUnreadable, kCaption);
    }
}

} // namespace

bool loadQuizFromPatches(Quiz* quiz, const PatchBytes& package, const PatchBytes& codeTable,
                         const PatchBytes& extras, LoaderMessageFn show) {
    // The codec's out-of-memory alert goes through the same function as the loader's own
    // messages, so it comes first and in the same form, and tests see it instead of
    // blocking on a box.
    lzwSetAlert(show);
    if (!loadPackage(quiz, package, show)) {
        return false;
    }
    loadCodeTable(quiz, codeTable, show);
    loadGradingExtras(quiz, extras, show);
    return true;
}
