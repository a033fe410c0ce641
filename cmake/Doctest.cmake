# doctest is header-only. Its header is copied into the build tree, because a
# cross compile must never see /usr/include (it would pull in the Linux C
# headers).
set(TARN_DOCTEST_HEADER /usr/include/doctest/doctest.h CACHE FILEPATH "doctest.h from Debian's doctest-dev")
if(NOT EXISTS ${TARN_DOCTEST_HEADER})
    message(FATAL_ERROR "doctest.h not found at ${TARN_DOCTEST_HEADER} (package doctest-dev)")
endif()
configure_file(${TARN_DOCTEST_HEADER} ${CMAKE_BINARY_DIR}/doctest/doctest.h COPYONLY)

add_library(tarn_doctest INTERFACE)
target_include_directories(tarn_doctest INTERFACE ${CMAKE_BINARY_DIR}/doctest)
# The win32 thread model of the cross compiler has no std::mutex.
target_compile_definitions(tarn_doctest INTERFACE DOCTEST_CONFIG_NO_MULTITHREADING DOCTEST_CONFIG_NO_POSIX_SIGNALS)
