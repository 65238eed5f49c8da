# The desktop app: the shell's windows, the sign-in window and the desktop files of the other
# folders, built once as objects that the executable and the window tests share.
set(shell_qt_sources
    ${CMAKE_CURRENT_SOURCE_DIR}/application.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/main_window.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/main_window_dispatch.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/message_box_sink.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/pages.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/qt_settings.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/screenshot.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/single_instance.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/xml_resources.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/shell.qrc
)
set(app_qt_sources)
foreach(folder service delivery children update)
    torvane_qt_sources(folder_sources ${folder})
    list(APPEND app_qt_sources ${folder_sources})
endforeach()

add_library(torvane_app_objects OBJECT ${shell_qt_sources} ${app_qt_sources})
set_target_properties(torvane_app_objects PROPERTIES AUTOMOC ON AUTORCC ON)
target_include_directories(torvane_app_objects PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(torvane_app_objects PUBLIC torvane_shell_core Qt6::Widgets Qt6::Network
                                                 Qt6::WebEngineWidgets Qt6::Svg)
# The other folders are added after this one: their libraries are linked once the whole tree
# is known, and only those that exist.
function(torvane_link_app_libraries)
    foreach(lib torvane_ui torvane_delivery torvane_children torvane_update torvane_service
                torvane_store)
        if(TARGET ${lib})
            target_link_libraries(torvane_app_objects PUBLIC ${lib})
        endif()
    endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL torvane_link_app_libraries)

add_executable(torvane ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(torvane PRIVATE torvane_app_objects)

install(TARGETS torvane)
