function(quizz_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

if(QUIZZ_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
    # One self-contained executable: no libstdc++, libgcc or winpthread DLLs beside it.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()

if(QUIZZ_FUZZ)
    # Coverage feedback from the libraries too, not only from the fuzz targets' own files.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
