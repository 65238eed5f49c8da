# A subsystem folder holds its core files (plain C++) and its desktop files (Qt) side by side.
# Desktop files are told apart by name; everything else in the folder is core.
set(TORVANE_QT_FILE_PATTERN "_(page|dialog|widget|window|view)\\.(cpp|h)$")

# Builds the folder's core files into a static library `name` that never sees Qt.
function(torvane_core_library name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "${TORVANE_QT_FILE_PATTERN}")
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARGN})
    else()
        # Header-only so far: keep the name linkable.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARGN})
    endif()
endfunction()

# The desktop files of a folder, for the app target to collect.
function(torvane_qt_sources out_var folder)
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
    list(FILTER sources INCLUDE REGEX "${TORVANE_QT_FILE_PATTERN}")
    set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
