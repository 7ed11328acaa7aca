# The studio's editor page carried inside quizpack: quizpack/studio/editor/'s page, styles and
# scripts turned into one generated C++ source (cmake/embed_files.cmake), as web/ is for export.
set(STUDIO_EDITOR_DIR ${CMAKE_SOURCE_DIR}/quizpack/studio/editor)
# The editor's script: these files in this order, one function scope from prologue to end.
set(STUDIO_SCRIPTS ${STUDIO_EDITOR_DIR}/prologue.js ${STUDIO_EDITOR_DIR}/model.js
    ${STUDIO_EDITOR_DIR}/server.js ${STUDIO_EDITOR_DIR}/fields.js
    ${STUDIO_EDITOR_DIR}/questions.js ${STUDIO_EDITOR_DIR}/panels.js
    ${STUDIO_EDITOR_DIR}/main.js ${STUDIO_EDITOR_DIR}/epilogue.js)
set(STUDIO_SOURCES ${STUDIO_EDITOR_DIR}/studio.html ${STUDIO_EDITOR_DIR}/studio.css ${STUDIO_SCRIPTS})
set(QUIZZ_STUDIO_ASSETS_CPP ${CMAKE_BINARY_DIR}/generated/studio_assets.cpp)
string(REPLACE ";" "+" studio_script_list "${STUDIO_SCRIPTS}")
quizz_embed_assets(${QUIZZ_STUDIO_ASSETS_CPP} quizpack/studio/routes.h
    "kStudioPage=${STUDIO_EDITOR_DIR}/studio.html;kStudioStyle=${STUDIO_EDITOR_DIR}/studio.css;kStudioScript=${studio_script_list}"
    ${STUDIO_SOURCES})
