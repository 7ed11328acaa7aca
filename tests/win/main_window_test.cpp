// The main window, its footer and its header panel, built in this process from real
// messages: geometry, texts, identifiers, fonts, colours, and what its messages do.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "progress/answers_file_win.h"
#include "resources/resource.h"
#include "tests/support/files.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/app_state_win.h"
#include "window/header_panel_win.h"
#include "window/main_window_win.h"
#include "window/shell_win.h"

using namespace test_support;

namespace {

Quiz* threeQuestionQuiz() {
    return makeQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING,
                    {{"Paris", "", "Capitale de la France ?", ""},
                     {"Rome", "", "Capitale de l'Italie ?", ""},
                     {"Berlin", "", "Capitale de l'Allemagne ?", ""}});
}

TEST(MainWindow, ClassWindowAndCentring) {
    PlayerWindows windows(threeQuestionQuiz(), PlayerWindows::MAIN_ONLY);
    HWND main = windows.main();
    ASSERT_NE(main, nullptr);

    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(g_app.instance, "WindowsApp", &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1));
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);

    EXPECT_EQ(textOf(main), "Quiz de test");
    EXPECT_EQ(styleOf(main) & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(GetWindowLongPtrA(main, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(main, WM_GETICON, ICON_BIG, 0)),
              LoadIconA(nullptr, IDI_QUESTION));

    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.right - r.left, 870);
    EXPECT_EQ(r.bottom - r.top, 650);

    centreWindow(main, GetDesktopWindow());
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, desktop.left + ((desktop.right - desktop.left) - 870) / 2);
    EXPECT_EQ(r.top, desktop.top + ((desktop.bottom - desktop.top) - 650) / 2);
    EXPECT_EQ(r.right - r.left, 870) << "centring must not resize";
    if (desktop.right - desktop.left == 1024 && desktop.bottom - desktop.top == 768) {
        EXPECT_EQ(r.left, 77);
        EXPECT_EQ(r.top, 59);
    }
}

// centreWindow over another window, including one smaller than the window itself. The
// centring arithmetic has its own table in the native tests; this row is its wiring.
TEST(MainWindow, CentreOverAnyReference) {
    struct Case {
        const char* what;
        RECT reference;
        int width, height;
        POINT expected;
    } cases[] = {
        // clang-format off
        {"window taller than the reference", {10, 10, 110, 110}, 100, 203, {10, -41}},
        // clang-format on
    };
    for (const Case& c : cases) {
        HWND reference = CreateWindowExA(0, "Static", "", WS_POPUP, c.reference.left,
                                         c.reference.top, c.reference.right - c.reference.left,
                                         c.reference.bottom - c.reference.top, nullptr, nullptr,
                                         nullptr, nullptr);
        HWND window = CreateWindowExA(0, "Static", "", WS_POPUP, 500, 500, c.width, c.height,
                                      nullptr, nullptr, nullptr, nullptr);
        centreWindow(window, reference);
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(r.left, c.expected.x) << c.what;
        EXPECT_EQ(r.top, c.expected.y) << c.what;
        EXPECT_EQ(r.right - r.left, c.width) << c.what;
        DestroyWindow(window);
        DestroyWindow(reference);
    }
}

