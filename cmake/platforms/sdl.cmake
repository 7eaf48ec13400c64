# The native build on Linux: windows, events and the screen on SDL2, images as
# plain pixel memory, with the POSIX layer below them (files ending in _sdl and
# _posix).
set(WIRLO_PLATFORM_SHARES posix)

if(WIRLO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
find_package(Threads REQUIRED)
find_package(SDL2 REQUIRED)

function(wirlo_platform_runtime target)
  target_link_libraries(${target} PUBLIC Threads::Threads m SDL2::SDL2)
endfunction()

# A program is a plain executable.
function(wirlo_platform_program target name title page description)
endfunction()

function(wirlo_platform_tool target)
endfunction()

# The system's GoogleTest.
macro(wirlo_platform_test_framework)
  find_package(GTest REQUIRED)
  set(WIRLO_GTEST GTest::gtest)
endmacro()
