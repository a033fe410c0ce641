# One static library per product folder, stacked in the layers that
# cmake/layers.txt gives. A folder's library sees, through a folder of links
# made here, only the folders it may include from: an include of a folder
# above it does not compile.
include_guard(GLOBAL)

set(TARN_LAYER_TABLE ${CMAKE_CURRENT_LIST_DIR}/layers.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TARN_LAYER_TABLE})
file(STRINGS ${TARN_LAYER_TABLE} tarn_layer_lines REGEX "^[a-z]+:")
foreach(line ${tarn_layer_lines})
    string(REGEX MATCH "^([a-z]+):(.*)$" unused "${line}")
    string(STRIP "${CMAKE_MATCH_2}" uses)
    separate_arguments(uses)
    set(TARN_LAYER_USES_${CMAKE_MATCH_1} "${uses}")
    list(APPEND TARN_LAYERS ${CMAKE_MATCH_1})
endforeach()

# tarn_add_layer(FOLDER): the library tarn_FOLDER, without sources yet; the
# folder's own CMakeLists.txt adds them.
function(tarn_add_layer folder)
    if(NOT folder IN_LIST TARN_LAYERS)
        message(FATAL_ERROR "${folder} is not in ${TARN_LAYER_TABLE}")
    endif()
    set(view ${CMAKE_BINARY_DIR}/layers/${folder})
    file(MAKE_DIRECTORY ${view})
    foreach(visible ${folder} ${TARN_LAYER_USES_${folder}})
        if(NOT EXISTS ${view}/${visible})
            file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${visible} ${view}/${visible} SYMBOLIC)
        endif()
    endforeach()
    add_library(tarn_${folder} STATIC)
    target_include_directories(tarn_${folder} PRIVATE ${view})
    target_compile_options(tarn_${folder} PRIVATE -fno-exceptions)
    foreach(lower ${TARN_LAYER_USES_${folder}})
        if(NOT lower STREQUAL "resources")
            target_link_libraries(tarn_${folder} PUBLIC tarn_${lower})
        endif()
    endforeach()
endfunction()
