#include "quizpack/studio/admission.h"

#include <random>

#include "quizpack/studio/studio_messages.h"

namespace {

// Compares in a time that does not depend on where the texts differ.
bool sameSecret(const std::string& a, const std::string& b) {
    if (a.size() != b.size() || a.empty()) {
        return false;
    }
    unsigned char difference = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

Response refusal(int status, StudioText text, const StudioArguments& arguments = {}) {
    Response r = errorResponse(status, studioMessage(text, arguments));
    addCommonHeaders(&r);
    return r;
}

} // namespace

std::string makeStudioToken() {
    std::random_device random; // the system's source of randomness, on Linux and Windows
    const char* digits = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 8; ++i) {
        uint32_t word = random();
        for (int d = 0; d < 8; ++d) {
            token += digits[(word >> (4 * d)) & 0xF];
        }
    }
    return token;
}

std::string studioCookieName(const StudioAccess& access) {
    return "quizz-studio-" + std::to_string(access.port);
}

void addCommonHeaders(Response* response) {
    response->set("Cache-Control", "no-store");
    response->set("X-Content-Type-Options", "nosniff");
    response->set("Referrer-Policy", "no-referrer");
}

std::optional<Response> admit(const Request& request, const StudioAccess& access) {
    const std::string port = std::to_string(access.port);
    const std::string host = request.header("host");
    if (host != "127.0.0.1:" + port && host != "localhost:" + port) {
        return refusal(403, StudioText::WrongHost);
    }
    const bool reads = request.method == "GET" || request.method == "HEAD";
    const std::string token = request.cookie(studioCookieName(access)).empty() && reads
                                  ? request.query("token")
                                  : request.cookie(studioCookieName(access));
    if (!sameSecret(token, access.token)) {
        return refusal(403, StudioText::Forbidden);
    }
    if (reads) {
        return std::nullopt;
    }
    if (request.method != "POST" && request.method != "PUT") {
        return refusal(405, StudioText::MethodNotAllowed, {{"method", request.method}});
    }
    const std::string origin = request.header("origin");
    if (!origin.empty() && origin != "http://127.0.0.1:" + port &&
        origin != "http://localhost:" + port) {
        return refusal(403, StudioText::ForeignOrigin);
    }
    if (request.header(kStudioHeader) != "1") {
        return refusal(403, StudioText::MissingStudioHeader);
    }
    const std::string type = request.header("content-type");
    if (!startsWith(type, "application/json") && !startsWith(type, "multipart/form-data")) {
        return refusal(415, StudioText::WrongContentType);
    }
    return std::nullopt;
}
