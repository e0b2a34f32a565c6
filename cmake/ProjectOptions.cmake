# Warnings and defines every target of the project links against.
add_library(project_options INTERFACE)
if(MSVC)
    target_compile_options(project_options INTERFACE /W4)
    if(SERVICE_WERROR)
        target_compile_options(project_options INTERFACE /WX)
    endif()
else()
    target_compile_options(project_options INTERFACE -Wall -Wextra)
    if(SERVICE_WERROR)
        target_compile_options(project_options INTERFACE -Werror)
    endif()
endif()
target_compile_definitions(project_options INTERFACE
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_STRICT_ITERATORS
    QT_DEPRECATED_WARNINGS
    QT_DISABLE_DEPRECATED_BEFORE=0x050F00)

if(SERVICE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(SERVICE_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()
if(SERVICE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "SERVICE_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
    endif()
    # Everything is instrumented for coverage; only the harnesses link libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    # Inflating up to the product's 64 MiB cap took most of the firmware harness's time; the bound
    # logic is the same with 1 MiB.
    add_compile_definitions(SERVICE_MAX_PLAIN_TEXT_SIZE=1048576)
endif()
