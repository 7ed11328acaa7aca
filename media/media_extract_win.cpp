#include "media/media_extract_win.h"

#include <windows.h>

#include "media/media_files.h"

namespace {

void showKindMessage(MediaMessageFn show, const char* text) {
    if (text != nullptr && show != nullptr) {
        show(text, kMediaMessageCaption);
    }
}

// The whole clip in one write. Failures are deliberately silent: the player is then handed
// a name that may not exist, and simply plays nothing.
void writeClipFile(const char* name, const void* bytes, DWORD size) {
    HANDLE file =
        CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
}

} // namespace

void showMediaMessage(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

int extractMedia(HMODULE module, int resourceId, int kind, MediaMessageFn show) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), "img");
    if (found == nullptr) {
        showKindMessage(show, missingClipMessage(kind));
        return 0;
    }
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) {
        showKindMessage(show, unloadableClipMessage(kind));
        return 0;
    }
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) {
        return 0;
    }
    char name[MAX_PATH];
    if (mediaFileName(kind, resourceId, name, sizeof name)) {
        writeClipFile(name, bytes, size);
    }
    FreeResource(loaded);
    return 1;
}
