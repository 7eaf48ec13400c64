# The browser: WebAssembly built with emscripten; a window is an HTML canvas on
# the page, images are plain pixel memory, with the POSIX layer below (files
# ending in _web and _posix).
set(WIRLO_PLATFORM_SHARES posix)

# The runtime draws on the page's own canvases: no libraries to link.
function(wirlo_platform_runtime target)
endfunction()

# A program is a page (PAGE: NAME.html, or the name its folder gives), which
# loads NAME.js, which loads NAME.wasm, all side by side in the build directory.
# The entry's frame loop runs as it is: asyncify lets ScreenFlip wait for the
# browser's next animation frame in the middle of it. Only direct calls lead to
# that wait, so indirect calls need no instrumentation. The page starts main
# itself and learns of its end through the promise of that call (INVOKE_RUN=0,
# ccall).
function(wirlo_platform_program target name title page description)
  target_link_options(${target} PRIVATE
    -sENVIRONMENT=web -sASYNCIFY=1 -sASYNCIFY_IGNORE_INDIRECT=1 -sALLOW_MEMORY_GROWTH=1
    -sEXIT_RUNTIME=1 -sINVOKE_RUN=0 -sEXPORTED_RUNTIME_METHODS=ccall)
  set(PROGRAM_NAME ${name})
  set(PROGRAM_TITLE ${title})
  configure_file(${WIRLO_TEMPLATES}/program.html.in ${CMAKE_BINARY_DIR}/${page} @ONLY)
endfunction()

# Tools and benchmarks run under node: the host's files through node's own file
# system, an exit code, and the WebAssembly inside the .js file (node would
# otherwise try to fetch it as a URL and fail).
function(wirlo_platform_tool target)
  target_link_options(${target} PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1
    -sSINGLE_FILE=1)
endfunction()

# No unit tests here: the programs' pictures and pages are checked end to end
# (tests/e2e/*_web.sh).
macro(wirlo_platform_test_framework)
  set(WIRLO_GTEST "")
endmacro()
