// For the audio and video tests in this process: a recorder for the media messages and the
// video hosting of start-up.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "media/media_state_win.h"
#include "media/video_win.h"
#include "window/app_state_win.h"
#include "window/shell_win.h"

namespace test_support {

using Message = std::pair<std::string, std::string>; // text, caption

// Records the media messages instead of showing them, for as long as it lives.
class MessageLog {
  public:
    MessageLog() : previous_(g_app.media.showMessage) {
        recorded().clear();
        g_app.media.showMessage = [](const char* text, const char* caption) {
            recorded().push_back({text, caption});
        };
    }
    ~MessageLog() { g_app.media.showMessage = previous_; }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<Message> take() {
        std::vector<Message> taken;
        taken.swap(recorded());
        return taken;
    }

  private:
    static std::vector<Message>& recorded() {
        static std::vector<Message> messages;
        return messages;
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

} // namespace test_support
