#include "content/package_loader.h"

#include <windows.h>

#include "content/grading_extras.h"
#include "content/lzw.h"
#include "content/package.h"
#include "resources/resource.h"

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

// A resource's bytes, or size 0 when the module has none; `found` tells the two apart.
struct ResourceBytes {
    bool found;
    const uint8_t* bytes;
    int32_t size;
};

ResourceBytes findPatch(HMODULE module, WORD id) {
    ResourceBytes result = {false, nullptr, 0};
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "PATCH");
    if (resource == nullptr) {
        return result;
    }
    result.found = true;
    DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = size != 0 ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return result;
    }
    result.bytes = static_cast<const uint8_t*>(bytes);
    // The codec refuses anything over 65535 bytes itself; this only keeps the count signed.
    result.size = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(size);
    return result;
}

// Shown after the resource was read; start-up goes on with what the reader kept.
void reportProblems(const char* lead, uint32_t problems, LoaderMessageFn show) {
    if (problems == CONTENT_OK) {
        return;
    }
    char text[256];
    describeContentProblems(lead, problems, text, sizeof text);
    show(text, kCaption);
}

// Returns whether a package was read, which is when the code table is read too.
bool loadPackage(Quiz* quiz, HMODULE module, LoaderMessageFn show) {
    ResourceBytes package = findPatch(module, IDR_QUIZ_PACKAGE);
    if (!package.found) {
        show(kFileError, kCaption);
    }
    if (package.size == 0) {
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
    quiz->backgroundBrush = CreateSolidBrush(quiz->backgroundColour);
    lzwFreeBuffer(plain);
    reportProblems(kPackageDamaged, problems, show);
    return true;
}

void loadCodeTable(Quiz* quiz, HMODULE module, LoaderMessageFn show) {
    ResourceBytes table = findPatch(module, IDR_CODE_TABLE);
    if (!table.found) {
        show(kCodesNotFound, kCaption);
        return;
    }
    if (table.size == 0) {
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
void loadGradingExtras(Quiz* quiz, HMODULE module, LoaderMessageFn show) {
    ResourceBytes extras = findPatch(module, IDR_GRADING_EXTRAS);
    if (extras.size == 0) {
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

void showLoaderMessage(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

void loadQuiz(Quiz* quiz, void* module, LoaderMessageFn show) {
    // The codec's out-of-memory alert goes through the same function as the loader's own
    // messages, so it comes first and in the same form, and tests see it instead of
    // blocking on a box.
    lzwSetAlert(show);
    HMODULE handle = static_cast<HMODULE>(module);
    if (loadPackage(quiz, handle, show)) {
        loadCodeTable(quiz, handle, show);
        loadGradingExtras(quiz, handle, show);
    }
}
