// The effect's frame work on its images, shared by the program and by
// everything that runs frames without a window (tests, tools, benchmarks).
//
// Image 2 holds the previous frame, image 3 the frame being composed, image 4
// the scratch tile. All functions work on the DemoState given (the program
// uses the default, Demo).
//
// How the program's entry uses them, in this order:
//   RuntimeStart();
//   DemoSetUpWindowed():
//     DemoSetUpStart();          cut lists, screen size and half sizes
//     ... desktop rectangle, GraphicsInit, window 0, windowed screen ...
//     DemoCreateImages();        images 2 and 3, 800 by 600, black
//     DemoSetUpTables();         ring constants and partition tables
//   frame loop, DemoRunFrame():
//     DemoComposeFrame();        image 3 from image 2 by tile moves
//     ... image 3 onto the screen, ScreenFlip ...
//     DemoCopyBackAndSeed();     image 3 back into image 2, then the seed line
//   ... until the close box or Escape (ProgramEndRequested)
//   RuntimeEnd();
// Each returns 1, or 0 when something it needs could not be made.
#pragma once

#include <cstdint>

#include "demo/demo_state.h"

enum : int {
    DemoImageSource = 2,  // the previous frame
    DemoImageFrame = 3,   // the frame being composed
    DemoImageTile = 4,    // one tile at a time
    DemoScreenWidth = 800,
    DemoScreenHeight = 600,
};

// The program's whole set-up after RuntimeStart: the cut lists, the window
// centred on the desktop with the windowed screen in it, the images and the
// partition tables. A step that cannot be done ends the program through
// RuntimeFail with a message and the exit code for it.
void DemoSetUpWindowed(DemoState& s = Demo);
// One frame as the program runs it: composition, presentation of image 3 on
// the screen, copy-back and seed line.
void DemoRunFrame(DemoState& s = Demo);

// Set-up before the window: the cut lists (2 elements each, resized by the
// tables) and the screen size.
int DemoSetUpStart(DemoState& s = Demo);
// Images 2 and 3 at the screen size, black.
int DemoCreateImages(DemoState& s = Demo);
// Set-up after the images: ring constants and both partition tables.
int DemoSetUpTables(DemoState& s = Demo);

// Begins drawing on image 3, moves every tile of this frame's schedule from
// image 2 onto it, advances the phases and ends drawing.
int DemoComposeFrame(DemoState& s = Demo);
// Begins drawing on image 2, copies image 3 onto it, draws the seed line
// (advancing the angle) and ends drawing.
int DemoCopyBackAndSeed(DemoState& s = Demo);

// Moves tile (p, q) of this frame from image 2 onto the current Canvas: a grab
// of its source rectangle into image 4, drawn at its destination. Returns 0.
int DemoMoveTile(DemoState& s, int32_t p, int32_t q);

// Without a window: the runtime parts the effect needs (image table, Canvas
// slot), a zero-filled state, every set-up step above, and the generator
// seeded with seed. Returns 1, or 0 on failure.
int DemoSetUpInMemory(DemoState& s, int32_t seed);
// Runs frames as the program does, minus the screen and the event poll.
int DemoRunFrames(DemoState& s, int frames);
// Frees the state's arrays and images 2, 3 and 4.
void DemoReleaseInMemory(DemoState& s);
