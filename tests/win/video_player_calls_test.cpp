// What the board asks of each question's media player, in order, read from recording
// stand-ins for the player, its controls and atl.dll's hosting entry. Wine's own player
// leaves some of these calls unimplemented (the player's buttons cannot be switched off),
// so only stand-ins can show that every call is made, with what, and when.
#include <windows.h>
#include <wmp.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "media/video_win.h"
#include "resources/resource.h"
#include "tests/support/files.h"
#include "tests/support/media_win.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_executable_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/temp_folder.h"
#include "tests/support/windows_win.h"
#include "window/app_state_win.h"

using namespace test_support;

namespace {

std::vector<std::string> g_calls;

void note(int question, const std::string& what) {
    g_calls.push_back(std::to_string(question) + ": " + what);
}

std::string narrow(BSTR text) {
    std::string out;
    for (UINT i = 0; text != nullptr && i < SysStringLen(text); ++i) {
        out += static_cast<char>(text[i]);
    }
    return out;
}

// What a clip file holds when a call names it or plays it.
std::string clipFileState(int question) {
    std::string file = "quizz" + std::to_string(question) + ".avi";
    if (!fileExists(file)) {
        return file + " missing";
    }
    return readFile(file) == resourceBytes(nullptr, "IMG", questionMediaId(question))
               ? file + " holds its clip"
               : file + " holds other bytes";
}

#define NOT_USED(name, parameters)                                                                 \
    HRESULT STDMETHODCALLTYPE name parameters override {                                           \
        return E_NOTIMPL;                                                                          \
    }

// IDispatch, which neither stand-in is asked for.
#define NO_DISPATCH                                                                                \
    NOT_USED(GetTypeInfoCount, (UINT*))                                                            \
    NOT_USED(GetTypeInfo, (UINT, LCID, ITypeInfo**))                                               \
    NOT_USED(GetIDsOfNames, (REFIID, LPOLESTR*, UINT, LCID, DISPID*))                              \
    NOT_USED(Invoke, (DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))

class RecordingControls final : public IWMPControls {
  public:
    explicit RecordingControls(int question) : question_(question) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) {
            note(question_, "controls gone");
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE play() override {
        note(question_, "play, " + clipFileState(question_));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE stop() override {
        note(question_, "stop");
        return S_OK;
    }
    NO_DISPATCH
    NOT_USED(get_isAvailable, (BSTR, VARIANT_BOOL*))
    NOT_USED(pause, ())
    NOT_USED(fastForward, ())
    NOT_USED(fastReverse, ())
    NOT_USED(get_currentPosition, (double*))
    NOT_USED(put_currentPosition, (double))
    NOT_USED(get_currentPositionString, (BSTR*))
    NOT_USED(next, ())
    NOT_USED(previous, ())
    NOT_USED(currentItem, (IWMPMedia**)) // so named in the headers
    NOT_USED(put_currentItem, (IWMPMedia*))
    NOT_USED(get_currentMarker, (LONG*))
    NOT_USED(put_currentMarker, (LONG))
    NOT_USED(playItem, (IWMPMedia*))

  private:
    int question_;
    ULONG references_ = 1;
};

std::map<IUnknown*, int> g_questionOfPlayer;

class RecordingPlayer final : public IWMPPlayer {
  public:
    explicit RecordingPlayer(int question)
        : question_(question), controls_(new RecordingControls(question)) {
        g_questionOfPlayer[this] = question;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) {
            note(question_, "player gone");
            g_questionOfPlayer.erase(this);
            controls_->Release();
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE get_controls(IWMPControls** controls) override {
        note(question_, "controls asked for");
        controls_->AddRef();
        *controls = controls_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_uiMode(BSTR mode) override {
        note(question_, "user interface \"" + narrow(mode) + "\"");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_URL(BSTR url) override {
        note(question_, "URL \"" + narrow(url) + "\", " + clipFileState(question_));
        return S_OK;
    }
    NO_DISPATCH
    NOT_USED(close, ())
    NOT_USED(get_URL, (BSTR*))
    NOT_USED(get_openState, (WMPOpenState*))
    NOT_USED(get_playState, (WMPPlayState*))
    NOT_USED(get_settings, (IWMPSettings**))
    NOT_USED(get_currentMedia, (IWMPMedia**))
    NOT_USED(put_currentMedia, (IWMPMedia*))
    NOT_USED(get_mediaCollection, (IWMPMediaCollection**))
    NOT_USED(get_playlistCollection, (IWMPPlaylistCollection**))
    NOT_USED(get_versionInfo, (BSTR*))
    NOT_USED(launchURL, (BSTR))
    NOT_USED(get_network, (IWMPNetwork**))
    NOT_USED(get_currentPlaylist, (IWMPPlaylist**))
    NOT_USED(put_currentPlaylist, (IWMPPlaylist*))
    NOT_USED(get_cdromCollection, (IWMPCdromCollection**))
    NOT_USED(get_closedCaption, (IWMPClosedCaption**))
    NOT_USED(get_isOnline, (VARIANT_BOOL*))
    NOT_USED(get_Error, (IWMPError**))
    NOT_USED(get_status, (BSTR*))
    NOT_USED(get_enabled, (VARIANT_BOOL*))
    NOT_USED(put_enabled, (VARIANT_BOOL))
    NOT_USED(get_fullScreen, (VARIANT_BOOL*))
    NOT_USED(put_fullScreen, (VARIANT_BOOL))
    NOT_USED(get_enableContextMenu, (VARIANT_BOOL*))
    NOT_USED(put_enableContextMenu, (VARIANT_BOOL))
    NOT_USED(get_uiMode, (BSTR*))

  private:
    int question_;
    RecordingControls* controls_;
    ULONG references_ = 1;
};

HRESULT makeRecordingPlayer(int question, IWMPPlayer** player) {
    note(question, "player made");
    *player = new RecordingPlayer(question);
    return S_OK;
}

HRESULT WINAPI attachRecording(IUnknown* control, HWND host, IUnknown** container) {
    auto found = g_questionOfPlayer.find(control);
    int question = found != g_questionOfPlayer.end() ? found->second : 0;
    note(question, "hosted in " + std::to_string(GetDlgCtrlID(host)));
    if (container != nullptr) {
        *container = nullptr;
    }
    return S_OK;
}

// The stand-ins in place of the real player and atl.dll for as long as it lives.
class RecordingMedia {
  public:
    RecordingMedia() : factory_(g_app.media.createPlayer), attach_(g_app.media.atlAxAttachControl) {
        g_calls.clear();
        g_app.media.createPlayer = makeRecordingPlayer;
        g_app.media.atlAxAttachControl = attachRecording;
    }
    ~RecordingMedia() {
        releaseVideoPlayers(g_app.media);
        g_app.media.createPlayer = factory_;
        g_app.media.atlAxAttachControl = attach_;
    }
    RecordingMedia(const RecordingMedia&) = delete;
    RecordingMedia& operator=(const RecordingMedia&) = delete;

    std::vector<std::string> take() {
        std::vector<std::string> taken;
        taken.swap(g_calls);
        return taken;
    }

  private:
    PlayerFactoryFn factory_;
    AtlAxAttachControlFn attach_;
};

TEST(VideoPlayerCalls, EachPlayerIsSetUpStoppedAndLeftWithoutItsFile) {
    WorkingFolder folder;
    MessageLog log;
    RecordingMedia media;
    std::vector<std::string> calls;
    {
        PlayerWindows windows(makeNumberedQuiz(QUIZ_VIDEO, 1, REVEAL_NOTHING, 3));
        HWND board = windows.board();
        calls = media.take();
        const std::vector<std::string> setUp = {
            "1: player made",
            "1: hosted in 9901",
            "1: controls asked for",
            "1: user interface \"none\"",
            "1: URL \"quizz1.avi\", quizz1.avi holds its clip",
            "1: stop",
            "2: player made",
            "2: hosted in 9902",
            "2: controls asked for",
            "2: user interface \"none\"",
            "2: URL \"quizz2.avi\", quizz2.avi holds its clip",
            "2: stop",
            // Question 3 has no clip: its player gets no URL and no stop.
            "3: player made",
            "3: hosted in 9903",
            "3: controls asked for",
            "3: user interface \"none\"",
        };
        EXPECT_EQ(calls, setUp);
        EXPECT_EQ(log.take(), (std::vector<Message>{{"Impossible de localiser le fichier vid\xE9o.",
                                                     "Information"}}));
        for (const char* file : {"quizz1.avi", "quizz2.avi", "quizz3.avi"}) {
            EXPECT_FALSE(fileExists(file)) << file << " is left once its player is set up";
        }

        // Play writes the clip again before the player is told to play; a play without a
        // clip shows its message and asks nothing of the player; one stop button stops all.
        click(board, ID_PLAY_BUTTON_BASE + 2);
        click(board, ID_PLAY_BUTTON_BASE + 3);
        click(board, ID_STOP_BUTTON_BASE + 1);
        EXPECT_EQ(media.take(), (std::vector<std::string>{"2: play, quizz2.avi holds its clip",
                                                          "1: stop", "2: stop", "3: stop"}));
        EXPECT_EQ(log.take().size(), 1u) << "question 3's play";
    }
    releaseVideoPlayers(g_app.media);
    std::vector<std::string> released = media.take();
    for (int q = 1; q <= 3; ++q) {
        for (const char* what : {"controls gone", "player gone"}) {
            std::string call = std::to_string(q) + ": " + what;
            EXPECT_EQ(std::count(released.begin(), released.end(), call), 1)
                << call << ": every reference is given back once";
        }
    }
}

} // namespace
