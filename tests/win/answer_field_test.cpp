// The answer fields' keyboard and focus behaviour on the real board: the selection on entry,
// swallowed Return and Tab characters, Return, the Tab ring and the rows it brings into view,
// the page keys, and F1.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/support/board_driving_win.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/app_state_win.h"
#include "window/field_grading_win.h"
#include "window/main_window_win.h"

using namespace test_support;

namespace {

// Key messages carry the repeat count 1; a release also has the previous-state and
// transition bits.
LRESULT key(HWND field, UINT message, WPARAM virtualKey) {
    LPARAM flags = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001) : 1;
    if (message == WM_SYSKEYDOWN) {
        flags |= 1 << 29; // Alt held
    }
    return SendMessageA(field, message, virtualKey, flags);
}

void setShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

TEST(AnswerField, EnteringSelectsTheFirst25Characters) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 2));
    const char* texts[] = {"abcdefghijklmnopqrstuvwxyz0123", "abcdefghijklmnopqrstuvwxy", "abc",
                           ""};
    for (const char* text : texts) {
        SetWindowTextA(b.field(2), text);
        SetFocus(b.field(1));
        SetFocus(b.field(2));
        DWORD start = 0;
        DWORD end = 0;
        SendMessageA(b.field(2), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        size_t length = strlen(text);
        EXPECT_EQ(start, 0u) << text;
        EXPECT_EQ(end, length < 25 ? length : 25u) << text;
    }
}

// What reaches the edit control's own procedure behind the answer field's.
struct PassedOn {
    UINT message;
    WPARAM wParam;
    bool operator==(const PassedOn& o) const { return message == o.message && wParam == o.wParam; }
};
std::vector<PassedOn> g_passedOn;
WNDPROC g_realEditProc = nullptr;

LRESULT CALLBACK recordingEditProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR || message == WM_KEYDOWN || message == WM_KEYUP) {
        g_passedOn.push_back({message, wParam});
    }
    return CallWindowProcA(g_realEditProc, field, message, wParam, lParam);
}

// The edit control itself ignores Return and Tab characters in a single-line field, so the
// text alone cannot tell whether the answer field swallowed them: the procedure behind it
// records what it is handed.
TEST(AnswerField, ReturnAndTabCharactersNeverEnter) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 1));
    HWND field = b.field(1);
    SetFocus(field);
    g_realEditProc = g_app.savedEditProc;
    g_app.savedEditProc = recordingEditProc;
    struct Case {
        UINT message;
        WPARAM character;
        const char* text;
        bool swallowed; // answered 0 without reaching the edit control
    } cases[] = {
        // clang-format off
        {WM_CHAR, '\r', "ab", true},
        {WM_CHAR, '\t', "ab", true},
        {WM_CHAR, 'x', "abx", false},
        {WM_KEYUP, VK_RETURN, "ab", true},
        {WM_KEYDOWN, VK_HOME, "ab", false},
        {WM_KEYUP, VK_HOME, "ab", false},
        // clang-format on
    };
    for (const Case& c : cases) {
        SetWindowTextA(field, "ab");
        SendMessageA(field, EM_SETSEL, 2, 2);
        g_passedOn.clear();
        LRESULT result = key(field, c.message, c.character);
        bool reached = g_passedOn == std::vector<PassedOn>{{c.message, c.character}};
        EXPECT_EQ(reached, !c.swallowed) << "message " << c.message << ", " << c.character;
        if (c.swallowed) {
            EXPECT_TRUE(g_passedOn.empty()) << "message " << c.message << ", " << c.character;
            EXPECT_EQ(result, c.message == WM_CHAR ? 0 : 1) << "character " << c.character;
        }
        EXPECT_EQ(textOf(field), c.text) << "message " << c.message << ", " << c.character;
        if (c.message == WM_KEYDOWN && c.character == VK_HOME) {
            DWORD start = 0, end = 0;
            SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u) << "Home moves the caret to the start";
            EXPECT_EQ(end, 0u) << "Home moves the caret to the start";
        }
    }
    g_app.savedEditProc = g_realEditProc;
}

