# The test card's description, which its version resource and --help give (its
# names are the folder's: testcard.exe, testcard.html).
set(PROGRAM_DESCRIPTION "A test card of the Wirlo runtime's drawing in a 640x480 window")
