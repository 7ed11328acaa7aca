// Who may talk to the studio: the checks every request passes, in one place, before the
// route table sees it.
#pragma once

#include <optional>
#include <string>

#include "quizpack/studio/studio_http.h"

// The studio's address and secret: its port on 127.0.0.1 and the token of its first line.
struct StudioAccess {
    unsigned port = 0;
    std::string token;
};

// A new token: 256 random bits from the system, as 64 hexadecimal digits.
std::string makeStudioToken();

// The cookie that carries the token after the first visit; named after the port, since
// browsers keep cookies per host, not per port.
std::string studioCookieName(const StudioAccess& access);

// The header the editor's own requests carry; a form on another site cannot send it.
constexpr char kStudioHeader[] = "x-quizz-studio";

// None when the request may go on to the route table; otherwise the refusal:
//   403 when the Host is not 127.0.0.1:PORT or localhost:PORT (DNS rebinding), whatever else;
//   403 without the token, from the Cookie or (GET and HEAD) the query;
//   405 for a method other than GET, HEAD, POST and PUT;
//   403 for a POST or PUT whose Origin is present and not the studio's own, or that lacks
//       the studio's header;
//   415 for a POST or PUT whose body is neither JSON nor multipart/form-data.
std::optional<Response> admit(const Request& request, const StudioAccess& access);

// Headers every response carries: nothing cached, nothing sniffed, no referrer.
void addCommonHeaders(Response* response);
