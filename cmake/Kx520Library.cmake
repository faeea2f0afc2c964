# One library per folder of src/. A folder names the folders it uses; the
# layering test (tests/layout) checks every include against that list, so
# the list is the design's layer graph.
#
#   kx520_library(<folder> [QT] SOURCES <file>... [USES <folder>...]
#                 [LINK <target>...] [PRIVATE_LINK <target>...])
#
# QT marks a folder of widgets or other Qt code; a folder without it never
# links Qt, so a stray Qt include fails its build.
function(kx520_library folder)
    cmake_parse_arguments(ARG "QT" "" "SOURCES;USES;LINK;PRIVATE_LINK" ${ARGN})
    set(target kx520_${folder})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${KX520_SRC_DIR})
    foreach(used IN LISTS ARG_USES)
        target_link_libraries(${target} PUBLIC kx520_${used})
    endforeach()
    target_link_libraries(${target} PUBLIC ${ARG_LINK} PRIVATE ${ARG_PRIVATE_LINK})
    set(kind core)
    if(ARG_QT)
        set(kind qt)
        set_target_properties(${target} PROPERTIES AUTOMOC ON)
    endif()
    list(JOIN ARG_USES " " uses)
    set_property(GLOBAL APPEND PROPERTY KX520_LAYERS "${folder} ${kind} ${uses}")
endfunction()
