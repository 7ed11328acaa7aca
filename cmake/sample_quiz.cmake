# Packs the built-in sample quiz into ${SAMPLE_DIR}/sample_package.lzw and sample_codes.lzw.
set(SAMPLE_PACKAGE_RAW ${CMAKE_SOURCE_DIR}/tests/data/handmade_package.bin)
set(SAMPLE_CODES_RAW ${CMAKE_SOURCE_DIR}/tests/data/handmade_codes.bin)
add_custom_command(
    OUTPUT ${SAMPLE_DIR}/sample_package.lzw ${SAMPLE_DIR}/sample_codes.lzw
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SAMPLE_DIR}
    COMMAND ${QUIZPACK_EXECUTABLE} encode ${SAMPLE_PACKAGE_RAW} ${SAMPLE_DIR}/sample_package.lzw
    COMMAND ${QUIZPACK_EXECUTABLE} encode ${SAMPLE_CODES_RAW} ${SAMPLE_DIR}/sample_codes.lzw
    DEPENDS ${SAMPLE_PACKAGE_RAW} ${SAMPLE_CODES_RAW} ${QUIZPACK_EXECUTABLE}
    COMMENT "Packing the sample quiz")
add_custom_target(sample_quiz DEPENDS ${SAMPLE_DIR}/sample_package.lzw ${SAMPLE_DIR}/sample_codes.lzw)
