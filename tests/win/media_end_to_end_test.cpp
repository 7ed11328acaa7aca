// Audio and video quiz executables made from the real quizplayer.exe with real clips,
// started as separate processes and played as a player would: the clip files appear in the
// working directory, the clips play, and closing the window, even mid-clip, ends the
// program normally and leaves no clip file behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "content/lzw.h"
#include "content/package.h"
#include "content/quiz.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Test programs live in <build>/tests, the player in <build>.
std::string playerPath() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, n);
    std::string tests = self.substr(0, self.find_last_of("\\/"));
    return tests.substr(0, tests.find_last_of("\\/")) + "\\quizplayer.exe";
}

// "IMG" resource `id` of this test program.
Bytes ownClip(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "IMG");
    if (found == nullptr) {
        return {};
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    return Bytes(bytes, bytes + SizeofResource(nullptr, found));
}

Bytes packed(const Bytes& plain) {
    uint8_t* out = nullptr;
    int32_t length = 0;
    if (lzwEncode(plain.data(), static_cast<int32_t>(plain.size()), &out, &length) != LZW_OK) {
        return {};
    }
    Bytes bytes(out, out + length);
    lzwFreeBuffer(out);
    return bytes;
}

// Question q of `count` expects "A<q>"; clip 400 + q is this program's clip clips[q - 1].
std::string buildQuiz(const std::string& path, int quizType, const std::vector<int>& clips) {
    if (!CopyFileA(playerPath().c_str(), path.c_str(), FALSE)) {
        return "cannot copy " + playerPath();
    }
    Quiz* quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    initQuiz(quiz);
    quiz->quizType = quizType;
    quiz->answersPerQuestion = 1;
    copyText(quiz->title, "Clips");
    for (size_t q = 1; q <= clips.size(); ++q) {
        appendQuestion(quiz, ("A" + std::to_string(q)).c_str(), "", "");
        snprintf(quiz->codes[q - 1], kTextCapacity, "CODE%zu", q);
    }
    quiz->questionCount = static_cast<int>(clips.size());
    Bytes package = packed(layOutPackage(*quiz));
    Bytes codes = packed(layOutCodeTable(*quiz));
    freeQuestions(quiz);
    free(quiz);
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    if (update == nullptr) {
        return "BeginUpdateResourceA failed";
    }
    bool ok = UpdateResourceA(update, "PATCH", MAKEINTRESOURCEA(104), 0, package.data(),
                              static_cast<DWORD>(package.size())) &&
              UpdateResourceA(update, "PATCH", MAKEINTRESOURCEA(105), 0, codes.data(),
                              static_cast<DWORD>(codes.size()));
    for (size_t q = 1; q <= clips.size() && ok; ++q) {
        Bytes clip = ownClip(clips[q - 1]);
        ok = !clip.empty() && UpdateResourceA(update, "IMG", MAKEINTRESOURCEA(400 + q), 0,
                                              clip.data(), static_cast<DWORD>(clip.size()));
    }
    if (!ok) {
        EndUpdateResourceA(update, TRUE);
        return "UpdateResourceA failed";
    }
    return EndUpdateResourceA(update, FALSE) ? "" : "EndUpdateResourceA failed";
}

// A folder of its own, emptied before and after.
class Folder {
  public:
    explicit Folder(const std::string& name) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "quizz_media_e2e_" + name;
        CreateDirectoryA(path_.c_str(), nullptr);
        clear();
    }
    ~Folder() {
        clear();
        RemoveDirectoryA(path_.c_str());
    }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    const std::string& path() const { return path_; }
    // The names of the files in the folder that match `pattern`.
    std::vector<std::string> files(const char* pattern) const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(file(pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

  private:
    void clear() {
        for (const std::string& name : files("*")) {
            DeleteFileA(file(name).c_str());
        }
    }
    std::string path_;
};

Bytes readFile(const std::string& name) {
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    Bytes bytes(GetFileSize(file, nullptr));
    DWORD done = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(file);
    return bytes;
}

bool waitFor(bool (*done)(const void*), const void* context, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (done(context)) {
            return true;
        }
        Sleep(50);
    }
    return done(context);
}

