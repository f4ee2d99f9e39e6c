# Fails when a C++ file of the project differs from what clang-format makes of it.
file(GLOB_RECURSE files
    ${SOURCE_DIR}/calc/*.cpp ${SOURCE_DIR}/calc/*.h
    ${SOURCE_DIR}/ui/*.cpp ${SOURCE_DIR}/ui/*.h
    ${SOURCE_DIR}/report/*.cpp ${SOURCE_DIR}/report/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/tools/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format finds unformatted code (run tools/format.sh):\n${errors}")
endif()
