// The question board built in this process from dialog 1001: every control of every quiz
// kind with its identifier, class, style, text, font and position, and the answers restored
// from the answers file graded before anything is shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <algorithm>

#include "resources/resource.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/answer_field_win.h"
#include "window/app_state_win.h"
#include "window/board_controls_win.h"
#include "window/shell_win.h"

using namespace test_support;

namespace {

enum Font { NO_FONT, GUI_FONT };

struct ControlCase {
    const char* what;
    int id;
    const char* text; // for the shared identifiers 3000, 153 and 156; null: look up by id
    const char* className;
    DWORD style;
    PixelRect rect;
    Font font;
};

const DWORD kShown = WS_CHILD | WS_VISIBLE;
const DWORD kField = kShown | WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
const DWORD kVerdict = kShown | WS_BORDER | WS_TABSTOP | SS_CENTER;
const DWORD kNumber = kShown | SS_RIGHT;
const DWORD kButton = kShown | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_ICON;
const DWORD kPicture = kShown | WS_BORDER | SS_BITMAP | SS_CENTERIMAGE;
const DWORD kReveal = kShown | WS_TABSTOP | SS_CENTER;
const DWORD kQuestion = kShown | WS_BORDER | SS_CENTER;
const DWORD kHost = kShown | WS_BORDER;

void expectControls(HWND board, const ControlCase* cases, size_t count, const char* quiz) {
    for (size_t i = 0; i < count; ++i) {
        const ControlCase& c = cases[i];
        HWND control = c.text != nullptr && (c.id == ID_QUESTION_LABEL || c.id == ID_NUMBER_LABEL ||
                                             c.id == ID_COLUMN_LABEL)
                           ? childWithText(board, c.id, c.text)
                           : GetDlgItem(board, c.id);
        ASSERT_NE(control, nullptr) << quiz << ": " << c.what;
        EXPECT_EQ(classOf(control), c.className) << quiz << ": " << c.what;
        // The edit control draws its border itself and takes WS_BORDER out of the style.
        DWORD style = styleOf(control);
        if (c.style == kField) {
            style |= WS_BORDER;
        }
        EXPECT_EQ(style, c.style) << quiz << ": " << c.what << std::hex << " style 0x" << style;
        EXPECT_EQ(GetWindowLongPtrA(control, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE, 0)
            << quiz << ": " << c.what;
        EXPECT_EQ(rectInParent(control), c.rect) << quiz << ": " << c.what;
        if (c.text != nullptr) {
            EXPECT_EQ(textOf(control), c.text) << quiz << ": " << c.what;
        }
        if (c.className != std::string("Button")) {
            EXPECT_EQ(fontOf(control), c.font == GUI_FONT ? guiFont() : nullptr)
                << quiz << ": " << c.what;
        }
    }
}

TEST(Board, TextQuiz) {
    PlayerBoard b(makeQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING,
                           {{"Paris", "", "Capitale de la France ?", ""},
                            {"Rome", "", "Capitale de l'Italie ? (100% %d %s)", ""}}));
    // clang-format off
    const ControlCase cases[] = {
        {"q1 question", 3000, "Capitale de la France ?", "Static", kQuestion, {50, 10, 550, 20}, GUI_FONT},
        {"q1 number", 153, "1.", "Static", kNumber, {30, 13, 19, 17}, NO_FONT},
        {"q1 field", 4001, "", "Edit", kField, {615, 10, 100, 20}, GUI_FONT},
        {"q1 verdict", 5001, "?", "Static", kVerdict, {720, 9, 90, 20}, NO_FONT},
        {"q2 question, % as a character", 3000, "Capitale de l'Italie ? (100% %d %s)", "Static", kQuestion, {50, 35, 550, 20}, GUI_FONT},
        {"q2 number", 153, "2.", "Static", kNumber, {30, 38, 19, 17}, NO_FONT},
        {"q2 field", 4002, "", "Edit", kField, {615, 35, 100, 20}, GUI_FONT},
        {"q2 verdict", 5002, "?", "Static", kVerdict, {720, 34, 90, 20}, NO_FONT},
    };
    // clang-format on
    expectControls(b.board(), cases, sizeof cases / sizeof cases[0], "text");
    EXPECT_EQ(childCount(b.board()), 8);
}

TEST(Board, AudioQuizQuestionFive) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_AUDIO, 1, REVEAL_NOTHING, 5));
    // clang-format off
    const ControlCase cases[] = {
        {"q5 play", 6005, "", "Button", kButton, {320, 100, 20, 21}, NO_FONT},
        {"q5 stop", 7005, "", "Button", kButton, {320, 121, 20, 20}, NO_FONT},
        {"q5 number", 153, "5.", "Static", kNumber, {300, 102, 19, 17}, NO_FONT},
        {"q5 field", 4005, "", "Edit", kField, {340, 100, 220, 20}, GUI_FONT},
        {"q5 verdict", 5005, "?", "Static", kVerdict, {340, 119, 220, 20}, NO_FONT},
        {"q1 play", 6001, "", "Button", kButton, {30, 20, 20, 21}, NO_FONT},
    };
    // clang-format on
    expectControls(b.board(), cases, sizeof cases / sizeof cases[0], "audio");
    EXPECT_EQ(childCount(b.board()), 5 * 5);
    HICON play = LoadIconA(g_app.instance, MAKEINTRESOURCEA(IDI_PLAY));
    HICON stop = LoadIconA(g_app.instance, MAKEINTRESOURCEA(IDI_STOP));
    ASSERT_NE(play, nullptr);
    ASSERT_NE(stop, nullptr);
    for (int q = 1; q <= 5; ++q) {
        EXPECT_EQ(SendMessageA(GetDlgItem(b.board(), playButtonId(q)), BM_GETIMAGE, IMAGE_ICON, 0),
                  reinterpret_cast<LRESULT>(play))
            << "play " << q;
        EXPECT_EQ(SendMessageA(GetDlgItem(b.board(), stopButtonId(q)), BM_GETIMAGE, IMAGE_ICON, 0),
                  reinterpret_cast<LRESULT>(stop))
            << "stop " << q;
    }
}

