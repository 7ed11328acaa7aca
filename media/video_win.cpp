#include "media/video_win.h"

#include <wmp.h>

#include "media/media_extract_win.h"
#include "media/media_files.h"
#include "media/media_state_win.h"
#include "resources/resource.h"

namespace {

// CLSID_WindowsMediaPlayer and IID_IWMPPlayer, spelt out so that no GUID library is needed.
const CLSID kWindowsMediaPlayer = {
    0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
const IID kPlayerInterface = {
    0x6BF52A4F, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};

const char kNoPlayerUi[] = "none";

bool isQuestion(int question) {
    return question >= 1 && question <= kMaxQuestions;
}

// The player's text arguments are BSTRs: the text converted from the ANSI code page, then
// copied into a string that carries its length. Null when the text cannot be converted.
BSTR newPlayerText(const char* text) {
    wchar_t wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH) == 0) {
        return nullptr;
    }
    return SysAllocString(wide);
}

// Only the video picture: no player buttons or bars.
void hidePlayerUi(IWMPPlayer* player) {
    BSTR mode = newPlayerText(kNoPlayerUi);
    if (mode != nullptr) {
        player->put_uiMode(mode);
        SysFreeString(mode);
    }
}

// The player becomes an ActiveX control filling its host. The host window keeps the
// container alive for as long as it exists, so the program's own reference goes at once;
// it is asked for all the same, since some ATL versions attach nothing without it.
void attachToHost(AtlAxAttachControlFn attach, IWMPPlayer* player, HWND host) {
    if (attach == nullptr) {
        return;
    }
    IUnknown* container = nullptr;
    attach(player, host, &container);
    if (container != nullptr) {
        container->Release();
    }
}

// Opens question q's clip without starting it. The file is deleted straight away: the
// player may or may not still need it, and a play writes it again.
void loadClip(const MediaState& media, HINSTANCE instance, IWMPPlayer* player,
              IWMPControls* controls, int question) {
    int resourceId = questionMediaId(question);
    if (!extractMedia(instance, resourceId, MEDIA_VIDEO, media.showMessage)) {
        return;
    }
    char name[32];
    mediaFileName(MEDIA_VIDEO, resourceId, name, sizeof name);
    BSTR url = newPlayerText(name);
    if (url != nullptr) {
        player->put_URL(url);
        SysFreeString(url);
    }
    if (controls != nullptr) {
        controls->stop();
    }
    DeleteFileA(name);
}

} // namespace

HRESULT createMediaPlayer(int, IWMPPlayer** player) {
    return CoCreateInstance(kWindowsMediaPlayer, nullptr,
                            CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                            kPlayerInterface, reinterpret_cast<void**>(player));
}

bool createVideoPlayer(MediaState& media, HINSTANCE instance, HWND board, int question) {
    if (!isQuestion(question)) {
        return false;
    }
    media.playerHosts[question] = GetDlgItem(board, playerHostId(question));
    IWMPPlayer* player = nullptr;
    if (FAILED(media.createPlayer(question, &player)) || player == nullptr) {
        return false;
    }
    media.videoPlayers[question] = player;
    attachToHost(media.atlAxAttachControl, player, media.playerHosts[question]);
    IWMPControls* controls = nullptr;
    if (SUCCEEDED(player->get_controls(&controls))) {
        media.videoControls[question] = controls;
    }
    hidePlayerUi(player);
    loadClip(media, instance, player, media.videoControls[question], question);
    return true;
}

void playVideo(const MediaState& media, HINSTANCE instance, int question) {
    if (!isQuestion(question)) {
        return;
    }
    IWMPControls* controls = media.videoControls[question];
    if (controls == nullptr) {
        return;
    }
    if (extractMedia(instance, questionMediaId(question), MEDIA_VIDEO, media.showMessage)) {
        controls->play();
    }
}

void stopVideos(const MediaState& media) {
    for (int q = 1; q <= kMaxQuestions; ++q) {
        if (media.videoControls[q] != nullptr) {
            media.videoControls[q]->stop();
        }
    }
}

void releaseVideoPlayers(MediaState& media) {
    for (int q = 1; q <= kMaxQuestions; ++q) {
        if (media.videoControls[q] != nullptr) {
            media.videoControls[q]->Release();
            media.videoControls[q] = nullptr;
        }
        if (media.videoPlayers[q] != nullptr) {
            media.videoPlayers[q]->Release();
            media.videoPlayers[q] = nullptr;
        }
        media.playerHosts[q] = nullptr;
    }
}
