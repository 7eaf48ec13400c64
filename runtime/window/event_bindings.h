// The event-binding map: a string-keyed container map with 1024 buckets that
// the event library creates at start-up and frees at shutdown. Nothing in this
// program binds events, so it stays empty.
#pragma once

struct ContainerMap;

constexpr int EventBindingBuckets = 1024;

// The map between start-up and shutdown, 0 otherwise.
extern ContainerMap* EventBindings;

// Creates the map (once; later calls do nothing).
void EventBindingsInit();
// Frees the map.
void EventBindingsEnd();