TEST(MainWindow, FooterAndBoardFollowTheClientArea) {
    PlayerBoard windows(threeQuestionQuiz());
    HWND main = windows.main();
    HWND footer = GetDlgItem(main, ID_VERSION_FOOTER);
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(classOf(footer), "Static");
    EXPECT_EQ(textOf(footer), "R\xE9"
                              "alis\xE9 avec la version " QUIZZ_VERSION);
    EXPECT_EQ(styleOf(footer), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(fontOf(footer), guiFont());

    struct Case {
        const char* what;
        int width, height; // outer size given to the main window
    } cases[] = {
        // clang-format off
        {"as created", 870, 650},
        {"wider and shorter", 1000, 500},
        {"small", 400, 300},
        // clang-format on
    };
    for (const Case& c : cases) {
        SetWindowPos(main, nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        GetClientRect(main, &client);
        EXPECT_EQ(rectInParent(footer),
                  (PixelRect{client.right - 145, client.bottom - 16, 130, 15}))
            << c.what;
        EXPECT_EQ(rectInParent(windows.board()),
                  (PixelRect{5, 50, client.right - 11, client.bottom - 68}))
            << c.what;
    }
}

// The board is laid out as soon as it exists, before any resize reaches the main window.
TEST(MainWindow, BoardPlacedRightAfterCreation) {
    PlayerBoard windows(threeQuestionQuiz());
    ASSERT_NE(windows.board(), nullptr);
    EXPECT_FALSE(IsWindowVisible(windows.main()));
    RECT client;
    GetClientRect(windows.main(), &client);
    EXPECT_EQ(rectInParent(windows.board()),
              (PixelRect{5, 50, client.right - 11, client.bottom - 68}));
}

// The quizzes whose content size the native layout table does not already give.
TEST(MainWindow, BoardContentSizeFromTheCreationMessage) {
    struct Case {
        const char* what;
        int quizType, questionCount, answersPerQuestion, revealMode;
        int width, height;
    } cases[] = {
        // clang-format off
        {"text, 4 questions, two answers", QUIZ_TEXT, 4, 2, 0, 830, 225},
        {"picture, 2", QUIZ_PICTURE, 2, 2, 2, 830, 415},
        {"picture, 3, mode 3", QUIZ_PICTURE, 3, 1, 3, 890, 415},
        {"picture, 4, mode 2", QUIZ_PICTURE, 4, 1, 2, 890, 805},
        {"video, 3, two answers", QUIZ_VIDEO, 3, 2, 0, 980, 355},
        {"video, 4, mode 3", QUIZ_VIDEO, 4, 1, 3, 890, 805},
        {"audio, 4", QUIZ_AUDIO, 4, 2, 0, 980, 180},
        {"audio, 6", QUIZ_AUDIO, 6, 1, 0, 890, 180},
        // clang-format on
    };
    for (const Case& c : cases) {
        PlayerWindows windows(
            makeNumberedQuiz(c.quizType, c.answersPerQuestion, c.revealMode, c.questionCount),
            PlayerWindows::MAIN_ONLY);
        EXPECT_EQ(g_app.boardVirtualWidth, c.width) << c.what;
        EXPECT_EQ(g_app.boardVirtualHeight, c.height) << c.what;
    }
}

struct HeaderRow {
    int id;
    std::string text;
    DWORD style;
    PixelRect rect;
    enum { SYSTEM, GUI, LINK } font;
};

TEST(HeaderPanel, TwelveStaticsInOrder) {
    Quiz* quiz = threeQuestionQuiz();
    copyText(quiz->title, "Capitales d'Europe");
    copyText(quiz->creator, "L'\xE9quipe");
    copyText(quiz->explanation, "Trouvez la capitale.");
    PlayerWindows windows(quiz, PlayerWindows::MAIN_ONLY);
    HWND main = windows.main();
    const DWORD label = WS_CHILD | WS_VISIBLE;
    const DWORD frame = label | WS_BORDER;
    // clang-format off
    const HeaderRow rows[] = {
        {1, "", frame, {5, 2, 100, 24}, HeaderRow::SYSTEM},
        {2, "", frame, {5, 25, 100, 22}, HeaderRow::SYSTEM},
        {3, "", frame, {104, 2, 623, 45}, HeaderRow::SYSTEM},
        {4, "", frame, {726, 2, 130, 45}, HeaderRow::SYSTEM},
        {151, " Code :", label, {10, 29, 36, 15}, HeaderRow::GUI},
        {157, " xxxxxx", label, {47, 28, 55, 16}, HeaderRow::GUI},
        {150, " 0 / 3", label | SS_CENTER, {10, 5, 90, 18}, HeaderRow::SYSTEM},
        {154, kAuthorWebAddress, label | SS_NOTIFY, {736, 5, 115, 18}, HeaderRow::LINK},
        {150, "Par :", label, {736, 25, 27, 18}, HeaderRow::GUI},
        {150, "L'\xE9quipe", label, {763, 25, 85, 18}, HeaderRow::GUI},
        {150, "Capitales d'Europe", label, {110, 3, 220, 18}, HeaderRow::SYSTEM},
        {150, "Trouvez la capitale.", label, {110, 19, 580, 27}, HeaderRow::GUI},
    };
    // clang-format on
    // The footer plus the twelve.
    EXPECT_EQ(childCount(main), 13);
    for (const HeaderRow& row : rows) {
        HWND control = childWithText(main, row.id, row.text);
        ASSERT_NE(control, nullptr) << row.id << " [" << row.text << "]";
        EXPECT_EQ(classOf(control), "Static") << row.text;
        EXPECT_EQ(styleOf(control), row.style) << row.id << " [" << row.text << "]";
        EXPECT_EQ(GetWindowLongPtrA(control, GWL_EXSTYLE), 0) << row.text;
        EXPECT_EQ(rectInParent(control), row.rect) << row.id << " [" << row.text << "]";
        HFONT font = fontOf(control);
        switch (row.font) {
        case HeaderRow::SYSTEM:
            EXPECT_EQ(font, nullptr) << row.id << " [" << row.text << "] keeps the system font";
            break;
        case HeaderRow::GUI:
            EXPECT_EQ(font, guiFont()) << row.id << " [" << row.text << "]";
            break;
        case HeaderRow::LINK: {
            LOGFONTA info = {};
            ASSERT_EQ(GetObjectA(font, sizeof info, &info), static_cast<int>(sizeof info));
            EXPECT_EQ(info.lfHeight, -13) << "from the link's 18-pixel height";
            EXPECT_EQ(info.lfWeight, FW_NORMAL);
            EXPECT_TRUE(info.lfUnderline);
            EXPECT_FALSE(info.lfItalic);
            EXPECT_EQ(info.lfCharSet, 0);
            EXPECT_STREQ(info.lfFaceName, "");
            break;
        }
        }
    }
    // Looked up by identifier, 150 is the score box, created before the four others.
    EXPECT_EQ(rectInParent(GetDlgItem(main, ID_SCORE_BOX)), (PixelRect{10, 5, 90, 18}));
    EXPECT_EQ(itemText(main, ID_SCORE_BOX), " 0 / 3");
    EXPECT_EQ(itemText(main, ID_CODE_BOX), " xxxxxx");
}

TEST(HeaderPanel, ScoreTextBeforeAndAfterTheBoardGrades) {
    struct Case {
        int questionCount;
        const char* before;
        const char* after;
    } cases[] = {
        // clang-format off
        {0, " 0 / 0", " 0 / 0"},
        {3, " 0 / 3", " 0 / 3"},
        {90, " 0 / 90", " 0 / 90"},
        // clang-format on
    };
    WorkingFolder folder;
    for (const Case& c : cases) {
        Quiz* quiz = makeNumberedQuiz(QUIZ_TEXT, 1, 0, c.questionCount);
        PlayerWindows header(quiz, PlayerWindows::MAIN_ONLY);
        EXPECT_EQ(itemText(header.main(), ID_SCORE_BOX), c.before) << c.questionCount;
        EXPECT_EQ(itemText(header.main(), ID_CODE_BOX), " xxxxxx") << c.questionCount;
        // The board grades every field once: nothing solved blanks the code box.
        HWND board = createQuestionBoard(header.main());
        ASSERT_NE(board, nullptr);
        EXPECT_EQ(itemText(header.main(), ID_SCORE_BOX), c.after) << c.questionCount;
        EXPECT_EQ(itemText(header.main(), ID_CODE_BOX), c.questionCount > 0 ? "      " : " xxxxxx")
            << c.questionCount;
    }
}

TEST(HeaderPanel, LinkShowsTheHandOverEveryStatic) {
    PlayerWindows windows(threeQuestionQuiz(), PlayerWindows::MAIN_ONLY);
    HWND link = GetDlgItem(windows.main(), ID_WEB_LINK);
    HCURSOR hand = LoadCursorA(g_app.instance, MAKEINTRESOURCEA(IDC_LINK_HAND));
    ASSERT_NE(hand, nullptr) << "cursor resource 1003";
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(link, GCLP_HCURSOR)), hand);
    // The class cursor: any static of the program shows it.
    HWND other = GetDlgItem(windows.main(), ID_CODE_LABEL);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(other, GCLP_HCURSOR)), hand);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 6u);
    EXPECT_EQ(info.yHotspot, 0u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
}

