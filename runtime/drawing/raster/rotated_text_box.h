// The box that rotated text occupies, relative to the text's top-left corner.
#pragma once

struct RotatedBox {
    int minX, minY, maxX, maxY;  // the box is maxX - minX by maxY - minY pixels
};

// The bounding box of a width by height text turned by the given angle in
// degrees (positive: counter-clockwise on the screen, y growing downwards),
// relative to the text's top-left corner, which stays in place. Corner
// coordinates are truncated toward zero; the box always contains (0, 0).
RotatedBox RotatedTextBox(float width, float height, float degrees);
