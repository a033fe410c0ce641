# Test caches: browser cache folders (FAT.DB written by the real libdb1, the cached
# files, expected.tsv) made by tools/make_cache.py from JSON descriptions at build time.
include_guard(GLOBAL)

set(TARN_PYTHON python3 CACHE STRING "Python 3 interpreter for the fixture and picture generators")

get_filename_component(TARN_FIXTURE_TOOLS_DIR "${CMAKE_CURRENT_LIST_DIR}/../tools" ABSOLUTE)
set(TARN_FIXTURE_TOOL_SOURCES
    "${TARN_FIXTURE_TOOLS_DIR}/make_cache.py"
    "${TARN_FIXTURE_TOOLS_DIR}/cache_content.py"
    "${TARN_FIXTURE_TOOLS_DIR}/fatdb.py"
    "${TARN_FIXTURE_TOOLS_DIR}/pictures.py"
    "${TARN_FIXTURE_TOOLS_DIR}/scan_oracle.py")

# tarn_add_cache(TARGET_NAME DESCRIPTION OUTDIR)
# A relative DESCRIPTION is taken from the calling source folder, a relative OUTDIR
# from the calling build folder. The tool names in a depfile every page and picture
# source the description pulls in, so editing one of them rebuilds the cache while an
# unchanged cache is left alone. expected.tsv is written last and stands for the folder.
function(tarn_add_cache target_name description outdir)
    get_filename_component(description "${description}" ABSOLUTE
                           BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    get_filename_component(outdir "${outdir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
    set(expected "${outdir}/expected.tsv")
    set(depfile "${CMAKE_CURRENT_BINARY_DIR}/${target_name}.d")
    add_custom_command(
        OUTPUT "${expected}"
        COMMAND ${TARN_PYTHON} "${TARN_FIXTURE_TOOLS_DIR}/make_cache.py"
                "${description}" "${outdir}" --depfile "${depfile}"
        DEPENDS "${description}" ${TARN_FIXTURE_TOOL_SOURCES}
        DEPFILE "${depfile}"
        COMMENT "Writing test cache ${outdir}"
        VERBATIM)
    add_custom_target(${target_name} ALL DEPENDS "${expected}")
endfunction()

# The bundled sample web of 1996, in ${CMAKE_BINARY_DIR}/sample-cache.
function(tarn_add_sample_cache)
    tarn_add_cache(sample_cache "${TARN_FIXTURE_TOOLS_DIR}/sample-cache/cache.json"
                   "${CMAKE_BINARY_DIR}/sample-cache")
endfunction()

# The generators' own self-test, for CTest (it runs on the build machine, not in Wine).
function(tarn_add_fixture_tool_tests)
    add_test(NAME fixture_tools
             COMMAND ${TARN_PYTHON} "${TARN_FIXTURE_TOOLS_DIR}/test_fixtures.py")
endfunction()