struct ColourCase {
    int id;
    COLORREF brush;
    bool transparent;
    COLORREF text; // CLR_INVALID: left as the device context had it
};

TEST(MainWindow, StaticColours) {
    PlayerWindows windows(threeQuestionQuiz(), PlayerWindows::MAIN_ONLY);
    HWND main = windows.main();
    const COLORREF untouched = RGB(1, 2, 3);
    // clang-format off
    const ColourCase cases[] = {
        {1, RGB(128, 128, 255), true, untouched},
        {2, RGB(128, 128, 255), true, untouched},
        {3, RGB(128, 128, 255), true, untouched},
        {4, RGB(128, 128, 255), true, untouched},
        {150, RGB(128, 128, 255), true, untouched},
        {151, RGB(128, 128, 255), true, untouched},
        {157, RGB(128, 128, 255), true, untouched},
        {154, RGB(128, 128, 255), true, RGB(50, 50, 255)},
        {8000, RGB(212, 208, 200), true, RGB(0, 0, 0)},
    };
    // clang-format on
    HDC dc = CreateCompatibleDC(nullptr);
    for (const ColourCase& c : cases) {
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, untouched);
        HWND control = GetDlgItem(main, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(main, WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(control)));
        ASSERT_NE(brush, nullptr) << c.id;
        EXPECT_EQ(brushColour(brush), c.brush) << c.id;
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << c.id;
        EXPECT_EQ(GetTextColor(dc), c.text) << c.id;
        // Made once and kept: the next paint gets the same brush.
        HBRUSH again = reinterpret_cast<HBRUSH>(SendMessageA(main, WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(control)));
        EXPECT_EQ(again, brush) << c.id;
    }
    // A static of another identifier keeps the system's colours.
    HWND stranger = CreateWindowExA(0, "Static", "x", WS_CHILD, 0, 0, 10, 10, main,
                                    reinterpret_cast<HMENU>(77), nullptr, nullptr);
    SetBkMode(dc, OPAQUE);
    EXPECT_EQ(SendMessageA(main, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(stranger)),
              0);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    DestroyWindow(stranger);
    DeleteDC(dc);
}

