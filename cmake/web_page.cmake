# The exported web page carried inside quizpack: the player's own codec, package reader and
# grader (content/ and checking/) compiled to WebAssembly with clang's wasm32-wasi target and
# Debian's wasi-libc, and the page's sources of web/, all turned into one generated C++
# source of quizpack.
find_program(QUIZZ_WASM_CXX NAMES clang++-14 clang++ REQUIRED)
find_program(QUIZZ_WASM_LD NAMES wasm-ld-14 wasm-ld REQUIRED)
set(QUIZZ_WASI_LIBRARIES /usr/lib/wasm32-wasi CACHE PATH "wasi-libc's wasm32 libraries")

set(WEB_DIR ${CMAKE_SOURCE_DIR}/web)
set(WASM_DIR ${CMAKE_BINARY_DIR}/web)
set(QUIZZ_GRADER_WASM ${WASM_DIR}/grader.wasm CACHE INTERNAL "the grader compiled to WebAssembly")
set(WASM_SOURCES ${CMAKE_SOURCE_DIR}/checking/grader.cpp ${CMAKE_SOURCE_DIR}/checking/rewards.cpp
    ${CMAKE_SOURCE_DIR}/content/lzw.cpp ${CMAKE_SOURCE_DIR}/content/package.cpp
    ${CMAKE_SOURCE_DIR}/content/quiz.cpp ${CMAKE_SOURCE_DIR}/content/grading_extras.cpp
    ${CMAKE_SOURCE_DIR}/content/package_loader.cpp ${WEB_DIR}/grader_exports.cpp
    ${WEB_DIR}/quiz_exports.cpp)
set(wasm_objects)
set(wasm_compile)
foreach(source ${WASM_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    set(object ${WASM_DIR}/${name}.o)
    list(APPEND wasm_objects ${object})
    list(APPEND wasm_compile COMMAND ${QUIZZ_WASM_CXX} --target=wasm32-wasi -std=c++17 -Os
         -Wall -Wextra -I${CMAKE_SOURCE_DIR} -c ${source} -o ${object})
endforeach()
add_custom_command(
    OUTPUT ${QUIZZ_GRADER_WASM}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${WASM_DIR}
    ${wasm_compile}
    # A reactor (no main; _initialize once) without imports, small enough (about 23 KB)
    # that browsers compile it at once on the page's thread: -Os, which grades as fast as
    # -O2 (the distance table's loop is all the time either way).
    COMMAND ${QUIZZ_WASM_LD} --no-entry --strip-all -L${QUIZZ_WASI_LIBRARIES}
            ${QUIZZ_WASI_LIBRARIES}/crt1-reactor.o ${wasm_objects} -lc -o ${QUIZZ_GRADER_WASM}
    DEPENDS ${WASM_SOURCES} ${CMAKE_SOURCE_DIR}/checking/grader.h
            ${CMAKE_SOURCE_DIR}/checking/rewards.h ${CMAKE_SOURCE_DIR}/content/quiz.h
            ${CMAKE_SOURCE_DIR}/content/lzw.h ${CMAKE_SOURCE_DIR}/content/lzw_internal.h
            ${CMAKE_SOURCE_DIR}/content/package.h ${CMAKE_SOURCE_DIR}/content/grading_extras.h
            ${CMAKE_SOURCE_DIR}/content/package_loader.h
    COMMENT "Compiling the codec, package reader and grader to WebAssembly")
add_custom_target(grader_wasm DEPENDS ${QUIZZ_GRADER_WASM})

# The page's script: these files in this order, the prologue and epilogue making them one
# function scope.
set(WEB_SCRIPTS ${WEB_DIR}/script_prologue.js ${WEB_DIR}/text_codec.js ${WEB_DIR}/page_data.js
    ${WEB_DIR}/grader_bridge.js ${WEB_DIR}/answers_store.js ${WEB_DIR}/board.js
    ${WEB_DIR}/page.js ${WEB_DIR}/script_epilogue.js)
set(WEB_SOURCES ${WEB_DIR}/page.html ${WEB_DIR}/page.css ${WEB_SCRIPTS})
set(QUIZZ_WEB_ASSETS_CPP ${CMAKE_BINARY_DIR}/generated/web_assets.cpp)
string(REPLACE ";" "+" web_script_list "${WEB_SCRIPTS}")

# quizz_embed_assets(OUTPUT HEADER "kName=file;kOther=file1+file2" SOURCES... ): the rule that
# writes OUTPUT, a C++ source defining one WebAsset per entry (cmake/embed_files.cmake).
function(quizz_embed_assets output header assets)
    string(REPLACE ";" "\\;" escaped "${assets}")
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} -DHEADER=${header} "-DASSETS=${escaped}"
                -P ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
        DEPENDS ${ARGN} ${CMAKE_SOURCE_DIR}/cmake/embed_files.cmake
        COMMENT "Embedding ${header}'s files")
endfunction()

quizz_embed_assets(${QUIZZ_WEB_ASSETS_CPP} quizpack/page/web_assets.h
    "kWebPageTemplate=${WEB_DIR}/page.html;kWebPageStyle=${WEB_DIR}/page.css;kWebPageScript=${web_script_list};kWebGraderWasm=${QUIZZ_GRADER_WASM}"
    ${WEB_SOURCES} ${QUIZZ_GRADER_WASM})
