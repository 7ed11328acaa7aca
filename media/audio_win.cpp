#include "media/audio_win.h"

#include <vfw.h>

#include "media/media_extract_win.h"
#include "media/media_files.h"
#include "media/media_state_win.h"
#include "resources/resource.h"

namespace {

// Never shown, so without a menu. Errors are not reported either: an MCI error box
// would stop the whole program until answered, and a clip that cannot play (a file that
// could not be written, a codec that is missing) is meant to play nothing, silently.
const DWORD kAudioWindowStyle = WS_CHILD | MCIWNDF_NOMENU | MCIWNDF_NOERRORDLG;

} // namespace

void stopAudio(MediaState& media) {
    HWND window = media.audioWindow;
    if (window == nullptr) {
        return;
    }
    MCIWndStop(window);
    MCIWndDestroy(window);
    media.audioWindow = nullptr;
    DeleteFileA(kAudioClipFile);
}

void playAudio(MediaState& media, HINSTANCE instance, HWND board, int question) {
    stopAudio(media);
    if (!extractMedia(instance, questionMediaId(question), MEDIA_AUDIO, media.showMessage)) {
        return;
    }
    HWND window = MCIWndCreateA(board, instance, kAudioWindowStyle, kAudioClipFile);
    media.audioWindow = window;
    if (window == nullptr) {
        return;
    }
    // Made without WS_VISIBLE, but some Video for Windows versions (Wine's) add it for any
    // window with a parent, which would lay a player bar over the first question.
    ShowWindow(window, SW_HIDE);
    MCIWndPlay(window);
}