// A stand-in board that records what the main window sends and posts it.
std::vector<std::pair<UINT, WPARAM>> gReceived;

LRESULT CALLBACK recordingBoardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_VSCROLL) {
        gReceived.push_back({message, wParam});
        EXPECT_EQ(lParam, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeRecordingBoard(HWND main) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA recorder = {};
        recorder.lpfnWndProc = recordingBoardProc;
        recorder.hInstance = GetModuleHandleA(nullptr);
        recorder.lpszClassName = "RecordingBoard";
        registered = RegisterClassA(&recorder) != 0;
    }
    return CreateWindowExA(0, "RecordingBoard", "", WS_CHILD, 0, 0, 10, 10, main, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST(MainWindow, KeysBecomeScrollRequests) {
    PlayerWindows windows(threeQuestionQuiz(), PlayerWindows::MAIN_ONLY);
    g_app.board = makeRecordingBoard(windows.main());
    struct Case {
        const char* key;
        WPARAM virtualKey;
        WPARAM request;
    } cases[] = {
        // clang-format off
        {"Page Up", VK_PRIOR, SB_PAGEUP},
        {"Page Down", VK_NEXT, SB_PAGEDOWN},
        {"End", VK_END, SB_BOTTOM},
        {"Home", VK_HOME, SB_TOP},
        {"Up", VK_UP, SB_LINEUP},
        {"Down", VK_DOWN, SB_LINEDOWN},
        {"Left", VK_LEFT, 0xFFFF},
        {"Right", VK_RIGHT, 0xFFFF},
        {"A", 'A', 0xFFFF},
        {"F1", VK_F1, 0xFFFF},
        // clang-format on
    };
    for (const Case& c : cases) {
        gReceived.clear();
        // Sent, not posted: the request is carried out before the key message returns.
        EXPECT_EQ(SendMessageA(windows.main(), WM_KEYDOWN, c.virtualKey, 0), 0) << c.key;
        ASSERT_EQ(gReceived.size(), 1u) << c.key;
        EXPECT_EQ(gReceived[0].second, c.request) << c.key;
    }
}

TEST(MainWindow, OnlyWholeWheelNotchesScroll) {
    PlayerWindows windows(threeQuestionQuiz(), PlayerWindows::MAIN_ONLY);
    g_app.board = makeRecordingBoard(windows.main());
    struct Case {
        short delta;
        int requests;
        WPARAM request;
    } cases[] = {
        // clang-format off
        {120, 1, SB_LINEUP},
        {-120, 1, SB_LINEDOWN},
        {240, 0, 0},
        {-240, 0, 0},
        {60, 0, 0},
        {-1, 0, 0},
        {0, 0, 0},
        {121, 0, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        gReceived.clear();
        SendMessageA(windows.main(), WM_MOUSEWHEEL, MAKEWPARAM(0, c.delta), MAKELPARAM(400, 300));
        EXPECT_TRUE(gReceived.empty()) << c.delta << ": the request is posted, not sent";
        pumpMessages();
        ASSERT_EQ(static_cast<int>(gReceived.size()), c.requests) << "delta " << c.delta;
        if (c.requests == 1) {
            EXPECT_EQ(gReceived[0].second, c.request) << "delta " << c.delta;
        }
    }
}

std::vector<std::string> gOpened;
void recordOpen(const char* address) {
    gOpened.push_back(address);
}

TEST(MainWindow, OnlyAClickOnTheLinkOpensTheAddress) {
    PlayerWindows windows(threeQuestionQuiz(), PlayerWindows::MAIN_ONLY);
    WebAddressOpener previous = g_app.openWebAddress;
    g_app.openWebAddress = recordOpen;
    HWND main = windows.main();
    HWND link = GetDlgItem(main, ID_WEB_LINK);
    struct Case {
        const char* what;
        WPARAM wParam;
        size_t opened;
    } cases[] = {
        // clang-format off
        {"STN_CLICKED from 154", MAKEWPARAM(ID_WEB_LINK, STN_CLICKED), 1},
        {"STN_DBLCLK from 154", MAKEWPARAM(ID_WEB_LINK, STN_DBLCLK), 0},
        {"another control", MAKEWPARAM(ID_CODE_BOX, STN_CLICKED), 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        gOpened.clear();
        SendMessageA(main, WM_COMMAND, c.wParam, reinterpret_cast<LPARAM>(link));
        EXPECT_EQ(gOpened.size(), c.opened) << c.what;
    }
    // A real click on the link: the static notifies its parent.
    gOpened.clear();
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(gOpened.size(), 1u);
    EXPECT_EQ(gOpened[0], kAuthorWebAddress);
    EXPECT_EQ(textOf(link), kAuthorWebAddress) << "the link shows what it opens";
    g_app.openWebAddress = previous;
}

// A quiz's own link replaces the program's address in the header, or hides the link.
TEST(MainWindow, TheQuizsOwnLinkShowsAndOpensItsAddressOrNothing) {
    WebAddressOpener previous = g_app.openWebAddress;
    g_app.openWebAddress = recordOpen;
    for (const char* address : {"https://ex.fr/quiz", ""}) {
        Quiz* quiz = threeQuestionQuiz();
        quiz->linkChoice = LINK_AUTHOR;
        copyText(quiz->link, address);
        PlayerWindows windows(quiz, PlayerWindows::MAIN_ONLY);
        HWND link = GetDlgItem(windows.main(), ID_WEB_LINK);
        ASSERT_NE(link, nullptr) << address;
        EXPECT_EQ(textOf(link), address);
        EXPECT_EQ((GetWindowLongA(link, GWL_STYLE) & WS_VISIBLE) != 0, address[0] != '\0')
            << address;
        gOpened.clear();
        SendMessageA(windows.main(), WM_COMMAND, MAKEWPARAM(ID_WEB_LINK, STN_CLICKED),
                     reinterpret_cast<LPARAM>(link));
        EXPECT_EQ(gOpened, address[0] != '\0' ? std::vector<std::string>{address}
                                              : std::vector<std::string>{})
            << address;
    }
    g_app.openWebAddress = previous;
}

TEST(MainWindow, CloseSavesDeletesTheClipAndQuits) {
    PlayerBoard windows(threeQuestionQuiz());
    writeFile("quizz.mp3", "ID3");
    SetWindowTextA(GetDlgItem(windows.board(), 4002), "Rome");

    EXPECT_EQ(SendMessageA(windows.main(), WM_CLOSE, 0, 0), 0);

    EXPECT_TRUE(IsWindow(windows.main())) << "the window stays until the loop has ended";
    EXPECT_FALSE(fileExists("quizz.mp3"));
    EXPECT_EQ(readFile(ownAnswersFile()), "*\r\nRome\r\n*\r\n");
    MSG quit;
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

TEST(MainWindow, CloseWithNothingTypedStillWritesTheFile) {
    PlayerBoard windows(threeQuestionQuiz());
    SendMessageA(windows.main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(readFile(ownAnswersFile()), "*\r\n*\r\n*\r\n");
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(MainWindow, EndingTheSessionSavesTheAnswers) {
    struct Case {
        const char* what;
        bool asked; // WM_QUERYENDSESSION comes first
        WPARAM ending;
        std::string expected;
    } cases[] = {
        {"asked, then the session ends", true, TRUE, "Paris\r\n*\r\n*\r\n"},
        // A forced shut-down may never deliver WM_ENDSESSION, so the question already saves.
        {"asked, then ending cancelled", true, FALSE, "Paris\r\n*\r\n*\r\n"},
        {"session ends without being asked", false, TRUE, "Paris\r\n*\r\n*\r\n"},
        {"ending cancelled without being asked", false, FALSE, "<missing>"},
    };
    for (const Case& c : cases) {
        PlayerBoard windows(threeQuestionQuiz());
        SetWindowTextA(GetDlgItem(windows.board(), 4001), "Paris");
        if (c.asked) {
            EXPECT_TRUE(SendMessageA(windows.main(), WM_QUERYENDSESSION, 0, 0)) << c.what;
        }
        SendMessageA(windows.main(), WM_ENDSESSION, c.ending, 0);
        EXPECT_EQ(readFile(ownAnswersFile()), c.expected) << c.what;
    }
}

} // namespace
