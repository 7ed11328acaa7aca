// The studio's whole surface: one route table, and the one function the server hands each
// request to. No network here: the tests call handleRequest directly.
#pragma once

#include "quizpack/page/web_assets.h"
#include "quizpack/studio/admission.h"
#include "quizpack/studio/studio_http.h"
#include "quizpack/studio/studio_state.h"

// A studio: its address and token, and its state.
struct Studio {
    StudioAccess access;
    StudioState& state;
};

// Admits the request (admission.h), then answers it from the route table: 404 for a path it
// does not have, 405 for a method the path does not take. HEAD is answered as GET (the
// server leaves the body out).
Response handleRequest(const Request& request, Studio& studio);

// The editor's page (with its @FIELDS@ marker), styles and script: quizpack/studio/editor/,
// embedded at build time (cmake/studio_page.cmake).
extern const WebAsset kStudioPage;
extern const WebAsset kStudioStyle;
extern const WebAsset kStudioScript;