// A video board builds its players as it goes, so the test hosts them as the program does.
TEST(Board, VideoQuizQuestionOne) {
    HMODULE atl = nullptr;
    ASSERT_TRUE(startVideoHosting(&atl)) << "atl.dll is not available";
    PlayerBoard b(makeNumberedQuiz(QUIZ_VIDEO, 1, REVEAL_NOTHING, 2));
    // clang-format off
    const ControlCase cases[] = {
        {"q1 host", 9901, "", "Static", kHost, {15, 30, 200, 150}, NO_FONT},
        {"q1 play", 6001, "", "Button", kButton, {15, 240, 20, 20}, NO_FONT},
        {"q1 stop", 7001, "", "Button", kButton, {15, 260, 20, 20}, NO_FONT},
        {"q1 field", 4001, "", "Edit", kField, {35, 240, 230, 20}, GUI_FONT},
        {"q1 verdict", 5001, "?", "Static", kVerdict, {35, 259, 230, 20}, NO_FONT},
        {"q1 number, partly left of the board", 153, "1.", "Static", kNumber, {-10, 244, 19, 17}, NO_FONT},
        {"q2 host", 9902, "", "Static", kHost, {305, 30, 200, 150}, NO_FONT},
    };
    // clang-format on
    expectControls(b.board(), cases, sizeof cases / sizeof cases[0], "video");
    // The hosted player adds a window of its own inside each host, not on the board.
    EXPECT_EQ(childCount(b.board()), 2 * 6);
    stopVideoHosting(b.main(), atl);
}

