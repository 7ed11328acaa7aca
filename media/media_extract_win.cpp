#include "media/media_extract_win.h"

#include <windows.h>

#include "media/media_files.h"
#include "window/app_state_win.h"

namespace {

void showKindMessage(const char* text) {
    if (text != nullptr) {
        g_app.media.showMessage(text, kMediaMessageCaption);
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

int extractMedia(int resourceId, int kind) {
    HRSRC found = FindResourceA(g_app.instance, MAKEINTRESOURCEA(resourceId), "img");
    if (found == nullptr) {
        showKindMessage(missingClipMessage(kind));
        return 0;
    }
    DWORD size = SizeofResource(g_app.instance, found);
    HGLOBAL loaded = LoadResource(g_app.instance, found);
    if (loaded == nullptr) {
        showKindMessage(unloadableClipMessage(kind));
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
