// The studio's requests and responses as plain records: the network code (studio_server.cpp)
// fills a Request and writes back the Response; everything between is plain C++ that the
// tests call directly.
#pragma once

#include <cstddef>
#include <map>
#include <string_view>

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <utility>
#include <vector>

struct Request {
    std::string method;                         // "GET", "POST", ... as sent
    std::string target;                         // "/api/quiz?x=1", as sent
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;

    // The target before '?', and one parameter of what follows it, %-decoded ("" when absent).
    std::string path() const;
    std::string query(const std::string& name) const;
    // A header's value; "" when absent.
    std::string header(const std::string& name) const;
    // One cookie of the Cookie header; "" when absent.
    std::string cookie(const std::string& name) const;
};

struct Response {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    void set(const std::string& name, const std::string& value);
    std::string header(const std::string& name) const; // "" when absent
};

// `value` as compact JSON text, any text that is not UTF-8 mended with U+FFFD.
std::string jsonText(const nlohmann::json& value);
// A JSON body (Content-Type application/json).
Response jsonResponse(int status, std::string json);
// {"error": message} with `status`.
Response errorResponse(int status, const std::string& message);
// "%41b" -> "Ab", '+' -> ' '. Malformed escapes are kept as they are.
std::string percentDecode(const std::string& text);

// ---- files a browser sends: multipart/form-data, as its FormData makes them ----------

struct FormPart {
    std::string name;     // the form field
    std::string fileName; // as the browser sent it; never used as a path
    bool isFile = false;  // the part had a filename
    std::string data;
};

// The most parts one request may have, and the most bytes of one request's body.
constexpr size_t kMaxFormParts = 8;
constexpr size_t kMaxRequestBytes = 64u << 20;
// The most bytes of one picture or clip.
constexpr size_t kMaxUploadBytes = 48u << 20;

// The parts of `body` under `contentType` ("multipart/form-data; boundary=..."). False, with
// *why in English, when the body is not well-formed or has more than kMaxFormParts parts.
bool parseFormData(std::string_view contentType, std::string_view body,
                   std::vector<FormPart>* parts, std::string* why);
