// quizpack studio without a network: who is admitted, what hostile requests get (and that
// they write nothing), saving over a description the studio did not write, conflicts, and
// media kept inside the quiz folder.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "quizpack/studio/quiz_document.h"
#include "quizpack/studio/quiz_folders.h"
#include "quizpack/studio/routes.h"
#include "quizpack/studio/studio_messages.h"

namespace {

using namespace authoring_test;
using namespace test_support;
using json = nlohmann::json;

const StudioAccess kAccess{4321, std::string(64, 'a')};
const std::string kCookie = "quizz-studio-4321=" + std::string(64, 'a');

struct AdmissionRow {
    const char* what;
    const char* method;
    std::string target, host, cookie, origin, header, type;
    int status; // 0: admitted
};

TEST(StudioAdmission, RefusesWhatDoesNotComeFromItsOwnPage) {
    const std::string ok = "127.0.0.1:4321", json = "application/json";
    // clang-format off
    const AdmissionRow rows[] = {
        {"token in the query",          "GET",  "/?token=" + kAccess.token, ok, "", "", "", "", 0},
        {"token in the cookie",         "GET",  "/api/session", "localhost:4321", kCookie, "", "", "", 0},
        {"HEAD with the cookie",        "HEAD", "/", ok, kCookie, "", "", "", 0},
        {"no token",                    "GET",  "/", ok, "", "", "", "", 403},
        {"a wrong token",               "GET",  "/?token=" + std::string(64, 'b'), ok, "", "", "", "", 403},
        {"a shorter token",             "GET",  "/?token=aaaa", ok, "", "", "", "", 403},
        {"another host (rebinding)",    "GET",  "/", "evil.example:4321", kCookie, "", "", "", 403},
        {"another port",                "GET",  "/", "127.0.0.1:80", kCookie, "", "", "", 403},
        {"no host",                     "GET",  "/", "", kCookie, "", "", "", 403},
        {"the token only in a POST query", "POST", "/api/quit?token=" + kAccess.token, ok, "", "", "1", json, 403},
        {"a save of the page",          "PUT",  "/api/quiz", ok, kCookie, "http://127.0.0.1:4321", "1", json, 0},
        {"a foreign origin",            "POST", "/api/quit", ok, kCookie, "http://evil.example", "1", json, 403},
        {"a localhost origin",          "POST", "/api/quit", ok, kCookie, "http://localhost:4321", "1", json, 0},
        {"no studio header (a form)",   "POST", "/api/quit", ok, kCookie, "", "", "application/x-www-form-urlencoded", 403},
        {"plain text",                  "POST", "/api/quit", ok, kCookie, "", "1", "text/plain", 415},
        {"multipart",                   "POST", "/api/media", ok, kCookie, "", "1", "multipart/form-data; boundary=x", 0},
        {"DELETE",                      "DELETE", "/api/quiz", ok, kCookie, "", "1", json, 405},
    };
    // clang-format on
    for (const AdmissionRow& row : rows) {
        Request r;
        r.method = row.method;
        r.target = row.target;
        r.headers["host"] = row.host;
        for (auto [name, value] : {std::pair<const char*, std::string>{"cookie", row.cookie},
                                   {"origin", row.origin},
                                   {"x-quizz-studio", row.header},
                                   {"content-type", row.type}}) {
            if (!value.empty()) {
                r.headers[name] = value;
            }
        }
        std::optional<Response> refused = admit(r, kAccess);
        EXPECT_EQ(refused ? refused->status : 0, row.status) << row.what;
    }
}

// A studio on a folder of the test's own, asked as its page asks.
class StudioOnFolder : public testing::Test {
  protected:
    TempFolder dir{"studio"};
    std::unique_ptr<StudioState> state;
    std::unique_ptr<Studio> studio;

