# Windows, 32- and 64-bit, cross-compiled with MinGW-w64: windows and events on
# Win32, images as GDI DIB sections, the screen on Direct3D 9. Its files end in
# _win; it shares no suffix with another platform.
set(WIRLO_PLATFORM_SHARES "")

# One self-contained executable: no compiler runtime DLLs beside it. No time
# stamp in the PE header: the same sources make the same file.
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
# The demo's figures are single-precision results: the 32-bit build uses SSE
# arithmetic like the 64-bit one instead of x87 excess precision.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  add_compile_options(-msse2 -mfpmath=sse)
endif()
enable_language(RC)

# The system libraries the runtime calls.
function(wirlo_platform_runtime target)
  target_link_libraries(${target} PUBLIC gdi32 user32 kernel32)
endfunction()

# A program is a GUI executable with its own resources, made from the templates
# beside the platform records: the application manifest (version 6 of the
# common controls) and the version resource (the project's version, the
# program's name and description). The manifest names the build's processor
# architecture, X86 or amd64 (a mismatch keeps the program from starting).
function(wirlo_platform_program target name title page description)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86|i.86)$")
    set(WIRLO_MANIFEST_ARCH X86)
  else()
    set(WIRLO_MANIFEST_ARCH amd64)
  endif()
  set(PROGRAM_NAME ${name})
  set(PROGRAM_TITLE ${title})
  set(PROGRAM_DESCRIPTION ${description})
  # Windows writes versions as four numbers: 1.0.0 is 1,0,0,0 in the resource.
  set(WIRLO_VERSION_NUMBERS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
  set(out ${CMAKE_BINARY_DIR}/programs/${name})
  set(WIRLO_MANIFEST_FILE ${out}/program.manifest)
  configure_file(${WIRLO_TEMPLATES}/program.manifest.in ${WIRLO_MANIFEST_FILE} @ONLY)
  configure_file(${WIRLO_TEMPLATES}/program.rc.in ${out}/program.rc @ONLY)
  target_sources(${target} PRIVATE ${out}/program.rc)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
endfunction()

# Tools and benchmarks are plain console programs.
function(wirlo_platform_tool target)
endfunction()

# GoogleTest, built from its sources for Windows.
macro(wirlo_platform_test_framework)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(WIRLO_GTEST gtest)
endmacro()