TEST(AnswerField, ReturnGradesOnReleaseOrWithAlt) {
    struct Case {
        const char* what;
        UINT message;
        WPARAM virtualKey;
        const char* verdict;
        LRESULT result; // -1: whatever the edit control answers
    } cases[] = {
        // clang-format off
        {"Return released", WM_KEYUP, VK_RETURN, "BRAVO", 1},
        {"Alt+Return pressed", WM_SYSKEYDOWN, VK_RETURN, "BRAVO", 1},
        {"Return pressed waits for the release", WM_KEYDOWN, VK_RETURN, "?", -1},
        {"another key released", WM_KEYUP, 'A', "?", -1},
        // clang-format on
    };
    for (const Case& c : cases) {
        PlayerBoard b(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 2));
        SetFocus(b.field(1));
        SetWindowTextA(b.field(1), " a1 ");
        ASSERT_EQ(b.verdict(1), "?") << c.what;
        LRESULT result = key(b.field(1), c.message, c.virtualKey);
        if (c.result >= 0) {
            EXPECT_EQ(result, c.result) << c.what;
        }
        EXPECT_EQ(b.verdict(1), c.verdict) << c.what;
        EXPECT_EQ(GetFocus(), b.field(1)) << c.what << ": the focus stays";
        EXPECT_EQ(b.fieldText(1), " a1 ") << c.what;
        EXPECT_EQ(b.score(), c.verdict[0] == 'B' ? " 1 / 2" : " 0 / 2") << c.what;
    }
}

// The field left behind is graded (it holds its right answer, not yet graded) and the
// focus lands on the next field round the ring.
TEST(AnswerField, TabRing) {
    struct Case {
        int answers;
        int from;
        bool shift;
        int to;
    } cases[] = {
        // clang-format off
        {1, 1, false, 2},
        {1, 3, false, 4},
        {1, 5, false, 1},
        {1, 1, true, 5},
        {1, 5, true, 4},
        {2, 5, false, 6},
        {2, 6, false, 7},
        {2, 10, false, 1},
        {2, 1, true, 10},
        {2, 7, true, 6},
        {2, 10, true, 9},
        // clang-format on
    };
    for (const Case& c : cases) {
        std::string what = std::to_string(c.answers) + " answer(s), " + (c.shift ? "Shift+" : "") +
                           "Tab from field " + std::to_string(c.from);
        PlayerBoard b(makeNumberedQuiz(QUIZ_TEXT, c.answers, REVEAL_NOTHING, 5));
        FieldOwner owner = fieldOwner(answerFieldId(c.from), c.answers);
        std::string right = (owner.answer == 1 ? "A" : "B") + std::to_string(owner.question);
        SetFocus(b.field(c.from));
        SetWindowTextA(b.field(c.from), right.c_str());
        setShift(c.shift);
        key(b.field(c.from), WM_KEYUP, VK_TAB);
        setShift(false);
        EXPECT_EQ(GetFocus(), b.field(c.to)) << what;
        EXPECT_EQ(b.verdict(c.from), "BRAVO") << what;
    }
}

// Landing on field 1, by Tab from the last field or Shift+Tab from field 2, shows the top
// of the board.
TEST(AnswerField, TabOntoTheFirstFieldShowsTheTop) {
    ThirtyQuestionsShown b;
    HWND board = b.board();
    struct Case {
        const char* what;
        int from;
        bool shift;
    } cases[] = {
        // clang-format off
        {"Tab from the last field", 30, false},
        {"Shift+Tab from field 2", 2, true},
        // clang-format on
    };
    for (const Case& c : cases) {
        SetFocus(b.field(c.from));
        request(board, SB_VERT, SB_BOTTOM);
        ASSERT_EQ(position(board, SB_VERT), 227) << c.what;
        setShift(c.shift);
        key(b.field(c.from), WM_KEYUP, VK_TAB);
        setShift(false);
        EXPECT_EQ(GetFocus(), b.field(1)) << c.what;
        EXPECT_EQ(position(board, SB_VERT), 0) << c.what;
        EXPECT_TRUE(controlsInPlace(board, b.quiz())) << c.what;
    }
}

struct RowCase {
    const char* what;
    int quizType, answers, revealMode;
};

std::ostream& operator<<(std::ostream& out, const RowCase& c) {
    return out << c.what;
}

class RowStarts : public ::testing::TestWithParam<RowCase> {};

