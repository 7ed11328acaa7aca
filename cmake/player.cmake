# The Windows half: the window and media code as a library (so tests can drive it), and
# quizplayer.exe with its resources and the built-in sample quiz.

file(GLOB QUIZZ_WIN_SOURCES CONFIGURE_DEPENDS
    content/*_win.cpp progress/*_win.cpp window/*_win.cpp media/*_win.cpp)
list(FILTER QUIZZ_WIN_SOURCES EXCLUDE REGEX "entry_win\\.cpp$")
add_library(quizwin STATIC ${QUIZZ_WIN_SOURCES})
target_link_libraries(quizwin PUBLIC quizcore
    user32 gdi32 kernel32 ole32 oleaut32 uuid shell32 msvfw32 winmm)
target_compile_definitions(quizwin PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
quizz_warnings(quizwin)

# The sample quiz packed by the host build's quizpack.
set(QUIZPACK_EXECUTABLE "" CACHE FILEPATH "The host build's quizpack, used to pack the sample quiz")
if(NOT QUIZPACK_EXECUTABLE)
    message(FATAL_ERROR "Set QUIZPACK_EXECUTABLE to the host build's quizpack (build the host preset first)")
endif()
set(SAMPLE_DIR ${CMAKE_BINARY_DIR}/sample)
include(${CMAKE_SOURCE_DIR}/cmake/sample_quiz.cmake)

set(PLAYER_RESOURCE_FILES
    ${SAMPLE_DIR}/sample_package.lzw ${SAMPLE_DIR}/sample_codes.lzw)
file(GLOB PLAYER_RESOURCE_ART CONFIGURE_DEPENDS resources/*.ico resources/*.cur)
# The player's user-interface resources (board template, cursor, icons), which the test and
# benchmark programs carry too. Source properties belong to the folder that sets them: each
# folder that compiles player_ui.rc calls quizz_player_ui_rc_depends().
set(PLAYER_UI_RC ${CMAKE_SOURCE_DIR}/resources/player_ui.rc)
function(quizz_player_ui_rc_depends)
    set_source_files_properties(${PLAYER_UI_RC} PROPERTIES
        OBJECT_DEPENDS "${PLAYER_RESOURCE_ART};${CMAKE_SOURCE_DIR}/resources/resource.h")
endfunction()
set_source_files_properties(resources/quizplayer.rc PROPERTIES
    OBJECT_DEPENDS "${PLAYER_RESOURCE_FILES};${PLAYER_RESOURCE_ART};${CMAKE_SOURCE_DIR}/resources/resource.h;${PLAYER_UI_RC}")

enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${SAMPLE_DIR} -I${CMAKE_SOURCE_DIR}/resources")

add_executable(quizplayer WIN32 window/entry_win.cpp resources/quizplayer.rc)
target_link_libraries(quizplayer PRIVATE quizwin)
# Stripped: resources are later rewritten into copies of this program, and an update
# leaves a stale COFF symbol table behind on an unstripped mingw executable.
target_link_options(quizplayer PRIVATE -s)
set_target_properties(quizplayer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
quizz_warnings(quizplayer)
add_dependencies(quizplayer sample_quiz)
include(${CMAKE_SOURCE_DIR}/cmake/sample_executables.cmake)
# The benchmarks' Windows programs.
add_subdirectory(${CMAKE_SOURCE_DIR}/bench/win ${CMAKE_BINARY_DIR}/bench-win)
