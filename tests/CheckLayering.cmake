# Fails when a source includes from a layer it must not know:
#   engine/  includes nothing of the project but engine/ and memory/;
#   memory/  nothing but memory/;
#   text/    nothing but engine/, memory/ and text/;
#   cli/     nothing of ui/.
# Any include in quotes, and any include in angle brackets that names a folder of the project,
# is the project's; the rest are system headers and allowed.
# Run: cmake -DSOURCE_DIR=<the project's folder> -P tests/CheckLayering.cmake

cmake_minimum_required(VERSION 3.25)

set(project_folders engine memory text cli ui tests tools bench fuzz)
set(allowed_engine engine memory)
set(allowed_memory memory)
set(allowed_text engine memory text)
set(allowed_cli engine memory text cli)

set(problems "")
set(files_checked 0)
foreach(layer engine memory text cli)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp"
         "${SOURCE_DIR}/${layer}/*.in")
    foreach(source IN LISTS sources)
        math(EXPR files_checked "${files_checked} + 1")
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            if(NOT line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]*)[>\"]")
                continue()
            endif()
            set(bracket "${CMAKE_MATCH_1}")
            set(path "${CMAKE_MATCH_2}")
            string(REGEX REPLACE "/.*" "" folder "${path}")
            if(NOT path MATCHES "/")
                set(folder "")
            endif()
            if(bracket STREQUAL "<" AND NOT folder IN_LIST project_folders)
                continue() # a system header
            endif()
            if(NOT folder IN_LIST allowed_${layer})
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
                string(APPEND problems "  ${shown}: ${line}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(files_checked LESS 20)
    message(FATAL_ERROR "Only ${files_checked} sources found under ${SOURCE_DIR}: is it the project?")
endif()
if(problems)
    message(FATAL_ERROR "Includes across the layers:\n${problems}")
endif()
message(STATUS "${files_checked} sources include only from their own layers")
