#include "content/package_loader.h"

#include <windows.h>

#include "resources/resource.h"

namespace {

// A resource's bytes, or size 0 when the module has none; `found` tells the two apart.
PatchBytes findPatch(HMODULE module, WORD id) {
    PatchBytes result = {false, nullptr, 0};
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

} // namespace

void showLoaderMessage(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

void loadQuiz(Quiz* quiz, void* module, LoaderMessageFn show) {
    HMODULE handle = static_cast<HMODULE>(module);
    if (loadQuizFromPatches(quiz, findPatch(handle, IDR_QUIZ_PACKAGE),
                            findPatch(handle, IDR_CODE_TABLE),
                            findPatch(handle, IDR_GRADING_EXTRAS), show)) {
        quiz->backgroundBrush = CreateSolidBrush(quiz->backgroundColour);
    }
}
