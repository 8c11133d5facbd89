# tirvel_core_part(NAME DIR [DEPS ...]): a static library of the Qt-free core made of every .cpp in DIR
# except the Qt sources (dialogs, panels, delegates), which the editor's library picks up instead.
set(TIRVEL_QT_SOURCE_REGEX "(Dlg|Panel|Delegate|Widget|Qt)\\.cpp$")

function(tirvel_core_part name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "${TIRVEL_QT_SOURCE_REGEX}")
    if(NOT sources)
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE tirvel_warnings)
endfunction()
