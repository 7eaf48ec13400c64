# The demo's product names: Wirlo.exe (natively Wirlo), and in the web build the
# page index.html with Wirlo.js and Wirlo.wasm; the description its version
# resource and --help give.
set(PROGRAM_NAME Wirlo)
set(PROGRAM_TITLE Wirlo)
set(PROGRAM_PAGE index.html)
set(PROGRAM_DESCRIPTION "A spiral feedback effect in an 800x600 window")
