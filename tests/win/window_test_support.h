// Helpers for tests that build the player's real windows inside the test program: quizzes
// made in memory, the main window and board created as start-up creates them, and reading
// the controls back.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "content/quiz.h"
#include "window/app_state_win.h"
#include "window/board_layout.h"
#include "window/shell_win.h"

inline std::ostream& operator<<(std::ostream& out, const PixelRect& r) {
    return out << "(" << r.x << ", " << r.y << ") " << r.width << " x " << r.height;
}

namespace window_test {

struct TestQuestion {
    const char* answer1;
    const char* answer2;
    const char* questionText;
    const char* revealText;
};

// A quiz as the loader would leave it: codes "CODE1", "CODE2", ... and no brush.
inline Quiz* makeQuiz(int quizType, int answersPerQuestion, int revealMode,
                      const std::vector<TestQuestion>& questions) {
    Quiz* quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    initQuiz(quiz);
    quiz->quizType = quizType;
    quiz->answersPerQuestion = answersPerQuestion;
    quiz->revealMode = revealMode;
    copyText(quiz->title, "Quiz de test");
    copyText(quiz->creator, "Un auteur");
    copyText(quiz->explanation, "Une explication");
    copyText(quiz->answerLabel1, "Colonne un");
    copyText(quiz->answerLabel2, "Colonne deux");
    for (const TestQuestion& q : questions) {
        QuestionNode* node = appendQuestion(quiz, q.answer1, q.answer2, q.questionText);
        copyText(node->revealText, q.revealText);
    }
    quiz->questionCount = static_cast<int>(questions.size());
    for (int i = 0; i < kMaxQuestions; ++i) {
        snprintf(quiz->codes[i], kTextCapacity, "CODE%d", i + 1);
    }
    return quiz;
}

// n questions whose answers are "A<q>" (and "B<q>"), texts "Question <q>", reveals "R<q>".
inline Quiz* makeNumberedQuiz(int quizType, int answersPerQuestion, int revealMode, int n) {
    static char texts[kMaxQuestions][4][16];
    std::vector<TestQuestion> questions;
    for (int q = 1; q <= n; ++q) {
        snprintf(texts[q - 1][0], 16, "A%d", q);
        snprintf(texts[q - 1][1], 16, answersPerQuestion == 2 ? "B%d" : "", q);
        snprintf(texts[q - 1][2], 16, "Question %d", q);
        snprintf(texts[q - 1][3], 16, "R%d", q);
        questions.push_back({texts[q - 1][0], texts[q - 1][1], texts[q - 1][2], texts[q - 1][3]});
    }
    return makeQuiz(quizType, answersPerQuestion, revealMode, questions);
}

// Runs each test in a fresh folder of its own: the answers file and media files of the
// player live in the current directory.
class ScratchDirectory {
  public:
    ScratchDirectory() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        GetCurrentDirectoryA(MAX_PATH, previous_);
        path_ = std::string(temp) + "quizz_window_test_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path_.c_str(), nullptr);
        SetCurrentDirectoryA(path_.c_str());
        clear();
    }
    ~ScratchDirectory() {
        clear();
        SetCurrentDirectoryA(previous_);
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& path() const { return path_; }

  private:
    void clear() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return;
        }
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    char previous_[MAX_PATH];
    std::string path_;
};

inline std::string readFile(const std::string& name) {
    std::string bytes;
    FILE* file = fopen(name.c_str(), "rb");
    if (file == nullptr) {
        return "<missing>";
    }
    int c;
    while ((c = fgetc(file)) != EOF) {
        bytes.push_back(static_cast<char>(c));
    }
    fclose(file);
    return bytes;
}

inline void writeFile(const std::string& name, const std::string& bytes) {
    FILE* file = fopen(name.c_str(), "wb");
    ASSERT_NE(file, nullptr) << name;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

inline bool fileExists(const std::string& name) {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The answers file of this test program, as the player names it: its own file name with
// "txt" for the last three characters.
inline std::string ownAnswersFile() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of('\\') + 1);
    return name.substr(0, name.size() - 3) + "txt";
}

// The main window and the board of a quiz, made the way start-up makes them (without
// showing them), and destroyed with the quiz at the end of the test.
class PlayerWindows {
  public:
    explicit PlayerWindows(Quiz* quiz, bool withBoard = true) : quiz_(quiz) {
        static bool registered = false;
        g_app.instance = GetModuleHandleA(nullptr);
        if (!registered) {
            registered = registerMainWindowClass(g_app.instance);
        }
        g_app.quiz = quiz;
        g_app.board = nullptr;
        main_ = createMainWindow(g_app.instance, quiz);
        if (withBoard && main_ != nullptr) {
            board_ = createQuestionBoard(main_);
        }
    }
    ~PlayerWindows() {
        if (main_ != nullptr) {
            DestroyWindow(main_);
        }
        g_app.mainWindow = nullptr;
        g_app.board = nullptr;
        g_app.quiz = nullptr;
        freeQuestions(quiz_);
        free(quiz_);
    }
    PlayerWindows(const PlayerWindows&) = delete;
    PlayerWindows& operator=(const PlayerWindows&) = delete;

    HWND main() const { return main_; }
    HWND board() const { return board_; }
    Quiz* quiz() const { return quiz_; }

  private:
    Quiz* quiz_;
    HWND main_ = nullptr;
    HWND board_ = nullptr;
};

inline std::string textOf(HWND window) {
    char text[1024] = "";
    if (window != nullptr) {
        GetWindowTextA(window, text, sizeof text);
    }
    return text;
}

inline std::string itemText(HWND parent, int id) {
    return textOf(GetDlgItem(parent, id));
}

inline std::string classOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A child's rectangle in its parent's client coordinates.
inline PixelRect rectInParent(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Direct children of `parent` with identifier `id`, in the order EnumChildWindows gives.
inline std::vector<HWND> childrenWithId(HWND parent, int id) {
    struct Search {
        HWND parent;
        int id;
        std::vector<HWND> found;
    } search = {parent, id, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetParent(child) == s->parent && GetDlgCtrlID(child) == s->id) {
                s->found.push_back(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The child with a shared identifier and the given text (number labels, question labels).
inline HWND childWithText(HWND parent, int id, const std::string& text) {
    for (HWND child : childrenWithId(parent, id)) {
        if (textOf(child) == text) {
            return child;
        }
    }
    return nullptr;
}

inline int childCount(HWND parent) {
    int n = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++n;
    }
    return n;
}

inline HFONT fontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

inline HFONT guiFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

inline DWORD styleOf(HWND control) {
    return static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
}

inline COLORREF brushColour(HBRUSH brush) {
    LOGBRUSH info = {};
    GetObjectA(brush, sizeof info, &info);
    return info.lbColor;
}

// Lets posted messages (the wheel's scroll requests) reach their windows.
inline void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace window_test
