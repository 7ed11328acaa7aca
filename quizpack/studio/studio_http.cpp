#include "quizpack/studio/studio_http.h"

#include "quizpack/common/messages.h"

#include <cctype>

#include <nlohmann/json.hpp>

namespace {

int hexValue(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string trimmed(const std::string& text) {
    size_t start = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    return start == std::string::npos ? "" : text.substr(start, end - start + 1);
}

// A header's parameter: `name`="value" or name=value; "" when absent.
std::string parameter(std::string_view header, const std::string& name) {
    size_t at = 0;
    while ((at = header.find(name + "=", at)) != std::string_view::npos) {
        bool starts = at == 0 || header[at - 1] == ';' || header[at - 1] == ' ';
        at += name.size() + 1;
        if (!starts) {
            continue;
        }
        if (at < header.size() && header[at] == '"') {
            size_t end = header.find('"', at + 1);
            return std::string(header.substr(
                at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1));
        }
        size_t end = header.find(';', at);
        return std::string(header.substr(at, end == std::string_view::npos ? end : end - at));
    }
    return "";
}

bool parsePartHeaders(std::string_view headers, FormPart* part) {
    for (size_t start = 0; start < headers.size();) {
        size_t end = headers.find("\r\n", start);
        std::string_view line =
            headers.substr(start, end == std::string_view::npos ? end : end - start);
        std::string lower;
        for (char c : line.substr(0, line.find(':'))) {
            lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        }
        if (lower == "content-disposition") {
            part->name = parameter(line, "name");
            part->isFile = line.find("filename=") != std::string_view::npos;
            part->fileName = parameter(line, "filename");
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 2;
    }
    return !part->name.empty();
}

bool refuse(std::string* why, const char* text) {
    *why = text;
    return false;
}

} // namespace

std::string percentDecode(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Request::path() const {
    return target.substr(0, target.find('?'));
}

std::string Request::query(const std::string& name) const {
    size_t mark = target.find('?');
    if (mark == std::string::npos) {
        return "";
    }
    std::string rest = target.substr(mark + 1);
    for (size_t start = 0; start <= rest.size();) {
        size_t end = rest.find('&', start);
        std::string pair = rest.substr(start, end - start);
        size_t equals = pair.find('=');
        if (percentDecode(pair.substr(0, equals)) == name) {
            return equals == std::string::npos ? "" : percentDecode(pair.substr(equals + 1));
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return "";
}

std::string Request::header(const std::string& name) const {
    auto it = headers.find(lowerCase(name));
    return it == headers.end() ? "" : it->second;
}

std::string Request::cookie(const std::string& name) const {
    std::string all = header("cookie");
    for (size_t start = 0; start < all.size();) {
        size_t end = all.find(';', start);
        std::string pair = trimmed(all.substr(start, end - start));
        size_t equals = pair.find('=');
        if (equals != std::string::npos && pair.substr(0, equals) == name) {
            return pair.substr(equals + 1);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return "";
}

void Response::set(const std::string& name, const std::string& value) {
    for (auto& h : headers) {
        if (lowerCase(h.first) == lowerCase(name)) {
            h.second = value;
            return;
        }
    }
    headers.emplace_back(name, value);
}

std::string Response::header(const std::string& name) const {
    for (const auto& h : headers) {
        if (lowerCase(h.first) == lowerCase(name)) {
            return h.second;
        }
    }
    return "";
}

std::string jsonText(const nlohmann::json& value) {
    // Texts come from files and browsers: a byte that is not UTF-8 must not end the request.
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

Response jsonResponse(int status, std::string json) {
    Response r;
    r.status = status;
    r.set("Content-Type", "application/json; charset=utf-8");
    r.body = std::move(json);
    return r;
}

Response errorResponse(int status, const std::string& message) {
    return jsonResponse(status, jsonText(nlohmann::json{{"error", message}}));
}

bool parseFormData(std::string_view contentType, std::string_view body,
                   std::vector<FormPart>* parts, std::string* why) {
    if (contentType.substr(0, 19) != "multipart/form-data") {
        return refuse(why, tr("not multipart/form-data"));
    }
    std::string boundary = parameter(contentType, "boundary");
    if (boundary.empty() || boundary.size() > 70) {
        return refuse(why, tr("no boundary"));
    }
    const std::string delimiter = "--" + boundary;
    size_t at = body.find(delimiter);
    if (at != 0) {
        return refuse(why, tr("the body does not begin with its boundary"));
    }
    at += delimiter.size();
    while (true) {
        if (body.substr(at, 2) == "--") {
            return true; // the closing boundary
        }
        if (body.substr(at, 2) != "\r\n") {
            return refuse(why, tr("a boundary is not followed by a line end"));
        }
        at += 2;
        size_t headersEnd = body.find("\r\n\r\n", at);
        if (headersEnd == std::string_view::npos) {
            return refuse(why, tr("a part's headers do not end"));
        }
        FormPart part;
        if (!parsePartHeaders(body.substr(at, headersEnd - at), &part)) {
            return refuse(why, tr("a part has no name"));
        }
        size_t dataStart = headersEnd + 4;
        size_t next = body.find("\r\n" + delimiter, dataStart);
        if (next == std::string_view::npos) {
            return refuse(why, tr("a part does not end"));
        }
        if (parts->size() == kMaxFormParts) {
            return refuse(why, tr("too many parts"));
        }
        part.data = std::string(body.substr(dataStart, next - dataStart));
        parts->push_back(std::move(part));
        at = next + 2 + delimiter.size();
    }
}