// A quiz executable running in its folder, found by its main window.
class RunningPlayer {
  public:
    RunningPlayer(const std::string& exe, const std::string& folder) {
        std::string command = "\"" + exe + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &process_) != 0;
        if (!started_) {
            return;
        }
        WaitForInputIdle(process_.hProcess, 20000);
        // The window is shown once the board is complete: a video board makes its players
        // first, and a click sent before then would reach a half-made board.
        for (int i = 0; i < 600 && (main_ == nullptr || !IsWindowVisible(main_)); ++i) {
            if (main_ == nullptr) {
                EnumWindows(findMain, reinterpret_cast<LPARAM>(this));
            }
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) {
                break;
            }
        }
        if (main_ != nullptr && IsWindowVisible(main_)) {
            board_ = FindWindowExA(main_, nullptr, MAKEINTRESOURCEA(32770), nullptr);
        }
    }
    ~RunningPlayer() {
        if (started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        if (started_) {
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
    }
    RunningPlayer(const RunningPlayer&) = delete;
    RunningPlayer& operator=(const RunningPlayer&) = delete;

    HWND board() const { return board_; }

    // A click on the board's button `id`, as the button reports it.
    void click(int id) const {
        HWND button = GetDlgItem(board_, id);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(board_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(button), SMTO_ABORTIFHUNG, 10000, &result);
    }

    // The board's MCI windows, and whether any of them is visible.
    std::vector<HWND> mciWindows() const {
        std::vector<HWND> found;
        for (HWND child = GetWindow(board_, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char name[64] = "";
            GetClassNameA(child, name, sizeof name);
            if (std::string(name) == "MCIWndClass") {
                found.push_back(child);
            }
        }
        return found;
    }

    // Closes the window as the user would; the exit code, or -1 if the player did not end.
    long close() {
        PostMessageA(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

  private:
    static BOOL CALLBACK findMain(HWND window, LPARAM param) {
        auto* self = reinterpret_cast<RunningPlayer*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        char className[64] = "";
        GetClassNameA(window, className, sizeof className);
        if (pid == self->process_.dwProcessId && std::string(className) == "WindowsApp") {
            self->main_ = window;
            return FALSE;
        }
        return TRUE;
    }
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
    HWND board_ = nullptr;
};

struct FileWait {
    std::string name;
    Bytes bytes;
};

bool fileHolds(const void* context) {
    const FileWait* wait = static_cast<const FileWait*>(context);
    return readFile(wait->name) == wait->bytes;
}

TEST(MediaEndToEnd, AudioQuizPlaysAndClosesMidClip) {
    Folder folder("audio");
    std::string exe = folder.file("ecoute.exe");
    ASSERT_EQ(buildQuiz(exe, QUIZ_AUDIO, {401, 402}), "");
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.board(), nullptr);
    const int order[] = {1, 2, 1};
    for (int q : order) {
        player.click(6000 + q);
        FileWait wait = {folder.file("quizz.mp3"), ownClip(400 + q)};
        EXPECT_TRUE(waitFor(fileHolds, &wait, 5000)) << "question " << q;
        std::vector<HWND> windows = player.mciWindows();
        ASSERT_EQ(windows.size(), 1u) << "question " << q;
        EXPECT_FALSE(IsWindowVisible(windows[0])) << "question " << q;
    }
    // Closed while question 1 still plays: the clip's file must not be left behind.
    EXPECT_EQ(player.close(), 0);
    EXPECT_EQ(folder.files("quizz*"), std::vector<std::string>{});
    EXPECT_EQ(folder.files("*.txt"), std::vector<std::string>{"ecoute.txt"});
}

TEST(MediaEndToEnd, VideoQuizPlaysTwoClipsAndEndsCleanly) {
    Folder folder("video");
    std::string exe = folder.file("films.exe");
    ASSERT_EQ(buildQuiz(exe, QUIZ_VIDEO, {501, 502, 501}), "");
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.board(), nullptr);
    for (int q = 1; q <= 3; ++q) {
        EXPECT_NE(GetDlgItem(player.board(), 9900 + q), nullptr) << "host " << q;
        EXPECT_NE(GetDlgItem(player.board(), 4000 + q), nullptr) << "field " << q;
    }
    const struct {
        int question;
        int clip;
    } plays[] = {{1, 501}, {2, 502}};
    for (const auto& p : plays) {
        player.click(6000 + p.question);
        FileWait wait = {folder.file("quizz" + std::to_string(p.question) + ".avi"),
                         ownClip(p.clip)};
        EXPECT_TRUE(waitFor(fileHolds, &wait, 5000)) << "question " << p.question;
    }
    player.click(7003);
    player.click(6001);
    // Closed with a film playing and the other players loaded: the clips go, the players go
    // before COM, and the program ends normally.
    EXPECT_EQ(player.close(), 0);
    EXPECT_EQ(folder.files("quizz*"), std::vector<std::string>{});
}

} // namespace