TEST(Board, PictureQuizRowsAndRevealLabels) {
    struct Case {
        int revealMode;
        int rowTwoY;
        bool revealLabels;
    } cases[] = {
        // clang-format off
        {0, 610, false},
        {1, 610, false},
        {2, 670, true},
        {3, 670, true},
        {4, 610, true},
        // clang-format on
    };
    for (const Case& mode : cases) {
        std::string quiz = "picture, mode " + std::to_string(mode.revealMode);
        PlayerBoard b(makeNumberedQuiz(QUIZ_PICTURE, 1, mode.revealMode, 4));
        HWND board = b.board();
        // The test program has no "IMG" resources: every cell is an empty bordered box.
        // clang-format off
        const ControlCase cases[] = {
            {"q2 picture cell", 9002, "", "Static", kPicture, {320, 20, 260, 260}, NO_FONT},
            {"q2 field", 4002, "", "Edit", kField, {320, 290, 260, 20}, GUI_FONT},
            {"q2 verdict", 5002, "?", "Static", kVerdict, {320, 309, 260, 20}, NO_FONT},
            {"q2 number", 153, "2.", "Static", kNumber, {300, 292, 19, 17}, NO_FONT},
            {"q4 starts row 2", 4004, "", "Edit", kField, {30, mode.rowTwoY + 10, 260, 20}, GUI_FONT},
            {"q4 picture cell", 9004, "", "Static", kPicture, {30, mode.rowTwoY - 260, 260, 260}, NO_FONT},
        };
        // clang-format on
        expectControls(board, cases, sizeof cases / sizeof cases[0], quiz.c_str());
        EXPECT_EQ(SendMessageA(GetDlgItem(board, 9002), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << quiz;
        if (mode.revealLabels) {
            const ControlCase reveal[] = {
                {"q2 reveal label", 8002, "", "Static", kReveal, {320, 336, 260, 65}, GUI_FONT},
            };
            expectControls(board, reveal, 1, quiz.c_str());
        } else {
            EXPECT_EQ(GetDlgItem(board, 8002), nullptr) << quiz;
        }
        EXPECT_EQ(childCount(board), 4 * (mode.revealLabels ? 5 : 4)) << quiz;
    }
}

TEST(Board, TwoAnswerPictureQuizQuestionFour) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_PICTURE, 2, REVEAL_NOTHING, 4));
    HWND board = b.board();
    // clang-format off
    const ControlCase cases[] = {
        {"q4 answer 1", 4007, "", "Edit", kField, {120, 620, 190, 21}, GUI_FONT},
        {"q4 answer 2", 4008, "", "Edit", kField, {120, 640, 190, 21}, GUI_FONT},
        {"q4 verdict 1", 5007, "?", "Static", kVerdict, {315, 621, 60, 17}, GUI_FONT},
        {"q4 verdict 2", 5008, "?", "Static", kVerdict, {315, 641, 60, 17}, GUI_FONT},
        {"q4 picture cell", 9004, "", "Static", kPicture, {120, 350, 260, 260}, NO_FONT},
    };
    // clang-format on
    expectControls(board, cases, sizeof cases / sizeof cases[0], "two-answer picture");
    // One pair of column labels per row of three questions.
    std::vector<HWND> labels = childrenWithId(board, ID_COLUMN_LABEL);
    ASSERT_EQ(labels.size(), 4u);
    std::vector<PixelRect> first, second;
    for (HWND label : labels) {
        EXPECT_EQ(styleOf(label), kShown);
        EXPECT_EQ(fontOf(label), guiFont());
        (textOf(label) == "Colonne un" ? first : second).push_back(rectInParent(label));
    }
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 2u);
    auto hasRect = [](const std::vector<PixelRect>& rects, PixelRect r) {
        for (const PixelRect& x : rects) {
            if (x == r) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(hasRect(first, {3, 292, 95, 20}));
    EXPECT_TRUE(hasRect(second, {3, 312, 95, 20}));
    EXPECT_TRUE(hasRect(first, {3, 622, 95, 20})) << "row of question 4";
    EXPECT_TRUE(hasRect(second, {3, 642, 95, 20})) << "row of question 4";
    EXPECT_EQ(childCount(board), 4 * 6 + 4);
}

TEST(Board, ColumnLabelsOfTheOtherKinds) {
    struct Case {
        const char* what;
        int quizType, questionCount;
        size_t labels;
        PixelRect firstRow;
        bool shown;
    } cases[] = {
        // clang-format off
        {"audio", QUIZ_AUDIO, 7, 6, {3, 25, 95, 20}, true},
        {"video", QUIZ_VIDEO, 1, 2, {3, 200, 95, 20}, true},
        {"text: beside the first question's fields", QUIZ_TEXT, 4, 4, {450, 13, 95, 20}, true},
        // clang-format on
    };
    for (const Case& c : cases) {
        PlayerBoard b(makeNumberedQuiz(c.quizType, 2, REVEAL_NOTHING, c.questionCount));
        std::vector<HWND> labels = childrenWithId(b.board(), ID_COLUMN_LABEL);
        EXPECT_EQ(labels.size(), c.labels) << c.what;
        HWND first = childWithText(b.board(), ID_COLUMN_LABEL, "Colonne un");
        ASSERT_NE(first, nullptr) << c.what;
        bool found = false;
        for (HWND label : labels) {
            found = found || (textOf(label) == "Colonne un" && rectInParent(label) == c.firstRow);
            EXPECT_EQ((styleOf(label) & WS_VISIBLE) != 0, c.shown) << c.what;
        }
        EXPECT_TRUE(found) << c.what << ": no first label at " << c.firstRow;
    }
}

TEST(Board, NoQuestionsNoControls) {
    int kinds[] = {QUIZ_TEXT, QUIZ_PICTURE, QUIZ_AUDIO, QUIZ_VIDEO};
    for (int kind : kinds) {
        for (int answers = 1; answers <= 2; ++answers) {
            PlayerBoard b(makeNumberedQuiz(kind, answers, REVEAL_TEXT, 0));
            ASSERT_NE(b.board(), nullptr);
            EXPECT_EQ(childCount(b.board()), 0) << "kind " << kind << ", answers " << answers;
        }
    }
}

TEST(Board, ControlsAreMadeQuestionByQuestionInOrder) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_AUDIO, 2, REVEAL_NOTHING, 2));
    std::vector<int> ids;
    for (HWND child = GetWindow(b.board(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ids.push_back(GetDlgCtrlID(child));
    }
    const std::vector<int> expected = {156,  156,  6001, 7001, 153,  4001, 5001, 4002,
                                       5002, 6002, 7002, 153,  4003, 5003, 4004, 5004};
    EXPECT_EQ(ids, expected);
}

TEST(Board, EveryFieldHasTheAnswerFieldProcedure) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_TEXT, 2, REVEAL_NOTHING, 3));
    ASSERT_NE(g_app.savedEditProc, nullptr);
    for (int k = 1; k <= 6; ++k) {
        HWND field = GetDlgItem(b.board(), answerFieldId(k));
        EXPECT_EQ(GetWindowLongPtrA(field, GWLP_WNDPROC),
                  reinterpret_cast<LONG_PTR>(answerFieldProc))
            << "field " << k;
    }
}

