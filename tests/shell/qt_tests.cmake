# Window tests run offscreen, each with its own home, caches, runtime and temporary folders so
# that plain ctest passes and the programs can run in parallel.
function(torvane_shell_qt_test name)
    add_executable(${name} ${ARGN})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE torvane_app_objects Qt6::Test)
    set(env_dir ${CMAKE_CURRENT_BINARY_DIR}/env/${name})
    foreach(sub home cache runtime tmp)
        file(MAKE_DIRECTORY ${env_dir}/${sub})
    endforeach()
    file(CHMOD ${env_dir}/runtime PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 180 ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QT_MEDIA_BACKEND=gstreamer;HOME=${env_dir}/home;XDG_CONFIG_HOME=${env_dir}/home/.config;XDG_DATA_HOME=${env_dir}/home/.local/share;XDG_CACHE_HOME=${env_dir}/cache;XDG_RUNTIME_DIR=${env_dir}/runtime;TMPDIR=${env_dir}/tmp;TORVANE_DRIVES=;TORVANE_SERVICE_URL=")
endfunction()

torvane_shell_qt_test(torvane_main_window_tests main_window_test.cpp)
torvane_shell_qt_test(torvane_window_events_tests window_events_test.cpp)
torvane_shell_qt_test(torvane_login_dialog_tests login_dialog_test.cpp)
# The sign-in window talks to the local content service, started in the test.
function(torvane_link_login_test_service)
    if(TARGET torvane_demo_service_lib)
        target_link_libraries(torvane_login_dialog_tests PRIVATE torvane_demo_service_lib)
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL torvane_link_login_test_service)
