# One place for the settings every target of ours compiles with.
add_library(tidemark_common INTERFACE)
target_compile_features(tidemark_common INTERFACE cxx_std_20)
target_compile_options(tidemark_common INTERFACE -Wall -Wextra)
# Warnings stop our own builds (make test, CI); a user's newer compiler may find new ones, and
# those must not stop the build.
if(TIDEMARK_WERROR)
    target_compile_options(tidemark_common INTERFACE -Werror)
endif()
# The generated folder holds tidemark_version.h.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${PROJECT_BINARY_DIR}/generated/tidemark_version.h @ONLY)
target_include_directories(tidemark_common INTERFACE ${PROJECT_SOURCE_DIR}
                           ${PROJECT_BINARY_DIR}/generated)
target_compile_definitions(tidemark_common INTERFACE _FILE_OFFSET_BITS=64)

if(TIDEMARK_SANITIZE)
    target_compile_options(tidemark_common INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(tidemark_common INTERFACE -fsanitize=address,undefined)
endif()

# Engine libraries are plain C++: a helper that refuses any Qt on their link line.
function(tidemark_engine_library name)
    file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(_sources)
        add_library(${name} STATIC ${_sources})
        target_link_libraries(${name} PUBLIC tidemark_common ${ARGN})
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE tidemark_common ${ARGN})
    endif()
    foreach(dep IN LISTS ARGN)
        if(dep MATCHES "^Qt")
            message(FATAL_ERROR "${name} is an engine library and must not link ${dep}")
        endif()
    endforeach()
endfunction()

# One test binary per source folder; every test case is its own CTest test.
function(tidemark_test_folder name)
    file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT _sources)
        return()
    endif()
    add_executable(${name} ${_sources})
    target_link_libraries(${name} PRIVATE tidemark_common tidemark_test_support ${ARGN}
                          GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