    void open(const fs::path& place) {
        state = std::make_unique<StudioState>(studioPlaceOf(place));
        studio = std::make_unique<Studio>(Studio{kAccess, *state});
    }
    Response ask(const std::string& method, const std::string& target, const std::string& body = "",
                 const std::string& type = "application/json") {
        Request r;
        r.method = method;
        r.target = target;
        r.headers = {{"host", "127.0.0.1:4321"},
                     {"cookie", kCookie},
                     {"x-quizz-studio", "1"},
                     {"content-type", type}};
        r.body = body;
        return handleRequest(r, *studio);
    }
    json askJson(const std::string& method, const std::string& target, const json& body = {}) {
        return json::parse(ask(method, target, body.dump()).body);
    }
    Response upload(const std::string& fileName, const Bytes& bytes, const char* role = "picture") {
        std::string body = "--b\r\nContent-Disposition: form-data; name=\"question\"\r\n\r\n1\r\n"
                           "--b\r\nContent-Disposition: form-data; name=\"role\"\r\n\r\n" +
                           std::string(role) +
                           "\r\n--b\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
                           fileName + "\"\r\nContent-Type: image/jpeg\r\n\r\n" + asText(bytes) +
                           "\r\n--b--\r\n";
        return ask("POST", "/api/media", body, "multipart/form-data; boundary=b");
    }
};

TEST_F(StudioOnFolder, HostileUploadsAreRefusedAndWriteNothing) {
    writeFile(dir / "quiz.toml", "kind = \"picture\"\n\n[[question]]\nanswers = [\"A\"]\n");
    open(dir.path());
    const std::vector<std::string> before = listFiles(dir.path());
    struct {
        const char* what;
        std::string name;
        Bytes bytes;
        const char* role;
        int status;
    } rows[] = {
        {"a traversal name", "../../evil.jpg", jpegPicture(8, 8), "picture", 400},
        {"an absolute name", "/tmp/evil.jpg", jpegPicture(8, 8), "picture", 400},
        {"a Windows path", "C:\\evil.jpg", jpegPicture(8, 8), "picture", 400},
        {"no name", "", jpegPicture(8, 8), "picture", 400},
        {"no picture", "q.jpg", asBytes("GIF? no, text"), "picture", 415},
        {"a clip in a picture quiz", "q.mp3", mp3Clip(), "clip", 400},
        {"an unknown role", "q.jpg", jpegPicture(8, 8), "quiz.toml", 400},
        {"empty", "q.jpg", {}, "picture", 400},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(upload(row.name, row.bytes, row.role).status, row.status) << row.what;
    }
    EXPECT_EQ(ask("POST", "/api/media", "--b\r\nno end", "multipart/form-data; boundary=b").status,
              400);
    EXPECT_EQ(listFiles(dir.path()), before) << "nothing written";

    Response stored = upload("Photo de vacances.jpg", jpegPicture(8, 8));
    ASSERT_EQ(stored.status, 200) << stored.body;
    EXPECT_EQ(json::parse(stored.body)["path"], "media/q01.jpg") << "a name the studio makes";
    EXPECT_EQ(json::parse(upload("autre.jpg", jpegPicture(8, 8)).body)["path"], "media/q01.jpg")
        << "the same bytes are one file";
    EXPECT_EQ(json::parse(upload("x.jpg", jpegPicture(9, 8)).body)["path"], "media/q01-2.jpg")
        << "a taken name is never written over";
}

TEST_F(StudioOnFolder, ImportsATableOfQuestionsAsTheDescriptionReadsIt) {
    writeFile(dir / "quiz.toml", "kind = \"text\"\nanswers_per_question = 2\n");
    open(dir.path());
    const std::string csv = "\xEF\xBB\xBF"
                            "answer;answer2;text\r\nParis;France;Capitale ?\r\n"
                            "\"Rome; Italie\";Italie;\r\n";
    std::string body =
        "--b\r\nContent-Disposition: form-data; name=\"file\"; filename=\"q.csv\"\r\n\r\n" + csv +
        "\r\n--b--\r\n";
    json table =
        json::parse(ask("POST", "/api/table", body, "multipart/form-data; boundary=b").body);
    EXPECT_EQ(table["questions"],
              json::parse(R"([{"answers": ["Paris", "France"], "text": "Capitale ?"},
                              {"answers": ["Rome; Italie", "Italie"]}])"))
        << table.dump();
    body = "--b\r\nContent-Disposition: form-data; name=\"file\"; filename=\"q.csv\"\r\n\r\n"
           "text;clip\r\nx;y\r\n--b--\r\n";
    EXPECT_EQ(ask("POST", "/api/table", body, "multipart/form-data; boundary=b").status, 400)
        << "no answer column";
}

TEST_F(StudioOnFolder, ReadsNoFileOutsideTheQuizFolder) {
    fs::create_directories(dir / "quiz" / "media");
    writeBytes(dir / "secret.jpg", jpegPicture(16, 16));
    fs::create_symlink(dir / "secret.jpg", dir / "quiz" / "link.jpg");
    writeFile(dir / "quiz" / "quiz.toml", "kind = \"picture\"\n");
    open(dir / "quiz");
    for (const std::string& path :
         std::vector<std::string>{"../secret.jpg", (dir / "secret.jpg").string(), "link.jpg",
                                  "media/../../secret.jpg"}) {
        json quiz = {{"settings", {{"kind", "picture"}}},
                     {"questions", {{{"answers", {"A"}}, {"picture", path}}}}};
        json saved = askJson("GET", "/api/session");
        saved = askJson("PUT", "/api/quiz", {{"revision", saved["revision"]}, {"quiz", quiz}});
        std::string problems = saved["diagnostics"].dump();
        std::string refused = studioMessage(StudioText::OutsideFolder, {{"path", path}});
        EXPECT_NE(problems.find(json(refused).dump()), std::string::npos) << path << problems;
        EXPECT_EQ(ask("GET", "/api/picture?path=" + path).status, 404) << path;
        EXPECT_EQ(ask("POST", "/api/build", "{}").status, 409) << path << ": not built";
    }
}

TEST_F(StudioOnFolder, KeepsTheAuthorsOriginalOnceAndAsksBeforeOverwritingAChangeOnDisk) {
    const std::string handWritten = "# Mon quiz, \xC3\xA9"
                                    "crit \xC3\xA0 la main\n"
                                    "title = \"Capitales\"\nkind = \"text\"\ncodes = [\"AB\"]\n"
                                    "\n[[question]]\ntext = \"France ?\"\nanswers = [\"Paris\"]\n";
    writeFile(dir / "quiz.toml", handWritten);
    open(dir / "quiz.toml");
    json session = askJson("GET", "/api/session");
    ASSERT_TRUE(session["editable"]) << session.dump();
    EXPECT_EQ(session["quiz"]["questions"][0]["answers"][0], "Paris");

    json quiz = session["quiz"];
    quiz["settings"]["title"] = "Capitales d'Europe";
    json saved = askJson("PUT", "/api/quiz", {{"revision", session["revision"]}, {"quiz", quiz}});
    EXPECT_EQ(saved["notices"].size(), 1u) << saved.dump();
    EXPECT_EQ(readFile(dir / "quiz.toml.orig"), handWritten);
    EXPECT_NE(readFile(dir / "quiz.toml").find("Capitales d'Europe"), std::string::npos);
    quiz["settings"]["creator"] = "Moi";
    saved = askJson("PUT", "/api/quiz", {{"revision", saved["revision"]}, {"quiz", quiz}});
    EXPECT_TRUE(saved["notices"].empty()) << "said once";
    EXPECT_EQ(dir.names("quiz.toml.orig*").size(), 1u);

    // A save from an older revision (another tab), then one over a change made on disk.
    EXPECT_EQ(askJson("PUT", "/api/quiz", {{"revision", 1}, {"quiz", quiz}})["conflict"], "tab");
    writeFile(dir / "quiz.toml", "title = \"Chang\xC3\xA9 ailleurs\"\nkind = \"text\"\n");
    long long revision = saved["revision"];
    EXPECT_EQ(askJson("GET", "/api/status")["changedOnDisk"], true);
    EXPECT_EQ(askJson("PUT", "/api/quiz", {{"revision", revision}, {"quiz", quiz}})["conflict"],
              "disk");
    EXPECT_NE(readFile(dir / "quiz.toml").find("ailleurs"), std::string::npos) << "not overwritten";
    saved = askJson("PUT", "/api/quiz", {{"revision", revision}, {"quiz", quiz}, {"force", true}});
    EXPECT_NE(readFile(dir / "quiz.toml.orig-2").find("ailleurs"), std::string::npos)
        << saved.dump();
    EXPECT_EQ(askJson("POST", "/api/reload")["quiz"]["settings"]["creator"], "Moi");
}

TEST(StudioDocument, WhatItWritesItReadsBackAsItsOwn) {
    json quiz = {{"settings",
                  {{"title", "Quiz \"1\""},
                   {"kind", "text"},
                   {"answers_per_question", 2},
                   {"labels", {"Un", "Deux"}},
                   {"codes", {"A", "B"}}}},
                 {"questions",
                  {{{"answers",
                     {"Paris | Lut\xC3\xA8"
                      "ce",
                      "x"}},
                    {"text", "Q ?"}}}}};
    std::string text = writeStudioDescription(quiz);
    LoadedDescription loaded = loadStudioDescription(text, ".");
    EXPECT_TRUE(loaded.editable && loaded.writtenByStudio) << text;
    EXPECT_EQ(loaded.quiz, quiz) << text;
    // clang-format off
    const struct { const char* text; bool editable; } rows[] = {
        {"title = 5\n", false},
        {"codes = \"AB\"\n", false},
        {"[[question]]\nanswers = \"Paris\"\n", false},
        {"title = \"unclosed\n", false},
        {"titel = \"typo\"\n", true},
    };
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(loadStudioDescription(row.text, ".").editable, row.editable) << row.text;
    }
    EXPECT_EQ(loadStudioDescription("titel = \"x\"\n", ".").droppedKeys,
              std::vector<std::string>{"titel"});
    EXPECT_EQ(loadStudioDescription("[grading]\ncase = \"any\"\nacents = \"optional\"\n", ".")
                  .droppedKeys,
              std::vector<std::string>{"grading.acents"});
}

TEST(StudioDocument, NamesANewQuizsFolderSafely) {
    const std::pair<const char*, const char*> rows[] = {
        {"Capitales d'Europe", "Capitales-d-Europe"},
        {"  \xC3\x89t\xC3\xA9 \xC3\xA0 Paris !", "Ete-a-Paris"},
        {"../../etc", "etc"},
        {"CON:*?", "CON-quiz"},
        {"lpt1", "lpt1-quiz"},
        {"\xC5\x92uvres \xE2\x80\x94 No\xC3\xABl \xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "OEuvres-Noel-od"},
        {"???", ""},
    };
    for (const auto& [title, name] : rows) {
        EXPECT_EQ(quizFolderName(title), name) << title;
    }
}

} // namespace
