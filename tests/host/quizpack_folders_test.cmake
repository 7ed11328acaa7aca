# Fails when a file of quizpack/ includes a quizpack folder that folders.cmake does not let
# its own folder include, when a folder is not in that table, or when a folder holds more
# files than the table allows.  cmake -DROOT=<quizpack folder> -P quizpack_folders_test.cmake
cmake_minimum_required(VERSION 3.20)
include(${ROOT}/folders.cmake)

file(GLOB entries LIST_DIRECTORIES true RELATIVE ${ROOT} ${ROOT}/*)
foreach(entry ${entries})
    if(IS_DIRECTORY ${ROOT}/${entry} AND NOT entry IN_LIST QUIZPACK_FOLDERS)
        message(SEND_ERROR "quizpack/${entry}/ is not in quizpack/folders.cmake: add it with "
                           "the folders it may include")
    endif()
endforeach()

foreach(folder ${QUIZPACK_FOLDERS})
    file(GLOB files RELATIVE ${ROOT}/${folder} ${ROOT}/${folder}/*)
    list(LENGTH files count)
    if(count GREATER QUIZPACK_MAX_FILES_PER_FOLDER)
        message(SEND_ERROR "quizpack/${folder}/ holds ${count} files, more than "
                           "${QUIZPACK_MAX_FILES_PER_FOLDER}: split it by kind of work")
    endif()
    foreach(file ${files})
        if(IS_DIRECTORY ${ROOT}/${folder}/${file})
            continue() # the studio's editor page: HTML, CSS and scripts, no #include
        endif()
        file(STRINGS ${ROOT}/${folder}/${file} includes REGEX "^#include \"quizpack/")
        foreach(line ${includes})
            string(REGEX REPLACE "^#include \"quizpack/([^/]+)/.*" "\\1" used "${line}")
            if(NOT used STREQUAL folder AND NOT used IN_LIST QUIZPACK_USES_${folder})
                message(SEND_ERROR "quizpack/${folder}/${file}: ${line}: ${folder}/ may include "
                                   "only ${QUIZPACK_USES_${folder}} (quizpack/folders.cmake)")
            endif()
        endforeach()
    endforeach()
endforeach()
