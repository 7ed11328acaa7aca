// Helpers for the audio and video tests: the test program's own clip resources, a recorder
// for the media messages, the video hosting of start-up, clicks on the board's buttons, and
// waiting for a player.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "media/video_win.h"
#include "window/app_state_win.h"
#include "window/shell_win.h"

namespace media_test {

// The bytes of "IMG" resource `id` of the test program itself; "<none>" when it has none.
inline std::string clipBytes(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "IMG");
    if (found == nullptr) {
        return "<none>";
    }
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    return std::string(bytes, SizeofResource(nullptr, found));
}

using Message = std::pair<std::string, std::string>; // text, caption

// Records the media messages instead of showing them, for as long as it lives.
class MessageLog {
  public:
    MessageLog() {
        messages().clear();
        previous_ = g_app.media.showMessage;
        g_app.media.showMessage = record;
    }
    ~MessageLog() { g_app.media.showMessage = previous_; }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<Message> take() {
        std::vector<Message> taken;
        taken.swap(messages());
        return taken;
    }

  private:
    static std::vector<Message>& messages() {
        static std::vector<Message> recorded;
        return recorded;
    }
    static void record(const char* text, const char* caption) {
        messages().push_back({text, caption});
    }
    MediaMessageFn previous_;
};

// What start-up does for a video quiz (atl.dll and COM), undone as shut-down does it. Make it
// before the windows of a video board and let it outlive them: the players are released
// after their hosts are gone and before COM is shut down.
class VideoHosting {
  public:
    VideoHosting() { started_ = startVideoHosting(&atl_); }
    ~VideoHosting() {
        releaseVideoPlayers(g_app.media);
        if (started_) {
            CoUninitialize();
            g_app.media.atlAxAttachControl = nullptr;
            FreeLibrary(atl_);
        }
    }
    VideoHosting(const VideoHosting&) = delete;
    VideoHosting& operator=(const VideoHosting&) = delete;
    bool started() const { return started_; }
    HMODULE atl() const { return atl_; }

  private:
    HMODULE atl_ = nullptr;
    bool started_ = false;
};

// A click on the board's button `id`, as the button itself reports it to the board.
inline void click(HWND board, int id) {
    SendMessageA(board, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(board, id)));
}

// Lets the players and their windows work, until `done` says so or `milliseconds` pass.
template <typename Done> bool waitFor(Done done, int milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount() - start > static_cast<DWORD>(milliseconds)) {
            return false;
        }
        Sleep(20);
    }
}

// The class of the MCI windows, as registered by Video for Windows.
inline std::string windowClass(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Children of `parent` that are MCI windows.
inline std::vector<HWND> mciChildren(HWND parent) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (windowClass(child) == "MCIWndClass") {
            found.push_back(child);
        }
    }
    return found;
}

} // namespace media_test
