# Checks that every #include "folder/..." in src/ points down the layers: a folder includes
# only itself and the folders below it. Run with -DSRC=<the src folder>.
#
#   app/examome app/examoforge   main(), Linux services put together
#   player creator logviewer avimaker -> filedialogs   windows and their modules
#   quizrun                      taking a quiz, shared by the player and the previewer
#   widgets                      placing controls from layout tables
#   storage media                formats, records, command texts (no widgets)
#   platform/linux               the real services
#   platform                     the service interfaces
cmake_minimum_required(VERSION 3.25)

set(allowed_platform platform)
set(allowed_platform/linux platform platform/linux)
set(allowed_storage platform storage)
set(allowed_media platform storage media)
set(allowed_filedialogs platform filedialogs)
set(allowed_widgets platform widgets)
set(allowed_quizrun platform storage media widgets quizrun)
set(allowed_player platform storage media widgets quizrun player)
set(allowed_logviewer platform storage widgets logviewer)
set(allowed_avimaker platform storage filedialogs widgets avimaker)
set(allowed_creator platform storage media widgets quizrun logviewer avimaker filedialogs creator)
set(allowed_app platform platform/linux storage media widgets quizrun player logviewer avimaker
    filedialogs creator app)

# The layer a path inside src/ belongs to.
function(layer_of path out)
    if(path MATCHES "^platform/linux/")
        set(${out} platform/linux PARENT_SCOPE)
    else()
        string(REGEX MATCH "^[^/]+" first "${path}")
        set(${out} ${first} PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(faults 0)
foreach(source IN LISTS sources)
    layer_of("${source}" from)
    if(NOT DEFINED allowed_${from})
        message(SEND_ERROR "${source}: folder '${from}' has no place in the layers")
        math(EXPR faults "${faults} + 1")
        continue()
    endif()
    file(STRINGS "${SRC}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
    foreach(line IN LISTS includes)
        string(REGEX MATCH "\"([^\"]+)\"" quoted "${line}")
        layer_of("${CMAKE_MATCH_1}" to)
        if(NOT to IN_LIST allowed_${from})
            message(SEND_ERROR "${source}: '${CMAKE_MATCH_1}' runs against the layers "
                               "(${from} may use: ${allowed_${from}})")
            math(EXPR faults "${faults} + 1")
        endif()
    endforeach()
endforeach()
list(LENGTH sources count)
if(faults GREATER 0)
    message(FATAL_ERROR "${faults} include(s) against the layers")
endif()
message(STATUS "${count} files, every include points down the layers")
