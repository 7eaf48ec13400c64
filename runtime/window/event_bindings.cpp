#include "runtime/window/event_bindings.h"

#include "runtime/core/container_map.h"

ContainerMap* EventBindings = nullptr;

void EventBindingsInit() {
    if (!EventBindings) EventBindings = MapCreate(EventBindingBuckets);
}

void EventBindingsEnd() {
    MapFree(EventBindings);
    EventBindings = nullptr;
}