struct RestoreCase {
    const char* what;
    int answersPerQuestion;
    std::string file; // null-free bytes of the answers file; "<none>" for no file
    std::vector<std::string> fields;
    std::vector<std::string> verdicts;
    const char* score;
    const char* code;
};

// Three text questions (Paris, Rome, Berlin; second answers Seine, Tibre, Spree).
TEST(Board, RestoredAnswersAreGradedBeforeTheBoardIsShown) {
    const RestoreCase cases[] = {
        {"no file", 1, "<none>", {"", "", ""}, {"?", "?", "?"}, " 0 / 3", "      "},
        {"one right, one near, one empty",
         1,
         "paris\r\nRom\r\n*\r\n",
         {"paris", "Rom", ""},
         {"BRAVO", "Quasiment", "?"},
         " 1 / 3",
         "CODE1"},
        {"all right, blanks around one",
         1,
         "Paris\r\n  rome \r\nBERLIN\r\n",
         {"Paris", "  rome ", "BERLIN"},
         {"BRAVO", "BRAVO", "BRAVO"},
         " 3 / 3",
         "CODE3"},
        {"fewer lines than fields, last without line end",
         1,
         "*\r\nRome",
         {"", "Rome", ""},
         {"?", "BRAVO", "?"},
         " 1 / 3",
         "CODE1"},
        {"a field holding a star is read back empty",
         1,
         "*\r\n*\r\n*\r\n",
         {"", "", ""},
         {"?", "?", "?"},
         " 0 / 3",
         "      "},
        {"two answers: both right solves, one right does not",
         2,
         "Paris\r\nSeine\r\nRome\r\nPo\r\n*\r\nSpree\r\nextra line\r\n",
         {"Paris", "Seine", "Rome", "Po", "", "Spree"},
         {"BRAVO", "BRAVO", "BRAVO", "FAUX", "?", "BRAVO"},
         " 1 / 3",
         "CODE1"},
    };
    for (const RestoreCase& c : cases) {
        PlayerBoard b(makeQuiz(QUIZ_TEXT, c.answersPerQuestion, REVEAL_NOTHING,
                               {{"Paris", "Seine", "France", ""},
                                {"Rome", "Tibre", "Italie", ""},
                                {"Berlin", "Spree", "Allemagne", ""}}),
                      c.file == "<none>" ? nullptr : c.file.c_str());
        EXPECT_FALSE(IsWindowVisible(b.board())) << c.what;
        for (size_t k = 1; k <= c.fields.size(); ++k) {
            EXPECT_EQ(itemText(b.board(), answerFieldId(static_cast<int>(k))), c.fields[k - 1])
                << c.what << ", field " << k;
            EXPECT_EQ(itemText(b.board(), verdictLabelId(answerFieldId(static_cast<int>(k)))),
                      c.verdicts[k - 1])
                << c.what << ", verdict " << k;
        }
        EXPECT_EQ(itemText(b.main(), ID_SCORE_BOX), c.score) << c.what;
        EXPECT_EQ(itemText(b.main(), ID_CODE_BOX), c.code) << c.what;
    }
}

} // namespace