// A full board at the player's own size. Tab onto the first field of later rows of
// three questions, and Shift+Tab onto it from the field after it, each time with the
// board scrolled away (to the top, to the bottom, and to the right): the field that
// receives the focus is entirely in view, and so is the whole height of every field of its
// row. A row already in view does not move.
TEST_P(RowStarts, TabBringsTheRowIntoView) {
    const RowCase& c = GetParam();
    PlayerBoard b(makeNumberedQuiz(c.quizType, c.answers, c.revealMode, 90));
    HWND board = b.board();
    b.show();
    layOutMainWindow(b.main());
    int n = 90 * c.answers;
    int row = 3 * c.answers;
    for (int t = 1 + row; t <= n; t += row) {
        int r = t / row; // rows 0 .. 29; the first three, every seventh and the last four
        if (r > 3 && r < 26 && r % 7 != 0) {
            continue;
        }
        for (int back = 0; back <= 1; ++back) {
            std::string what = std::string(c.what) + (back ? ": Shift+Tab" : ": Tab") +
                               " onto field " + std::to_string(t);
            int from = back ? t + 1 : t - 1;
            SetFocus(b.field(from));
            request(board, SB_VERT, (t / row + back) % 2 == 0 ? SB_TOP : SB_BOTTOM);
            request(board, SB_HORZ, SB_PAGERIGHT);
            setShift(back != 0);
            key(b.field(from), WM_KEYUP, VK_TAB);
            setShift(false);
            ASSERT_EQ(GetFocus(), b.field(t)) << what;
            EXPECT_TRUE(fullyInView(board, b.field(t), true))
                << what << " at " << rectInParent(b.field(t)) << ", positions "
                << position(board, SB_HORZ) << ", " << position(board, SB_VERT);
            for (int k = t + 1; k < t + row && k <= n; ++k) {
                EXPECT_TRUE(fullyInView(board, b.field(k), false))
                    << what << ": field " << k << " of the row at " << rectInParent(b.field(k));
            }
            ASSERT_TRUE(controlsInPlace(board, b.quiz())) << what;
        }
    }
    // The row of the last row start is in view: leaving it and coming back moves nothing.
    int lastStart = 1 + ((n - 1) / row) * row;
    int across = position(board, SB_HORZ);
    int down = position(board, SB_VERT);
    setShift(true);
    key(b.field(lastStart), WM_KEYUP, VK_TAB);
    setShift(false);
    key(b.field(lastStart - 1), WM_KEYUP, VK_TAB);
    EXPECT_EQ(GetFocus(), b.field(lastStart));
    EXPECT_EQ(position(board, SB_HORZ), across);
    EXPECT_EQ(position(board, SB_VERT), down);
}

INSTANTIATE_TEST_SUITE_P(
    FullBoards, RowStarts,
    ::testing::Values(RowCase{"text", QUIZ_TEXT, 1, 0},
                      RowCase{"text, two answers", QUIZ_TEXT, 2, 0},
                      RowCase{"pictures", QUIZ_PICTURE, 1, 0},
                      RowCase{"pictures, two answers, reveal texts", QUIZ_PICTURE, 2, 2},
                      RowCase{"pictures, all texts at the end", QUIZ_PICTURE, 1, 4},
                      RowCase{"audio, two answers", QUIZ_AUDIO, 2, 0}),
    [](const ::testing::TestParamInfo<RowCase>& info) {
        std::string name;
        for (const char* p = info.param.what; *p != '\0'; ++p) {
            if (isalnum(static_cast<unsigned char>(*p))) {
                name += *p;
            }
        }
        return name;
    });

