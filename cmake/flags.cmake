# Warnings as errors, and float arithmetic exactly as written.
function(vexal_target_flags target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
        -Wunused -Woverloaded-virtual -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wconversion -Wsign-conversion
        -Werror)
endfunction()

# Every build: no contraction of a*b+c into fma, never fast-math.
add_compile_options(-ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$" AND NOT EMSCRIPTEN)  # Emscripten calls itself x86
    add_compile_options(-msse2 -mfpmath=sse)
endif()

if(VEXAL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The Windows programs carry no link time, so one commit links the same bytes at any time.
if(MINGW)
    add_link_options(-Wl,--no-insert-timestamp)
endif()