namespace {

// Grading and scoring find the board's fields and labels through a remembered table; it
// must answer as GetDlgItem does for every numbered identifier, also after a control went
// away and on the next board made in the same process.
TEST(Board, RememberedControlsAnswerAsGetDlgItem) {
    struct Case {
        const char* what;
        int quizType, answers, revealMode, count;
    } cases[] = {
        // clang-format off
        {"text, two answers", QUIZ_TEXT, 2, 0, 30},
        {"pictures with reveal texts", QUIZ_PICTURE, 1, 2, 12},
        {"audio", QUIZ_AUDIO, 1, 0, 4},
        // clang-format on
    };
    auto expectSameAsGetDlgItem = [](HWND board, const char* what) {
        for (int base : {ID_ANSWER_FIELD_BASE, ID_VERDICT_LABEL_BASE, ID_REVEAL_LABEL_BASE}) {
            for (int id = base; id <= base + 2 * kMaxQuestions + 1; ++id) {
                ASSERT_EQ(boardControl(board, id), GetDlgItem(board, id)) << what << ": " << id;
            }
        }
    };
    for (const Case& c : cases) {
        PlayerBoard b(makeNumberedQuiz(c.quizType, c.answers, c.revealMode, c.count));
        HWND board = b.board();
        expectSameAsGetDlgItem(board, c.what);
        DestroyWindow(GetDlgItem(board, ID_ANSWER_FIELD_BASE + 3));
        DestroyWindow(GetDlgItem(board, ID_VERDICT_LABEL_BASE + 2));
        expectSameAsGetDlgItem(board, c.what);
        EXPECT_EQ(boardControl(board, ID_ANSWER_FIELD_BASE + 3), nullptr) << c.what;
    }
}

// The real two-answer text board, as the player shows it: its question labels, column
// labels, fields and verdict labels keep clear of each other (bordered controls may share
// a border line, as stacked fields do).
TEST(Board, TwoAnswerTextControlsKeepClearOfEachOther) {
    PlayerBoard windows(makeNumberedQuiz(QUIZ_TEXT, 2, REVEAL_NOTHING, 4));
    std::vector<std::pair<int, PixelRect>> placed;
    for (HWND child = GetWindow(windows.board(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if ((styleOf(child) & WS_VISIBLE) != 0 && id != ID_NUMBER_LABEL) {
            placed.push_back({id, rectInParent(child)});
        }
    }
    ASSERT_EQ(placed.size(), 4u * 5 + 4);
    for (size_t i = 0; i < placed.size(); ++i) {
        for (size_t j = i + 1; j < placed.size(); ++j) {
            const PixelRect& a = placed[i].second;
            const PixelRect& b = placed[j].second;
            int across = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
            int down = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
            EXPECT_FALSE(across > 1 && down > 1)
                << placed[i].first << " at " << a << " and " << placed[j].first << " at " << b;
        }
    }
}

} // namespace