TEST(AnswerField, PageKeysScrollTheBoard) {
    ThirtyQuestionsShown b;
    HWND board = b.board();
    SetFocus(b.field(1));
    struct Case {
        const char* what;
        UINT message;
        WPARAM virtualKey;
        bool fromBottom;
        int end;
    } cases[] = {
        // clang-format off
        {"Page Down released", WM_KEYUP, VK_NEXT, false, 227},
        {"Down released", WM_KEYUP, VK_DOWN, false, 227},
        {"Page Up released", WM_KEYUP, VK_PRIOR, true, 0},
        {"Up released", WM_KEYUP, VK_UP, true, 0},
        {"Alt+Page Down pressed", WM_SYSKEYDOWN, VK_NEXT, false, 227},
        {"Page Down pressed: nothing until released", WM_KEYDOWN, VK_NEXT, false, 0},
        {"Home only moves the caret", WM_KEYUP, VK_HOME, true, 227},
        {"End only moves the caret", WM_KEYUP, VK_END, false, 0},
        {"Left", WM_KEYUP, VK_LEFT, true, 227},
        {"Right", WM_KEYUP, VK_RIGHT, false, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        request(board, SB_VERT, c.fromBottom ? SB_BOTTOM : SB_TOP);
        key(b.field(1), c.message, c.virtualKey);
        EXPECT_EQ(position(board, SB_VERT), c.end) << c.what;
        EXPECT_TRUE(controlsInPlace(board, b.quiz())) << c.what;
        EXPECT_EQ(GetFocus(), b.field(1)) << c.what;
    }
}

struct TryCase {
    const char* what;
    int answers;
    std::vector<std::string> graded; // field texts, each graded before F1
    int field;                       // the field F1 is pressed in
    const char* typed;               // typed there afterwards without grading; null: nothing
    UINT message;
    std::vector<std::string> texts;
    std::vector<std::string> verdicts;
    const char* score;
};

// Four questions (Paris, Rome, Berlin, Madrid), or three with two answers each (Paris and
// Seine, Rome and Tibre, Berlin and Spree).
TEST(AnswerField, F1TriesTheTextInEveryUnsolvedField) {
    const TryCase cases[] = {
        {"every other field solved: nothing else changes",
         1,
         {"Paris", "Rome", "Berlin", "Lisbonne"},
         4,
         nullptr,
         WM_KEYUP,
         {"Paris", "Rome", "Berlin", "Lisbonne"},
         {"BRAVO", "BRAVO", "BRAVO", "FAUX"},
         " 3 / 4"},
        {"a wrong field rewrites itself; solved fields are never touched",
         1,
         {"Paris", "Rom", "", "Berlin"},
         4,
         nullptr,
         WM_KEYUP,
         {"Paris", "Berlin", "Berlin", "Berlin"},
         {"BRAVO", "FAUX", "BRAVO", "FAUX"},
         " 2 / 4"},
        {"from a solved field",
         1,
         {"Paris", "", "Lyon", "x"},
         1,
         nullptr,
         WM_KEYUP,
         {"Paris", "Paris", "Paris", "Paris"},
         {"BRAVO", "FAUX", "FAUX", "FAUX"},
         " 1 / 4"},
        {"the text as typed, not yet graded, with Alt",
         1,
         {"", "", "", ""},
         3,
         "berlin",
         WM_SYSKEYDOWN,
         {"berlin", "berlin", "berlin", "berlin"},
         {"FAUX", "FAUX", "BRAVO", "FAUX"},
         " 1 / 4"},
        {"two answers: only the unsolved answer of a half-solved question",
         2,
         {"Paris", "Seine", "Rome", "Po", "", ""},
         6,
         "Tibre",
         WM_KEYUP,
         {"Paris", "Seine", "Rome", "Tibre", "Tibre", "Tibre"},
         {"BRAVO", "BRAVO", "BRAVO", "BRAVO", "FAUX", "FAUX"},
         " 2 / 3"},
    };
    for (const TryCase& c : cases) {
        std::vector<TestQuestion> questions = {{"Paris", "Seine", "France", ""},
                                               {"Rome", "Tibre", "Italie", ""},
                                               {"Berlin", "Spree", "Allemagne", ""},
                                               {"Madrid", "", "Espagne", ""}};
        questions.resize(c.answers == 1 ? 4 : 3);
        PlayerBoard b(makeQuiz(QUIZ_TEXT, c.answers, REVEAL_NOTHING, questions));
        for (size_t k = 1; k <= c.graded.size(); ++k) {
            SetWindowTextA(b.field(static_cast<int>(k)), c.graded[k - 1].c_str());
            gradeAnswerField(b.quiz(), b.board(), answerFieldId(static_cast<int>(k)));
        }
        SetFocus(b.field(c.field));
        if (c.typed != nullptr) {
            SetWindowTextA(b.field(c.field), c.typed);
        }
        key(b.field(c.field), c.message, VK_F1);
        for (size_t k = 1; k <= c.texts.size(); ++k) {
            int i = static_cast<int>(k);
            EXPECT_EQ(b.fieldText(i), c.texts[k - 1]) << c.what << ", field " << k;
            EXPECT_EQ(b.verdict(i), c.verdicts[k - 1]) << c.what << ", verdict " << k;
        }
        EXPECT_EQ(GetFocus(), b.field(c.field)) << c.what << ": the focus comes back";
        EXPECT_EQ(b.score(), c.score) << c.what;
    }
}

// F1 as the plain reading of its rule: every unsolved field gets the text and the focus in
// turn, the focus goes back, and each field is graded by its own focus-loss rule.
void focusMovingTry(HWND field) {
    HWND board = GetParent(field);
    char text[kTextCapacity] = "";
    GetWindowTextA(field, text, kTextCapacity);
    int n = g_app.quiz->answersPerQuestion * g_app.quiz->questionCount;
    for (int i = 1; i <= n; ++i) {
        char verdict[kTextCapacity] = "";
        GetDlgItemTextA(board, verdictLabelId(answerFieldId(i)), verdict, kTextCapacity);
        if (strcmp(verdict, "BRAVO") != 0) {
            SetDlgItemTextA(board, answerFieldId(i), text);
            SetFocus(GetDlgItem(board, answerFieldId(i)));
        }
    }
    SetFocus(field);
}

// Everything of a board that F1 can change: texts, selections and first visible
// characters of the fields, verdicts, reveal texts, score, code, and the focus.
std::vector<std::string> boardState(const PlayerBoard& b) {
    std::vector<std::string> state;
    const Quiz* quiz = b.quiz();
    for (int k = 1; k <= quiz->answersPerQuestion * quiz->questionCount; ++k) {
        HWND field = b.field(k);
        DWORD start = 0;
        DWORD end = 0;
        SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        LRESULT first = SendMessageA(field, EM_GETFIRSTVISIBLELINE, 0, 0);
        state.push_back("field " + std::to_string(k) + " \"" + textOf(field) + "\" selected " +
                        std::to_string(start) + ".." + std::to_string(end) + ", from " +
                        std::to_string(first) + ": " + b.verdict(k));
    }
    for (int q = 1; q <= quiz->questionCount; ++q) {
        state.push_back("reveal " + std::to_string(q) + ": " + b.reveal(q));
    }
    state.push_back("score " + b.score() + ", code " + b.code());
    state.push_back("focus on " + std::to_string(GetDlgCtrlID(GetFocus())));
    return state;
}

// F1 makes its gradings without moving the focus; on random boards it must leave exactly
// what the focus-moving reading of the rule leaves. Two-answer quizzes whose answers are
// mostly the same word, so that F1 often solves questions: picture quizzes show and take
// back reveal texts and, in reveal mode 4, complete the quiz; a long text of wide letters
// scrolls a field to its 25th character when the field selects it.
TEST(AnswerField, F1LeavesWhatMovingTheFocusLeaves) {
    unsigned seed = GetTickCount();
    srand(seed);
    const char* longText = "Paris, WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
    const char* words[] = {"Paris", "paris ", "Pari", "Rome", "", "Anagramme sirap", longText};
    const int wordCount = sizeof words / sizeof words[0];
    int scrolledFields = 0;
    for (int run = 0; run < 12; ++run) {
        int quizType = run % 3 == 2 ? QUIZ_TEXT : QUIZ_PICTURE;
        int revealMode = run % 3 == 0 ? REVEAL_TEXT : REVEAL_ALL_TEXTS;
        std::vector<TestQuestion> questions;
        for (int q = 0; q < 4; ++q) {
            questions.push_back({rand() % 4 ? "Paris" : "Rome", rand() % 4 ? "Paris" : "Rome",
                                 "Question", q % 2 ? "Revelation B" : "Revelation A"});
        }
        std::vector<std::string> typed(8);
        std::vector<bool> graded(8);
        for (int k = 0; k < 8; ++k) {
            typed[k] = words[rand() % wordCount];
            graded[k] = rand() % 3 != 0;
        }
        int f1Field = 1 + rand() % 8;
        std::string f1Text = run % 2 ? longText : words[rand() % wordCount];
        std::vector<std::string> states[2];
        for (int way = 0; way < 2; ++way) {
            PlayerBoard b(makeQuiz(quizType, 2, revealMode, questions));
            for (int k = 1; k <= 8; ++k) {
                SetWindowTextA(b.field(k), typed[k - 1].c_str());
                if (graded[k - 1]) {
                    gradeAnswerField(b.quiz(), b.board(), answerFieldId(k));
                }
            }
            SetFocus(b.field(f1Field));
            SetWindowTextA(b.field(f1Field), f1Text.c_str());
            if (way == 0) {
                focusMovingTry(b.field(f1Field));
            } else {
                key(b.field(f1Field), WM_KEYUP, VK_F1);
                for (int k = 1; k <= 8; ++k) {
                    scrolledFields += SendMessageA(b.field(k), EM_GETFIRSTVISIBLELINE, 0, 0) > 0;
                }
            }
            states[way] = boardState(b);
        }
        ASSERT_EQ(states[1], states[0]) << "seed " << seed << ", run " << run << ", F1 in field "
                                        << f1Field << " with \"" << f1Text << "\"";
    }
    EXPECT_GT(scrolledFields, 0) << "no field was left scrolled: the comparison missed that part";
}

} // namespace
