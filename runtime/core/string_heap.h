// The runtime's string values (UTF-16, zero-terminated) live on their own heap,
// StringHeap, separate from MainHeap.
#pragma once

#include <cstddef>

#include "runtime/core/platform.h"

extern PrivateHeap* StringHeap;

// Creates StringHeap and its 16-byte work buffer; does nothing if it exists.
void StringLibInit();
// Frees the work buffer and destroys StringHeap with every string in it.
void StringLibEnd();

// A copy of a zero-terminated string on StringHeap (0 for a null source or when
// memory runs out).
char16_t* StringDuplicate(const char16_t* text);
void StringFree(char16_t* text);
size_t StringLength(const char16_t* text);
