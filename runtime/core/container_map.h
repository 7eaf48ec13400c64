// The runtime's container library: string-keyed hash maps of pointer-sized
// values. Keys are copied; values are stored as given. A map lives in MainHeap.
// ContainerLibInit publishes the create, copy and free operations for array
// element fields that hold a map (descriptor entries ArrayContainer).
#pragma once

#include <cstddef>
#include <cstdint>

struct ContainerMap;

// A new empty map with the given number of buckets (at least 1), or 0.
ContainerMap* MapCreate(int buckets);
// Frees the map, its keys and nodes. A null map is ignored.
void MapFree(ContainerMap* map);
// A copy of the map with its own keys (the values are copied as they are), or 0.
ContainerMap* MapCopy(const ContainerMap* map);
// Sets the value of key; returns false when memory runs out (the map unchanged).
bool MapSet(ContainerMap* map, const char16_t* key, intptr_t value);
// The value of key in *value; false when the key is absent.
bool MapGet(const ContainerMap* map, const char16_t* key, intptr_t* value);
// Removes key; false when it was absent.
bool MapRemove(ContainerMap* map, const char16_t* key);
size_t MapCount(const ContainerMap* map);
int MapBuckets(const ContainerMap* map);

// Buckets of a map made for an array field whose descriptor gives none.
constexpr int MapDefaultBuckets = 64;

// Publishes the map operations to the array library: a field described by
// ArrayContainer, offset, buckets, ... holds a map (buckets 0: the default).
void ContainerLibInit();
