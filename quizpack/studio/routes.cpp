#include "quizpack/studio/routes.h"

#include <cstdlib>
#include <cstring>
#include <functional>

#include "quizpack/common/file_io.h"
#include "quizpack/studio/studio_fields.h"
#include "quizpack/studio/studio_messages.h"

using json = nlohmann::json;

namespace {

// JSON bodies: a whole quiz is well under this; anything larger is not from the editor.
constexpr size_t kMaxJsonBytes = 4u << 20;
constexpr int kMaxJsonDepth = 16;

const char kEditorPolicy[] =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "media-src 'self'; connect-src 'self'; frame-src 'self'; form-action 'none'; "
    "base-uri 'none'; frame-ancestors 'none'";
// The preview is the exported page, whose own policy sits in its <meta>; this adds what a
// <meta> cannot say: only the studio may frame it.
const char kPreviewPolicy[] =
    "default-src 'none'; script-src 'unsafe-inline' 'wasm-unsafe-eval'; style-src "
    "'unsafe-inline'; img-src data:; media-src blob:; base-uri 'none'; form-action 'none'; "
    "frame-ancestors 'self'";

Response fromReply(const StudioReply& reply) {
    return jsonResponse(reply.status, jsonText(reply.body));
}

Response asset(const char* type, const WebAsset& file) {
    Response r;
    r.set("Content-Type", type);
    r.body.assign(file.text());
    return r;
}

// Nesting deeper than any quiz needs is refused before the parser sees it.
bool shallow(const std::string& body) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (inString) {
            i += c == '\\';
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxJsonDepth) {
                return false;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

// Answers the request with `handle` given its JSON object, or says why it has none.
Response withJson(const Request& request, const std::function<StudioReply(const json&)>& handle) {
    if (request.body.size() > kMaxJsonBytes) {
        return errorResponse(
            413, studioMessage(StudioText::TooLarge, {{"limit", formatSize(kMaxJsonBytes)}}));
    }
    json body = shallow(request.body) ? json::parse(request.body, nullptr, false) : json();
    if (!body.is_object()) {
        return errorResponse(
            400, studioMessage(StudioText::BadJson, {{"why", "a JSON object was expected"}}));
    }
    return fromReply(handle(body));
}

std::string textOf(const json& body, const char* key) {
    return body.contains(key) && body[key].is_string() ? body[key].get<std::string>() : "";
}

long long numberOf(const json& body, const char* key) {
    return body.contains(key) && body[key].is_number_integer() ? body[key].get<long long>() : 0;
}

// ---- the page -----------------------------------------------------------------------------

// The editor; on the first visit, with the token in the address, it sets the cookie and
// sends the browser to the address without it.
Response editorPage(const Request& request, Studio& studio) {
    if (!request.query("token").empty()) {
        Response r;
        r.status = 303;
        r.set("Location", "/");
        r.set("Set-Cookie", studioCookieName(studio.access) + "=" + studio.access.token +
                                "; HttpOnly; SameSite=Strict; Path=/");
        return r;
    }
    std::string fields = jsonText(studioFieldsJson());
    for (size_t at = 0; (at = fields.find('<', at)) != std::string::npos;) {
        fields.replace(at, 1, "\\u003c");
    }
    std::string page(kStudioPage.text());
    const char marker[] = "@FIELDS@";
    size_t at = page.find(marker);
    if (at != std::string::npos) {
        page.replace(at, std::strlen(marker), fields);
    }
    Response r;
    r.set("Content-Type", "text/html; charset=utf-8");
    r.set("Content-Security-Policy", kEditorPolicy);
    r.body = std::move(page);
    return r;
}

Response editorScript(const Request&, Studio&) {
    return asset("text/javascript; charset=utf-8", kStudioScript);
}

Response editorStyle(const Request&, Studio&) {
    return asset("text/css; charset=utf-8", kStudioStyle);
}

// Shown in the preview while the quiz has errors: the page cannot be made of it.
const char kNoPreview[] =
    "<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\"><title>Aper\u00e7u</title>"
    "</head><body style=\"font-family: sans-serif; color: #5b6476; padding: 24px\">"
    "<p>Corrigez les erreurs du quiz pour en voir l\u2019aper\u00e7u.</p></body></html>";

Response preview(const Request&, Studio& studio) {
    Response r;
    r.body = studio.state.previewPage();
    if (r.body.empty()) {
        r.body = kNoPreview;
    }
    r.set("Content-Type", "text/html; charset=utf-8");
    r.set("Content-Security-Policy", kPreviewPolicy);
    return r;
}

Response picture(const Request& request, Studio& studio) {
    std::shared_ptr<const WebMedia> media = studio.state.picture(request.query("path"));
    if (!media) {
        return errorResponse(
            404, studioMessage(StudioText::NotFound, {{"path", request.query("path")}}));
    }
    Response r;
    r.set("Content-Type", media->mime);
    r.body.assign(media->bytes.begin(), media->bytes.end());
    return r;
}

// ---- the list and the quiz ----------------------------------------------------------------

Response session(const Request&, Studio& studio) {
    return fromReply(studio.state.session());
}

Response status(const Request&, Studio& studio) {
    return fromReply(studio.state.status());
}

Response showList(const Request&, Studio& studio) {
    return fromReply(studio.state.showList());
}

Response openQuiz(const Request& request, Studio& studio) {
    return withJson(request,
                    [&](const json& body) { return studio.state.openQuiz(textOf(body, "name")); });
}

Response newQuiz(const Request& request, Studio& studio) {
    return withJson(request, [&](const json& body) {
        return studio.state.createQuiz(textOf(body, "title"), textOf(body, "kind"));
    });
}

Response save(const Request& request, Studio& studio) {
    return withJson(request, [&](const json& body) {
        bool force = body.contains("force") && body["force"] == true;
        return studio.state.save(body.contains("quiz") ? body["quiz"] : json(),
                                 numberOf(body, "revision"), force);
    });
}

Response reload(const Request&, Studio& studio) {
    return fromReply(studio.state.reload());
}

Response tryAnswer(const Request& request, Studio& studio) {
    return withJson(request, [&](const json& body) {
        return studio.state.tryAnswer(static_cast<int>(numberOf(body, "question")),
                                      static_cast<int>(numberOf(body, "field")),
                                      textOf(body, "typed"));
    });
}

// ---- files sent by the page ---------------------------------------------------------------

std::string formValue(const std::vector<FormPart>& parts, const char* name) {
    for (const FormPart& p : parts) {
        if (!p.isFile && p.name == name) {
            return p.data;
        }
    }
    return "";
}

// Answers the request with `handle` given its form's parts and its file, or says why it has
// none: a body that is not a well-formed form, or no file in it.
Response withFile(const Request& request,
                  const std::function<StudioReply(const std::vector<FormPart>& parts,
                                                  const FormPart& file)>& handle) {
    std::vector<FormPart> parts;
    std::string why;
    if (!parseFormData(request.header("content-type"), request.body, &parts, &why)) {
        return errorResponse(400, studioMessage(StudioText::UploadMalformed, {{"why", why}}));
    }
    for (const FormPart& p : parts) {
        if (p.isFile && p.name == "file") {
            return fromReply(handle(parts, p));
        }
    }
    return errorResponse(400, studioMessage(StudioText::UploadNoFile));
}

Response storeMedia(const Request& request, Studio& studio) {
    return withFile(request, [&](const std::vector<FormPart>& parts, const FormPart& file) {
        return studio.state.storeMedia(std::atoi(formValue(parts, "question").c_str()),
                                       formValue(parts, "role"), file.fileName,
                                       std::vector<uint8_t>(file.data.begin(), file.data.end()));
    });
}

Response importTable(const Request& request, Studio& studio) {
    return withFile(request, [&](const std::vector<FormPart>&, const FormPart& file) {
        return studio.state.importTable(file.fileName, file.data);
    });
}

// ---- building, exporting, quitting --------------------------------------------------------

Response startBuild(const Request&, Studio& studio) {
    return fromReply(studio.state.startJob(JobKind::Executable));
}

Response startExport(const Request&, Studio& studio) {
    return fromReply(studio.state.startJob(JobKind::Page));
}

Response buildState(const Request&, Studio& studio) {
    return fromReply(studio.state.job(JobKind::Executable));
}

Response exportState(const Request&, Studio& studio) {
    return fromReply(studio.state.job(JobKind::Page));
}

// A file the studio made, as the body of `type`; 404 when there is none (yet).
Response madeFile(const std::filesystem::path& file, const char* type) {
    Response r;
    try {
        std::vector<uint8_t> bytes = readWholeFile(file);
        r.body.assign(bytes.begin(), bytes.end());
    } catch (const FileError&) {
        return errorResponse(404, studioMessage(StudioText::NothingBuilt));
    }
    r.set("Content-Type", type);
    return r;
}

Response download(Studio& studio, JobKind kind, const char* type) {
    std::filesystem::path file = studio.state.jobOutput(kind);
    Response r = madeFile(file, type);
    if (r.status != 200) {
        return r;
    }
    // The name the command gave it, after the quiz's title; in ASCII for the header.
    std::string name = file.filename().u8string();
    std::string ascii;
    for (char c : name) {
        ascii += c > 0x20 && c < 0x7F && c != '"' && c != '\\' ? c : '_';
    }
    r.set("Content-Disposition", "attachment; filename=\"" + ascii + "\"");
    return r;
}

Response downloadExecutable(const Request&, Studio& studio) {
    return download(studio, JobKind::Executable, "application/vnd.microsoft.portable-executable");
}

Response downloadPage(const Request&, Studio& studio) {
    return download(studio, JobKind::Page, "text/html; charset=utf-8");
}

Response writeKey(const Request&, Studio& studio) {
    return fromReply(studio.state.writeKey());
}

// The key as quizpack key wrote it, to read and print in a tab of its own. Its own <meta>
// policy lets in only its style and its data: thumbnails; this one adds that nothing may
// frame it.
Response showKey(const Request&, Studio& studio) {
    Response r = madeFile(studio.state.keyPage(), "text/html; charset=utf-8");
    r.set("Content-Security-Policy", "default-src 'none'; img-src data:; style-src "
                                     "'unsafe-inline'; base-uri 'none'; form-action 'none'; "
                                     "frame-ancestors 'none'");
    return r;
}

Response quit(const Request&, Studio& studio) {
    studio.state.requestQuit();
    return jsonResponse(200, "{}");
}

struct Route {
    const char* method;
    const char* path;
    Response (*handle)(const Request& request, Studio& studio);
};

// clang-format off
const Route kRoutes[] = {
    {"GET",  "/",                   editorPage},
    {"GET",  "/studio.js",          editorScript},
    {"GET",  "/studio.css",         editorStyle},
    {"GET",  "/preview",            preview},
    {"GET",  "/api/picture",        picture},
    {"GET",  "/api/session",        session},
    {"GET",  "/api/status",         status},
    {"POST", "/api/list",           showList},
    {"POST", "/api/open",           openQuiz},
    {"POST", "/api/new",            newQuiz},
    {"PUT",  "/api/quiz",           save},
    {"POST", "/api/reload",         reload},
    {"POST", "/api/try",            tryAnswer},
    {"POST", "/api/media",          storeMedia},
    {"POST", "/api/table",          importTable},
    {"POST", "/api/build",          startBuild},
    {"GET",  "/api/build",          buildState},
    {"POST", "/api/export",         startExport},
    {"GET",  "/api/export",         exportState},
    {"GET",  "/download/exe",       downloadExecutable},
    {"GET",  "/download/html",      downloadPage},
    {"POST", "/api/key",            writeKey},
    {"GET",  "/key",                showKey},
    {"POST", "/api/quit",           quit},
};
// clang-format on

Response route(const Request& request, Studio& studio) {
    const std::string path = request.path();
    const std::string method = request.method == "HEAD" ? "GET" : request.method;
    bool pathKnown = false;
    for (const Route& r : kRoutes) {
        if (path == r.path) {
            pathKnown = true;
            if (method == r.method) {
                return r.handle(request, studio);
            }
        }
    }
    return pathKnown ? errorResponse(405, studioMessage(StudioText::MethodNotAllowed,
                                                        {{"method", request.method}}))
                     : errorResponse(404, studioMessage(StudioText::NotFound, {{"path", path}}));
}

} // namespace

Response handleRequest(const Request& request, Studio& studio) {
    if (std::optional<Response> refused = admit(request, studio.access)) {
        return *refused;
    }
    Response response;
    try {
        response = route(request, studio);
    } catch (const QuizpackError& e) {
        response = errorResponse(500, e.what());
    }
    addCommonHeaders(&response);
    if (response.header("Content-Security-Policy").empty()) {
        response.set("Content-Security-Policy", "default-src 'none'; frame-ancestors 'none'");
    }
    return response;
}
