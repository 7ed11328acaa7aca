// How long the answer fields' keys take on a full board: a 90-question quiz with two answers
// per question (180 fields), built and shown in this process the way the player builds it,
// then driven with the real key messages. Under Wine:
//
//   f1_bench [RUNS]        (default 7)
//
// For each case it prints the median and the slowest of RUNS runs, split into the key's
// own handling (the message sent to the field returns) and the painting that follows it
// (UpdateWindow on the main window and the messages waiting after it). Not a test: nothing
// is asserted.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "content/quiz.h"
#include "resources/resource.h"
#include "window/app_state_win.h"
#include "window/field_grading_win.h"
#include "window/main_window_win.h"
#include "window/rewards_win.h"
#include "window/shell_win.h"

namespace {

const int kQuestions = 90;
const int kAnswers = 2;
const int kFields = kQuestions * kAnswers;

double now() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
    }
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

Quiz* makeFullQuiz(int quizType) {
    Quiz* quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    initQuiz(quiz);
    quiz->quizType = quizType;
    quiz->answersPerQuestion = kAnswers;
    quiz->revealMode = 0;
    copyText(quiz->title, "F1 bench");
    copyText(quiz->answerLabel1, "Un");
    copyText(quiz->answerLabel2, "Deux");
    for (int q = 1; q <= kQuestions; ++q) {
        char a1[16], a2[16], text[32];
        snprintf(a1, sizeof a1, "Paris%d", q);
        snprintf(a2, sizeof a2, "Seine%d", q);
        snprintf(text, sizeof text, "Question %d", q);
        appendQuestion(quiz, a1, a2, text);
    }
    quiz->questionCount = kQuestions;
    for (int i = 0; i < kMaxQuestions; ++i) {
        snprintf(quiz->codes[i], kTextCapacity, "CODE%d", i + 1);
    }
    quiz->backgroundBrush = CreateSolidBrush(RGB(200, 220, 255));
    return quiz;
}

void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HWND field(int k) {
    return GetDlgItem(g_app.board, answerFieldId(k));
}

// Every field holds `text` and has been graded.
void fillAll(const char* text) {
    for (int k = 1; k <= kFields; ++k) {
        SetWindowTextA(field(k), text);
        gradeAnswerField(g_app.quiz, g_app.board, answerFieldId(k));
    }
}

// Every field holds its right answer, except the last one.
void solveAllButLast() {
    for (int k = 1; k <= kFields; ++k) {
        char text[16];
        int q = (k + 1) / 2;
        snprintf(text, sizeof text, k % 2 == 1 ? "Paris%d" : "Seine%d", q);
        SetWindowTextA(field(k), k == kFields ? "faux" : text);
        gradeAnswerField(g_app.quiz, g_app.board, answerFieldId(k));
    }
}

struct Timing {
    double handling;
    double painting;
};

using Setup = void (*)();

// Sends `message` with `key` to field `k` (focused first) after `setup`, RUNS times.
std::vector<Timing> timeKey(Setup setup, int k, UINT message, WPARAM key, int runs) {
    std::vector<Timing> timings;
    for (int run = 0; run < runs; ++run) {
        setup();
        SetFocus(field(k));
        UpdateWindow(g_app.mainWindow);
        pump();
        double start = now();
        SendMessageA(field(k), message, key, message == WM_KEYUP ? 0xC0000001 : 1);
        double handled = now();
        UpdateWindow(g_app.mainWindow);
        pump();
        timings.push_back({handled - start, now() - handled});
    }
    return timings;
}

void report(const char* what, std::vector<Timing> timings) {
    std::vector<double> handling, total;
    for (const Timing& t : timings) {
        handling.push_back(t.handling);
        total.push_back(t.handling + t.painting);
    }
    std::sort(handling.begin(), handling.end());
    std::sort(total.begin(), total.end());
    size_t middle = handling.size() / 2;
    printf("%-46s %9.1f ms %9.1f ms %9.1f ms\n", what, handling[middle], total[middle],
           total.back());
}

void typeInFirst() {
    fillAll("");
    SetWindowTextA(field(1), "Paris1");
}

void nothingToSetUp() {}

void runCases(const char* kind, int quizType, int runs) {
    g_app.quiz = makeFullQuiz(quizType);
    g_app.board = nullptr;
    HWND main = createMainWindow(g_app.instance, g_app.quiz);
    createQuestionBoard(main);
    ShowWindow(main, SW_SHOWNORMAL);
    ShowWindow(g_app.board, SW_SHOWNORMAL);
    UpdateWindow(main);
    pump();
    printf("%s quiz, %d questions x %d answers, board shown\n", kind, kQuestions, kAnswers);
    printf("%-46s %12s %12s %12s\n", "case", "key median", "+ paint med", "+ paint max");
    report("F1, 180 unsolved fields (all retyped)", timeKey(typeInFirst, 1, WM_KEYUP, VK_F1, runs));
    report("F1, 179 fields solved (one retyped)",
           timeKey(solveAllButLast, kFields, WM_KEYUP, VK_F1, runs));
    report("Tab from field 90", timeKey(nothingToSetUp, 90, WM_KEYUP, VK_TAB, runs));
    report("Return in field 90", timeKey(nothingToSetUp, 90, WM_KEYUP, VK_RETURN, runs));
    std::vector<Timing> score;
    for (int run = 0; run < runs; ++run) {
        double start = now();
        refreshScore(g_app.quiz, g_app.board);
        score.push_back({now() - start, 0});
    }
    report("refreshScore alone", score);
    // The parts F1 is made of, each over every field: where its time goes.
    std::vector<Timing> texts, gradings, selections;
    for (int run = 0; run < runs; ++run) {
        fillAll("");
        UpdateWindow(g_app.mainWindow);
        pump();
        double start = now();
        for (int k = 1; k <= kFields; ++k) {
            SetWindowTextA(field(k), "Paris1");
        }
        double written = now();
        for (int k = 1; k <= kFields; ++k) {
            gradeFieldWithoutScore(g_app.quiz, g_app.board, answerFieldId(k));
        }
        double graded = now();
        for (int k = 1; k <= kFields; ++k) {
            SendMessageA(field(k), EM_SETSEL, 0, 25);
        }
        texts.push_back({written - start, 0});
        gradings.push_back({graded - written, 0});
        selections.push_back({now() - graded, 0});
        UpdateWindow(g_app.mainWindow);
        pump();
    }
    report("  180 field texts written", texts);
    report("  180 fields graded, score left alone", gradings);
    report("  180 first-25 selections", selections);
    DestroyWindow(main);
    g_app.mainWindow = nullptr;
    g_app.board = nullptr;
    freeQuestions(g_app.quiz);
    free(g_app.quiz);
    g_app.quiz = nullptr;
    printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? atoi(argv[1]) : 7;
    if (runs < 1) {
        fprintf(stderr, "usage: f1_bench [RUNS]\n");
        return 2;
    }
    // The answers file of this program must not pre-fill the board: run from an empty folder.
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    strncat(folder, "quizz_f1_bench", MAX_PATH - strlen(folder) - 1);
    CreateDirectoryA(folder, nullptr);
    SetCurrentDirectoryA(folder);
    g_app.instance = GetModuleHandleA(nullptr);
    if (!registerMainWindowClass(g_app.instance)) {
        fprintf(stderr, "f1_bench: cannot register the window class\n");
        return 1;
    }
    runCases("text", QUIZ_TEXT, runs);
    runCases("picture", QUIZ_PICTURE, runs);
    return 0;
}
