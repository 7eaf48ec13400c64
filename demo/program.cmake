# The demo's product names: Wirlo.exe (natively Wirlo), and in the web build the
# page index.html with Wirlo.js and Wirlo.wasm.
set(PROGRAM_NAME Wirlo)
set(PROGRAM_TITLE Wirlo)
set(PROGRAM_PAGE index.html)
