#include "runtime/core/object_table.h"

#include <cstring>

#include "runtime/core/main_heap.h"

static_assert(sizeof(DynamicEntryNode) % sizeof(void*) == 0, "entry after the node must stay aligned");

static bool EntryIsLive(const void* entry) {
    return entry && *static_cast<const intptr_t*>(entry) != 0;
}


ObjectTable* ObjectTableCreate(int entrySize, int growth, ObjectFreeCallback freeCallback) {
    if (entrySize < static_cast<int>(sizeof(intptr_t)) || growth < 1) return nullptr;
    auto* table = static_cast<ObjectTable*>(MainAlloc(sizeof(ObjectTable)));
    if (!table) return nullptr;
    table->slots = static_cast<void**>(MainAlloc(sizeof(void*) * static_cast<size_t>(growth)));
    if (!table->slots) {
        MainFree(table);
        return nullptr;
    }
    table->entrySize = entrySize;
    table->growth = growth;
    table->capacity = growth;
    table->freeCallback = freeCallback;
    return table;
}

void ObjectTableDestroy(ObjectTable* table) {
    if (!table) return;
    for (ObjectNumber n = 0; n < table->capacity; ++n) MainFree(table->slots[n]);
    MainFree(table->slots);
    for (DynamicEntryNode* node = table->dynamicList; node;) {
        DynamicEntryNode* older = node->next;
        MainFree(node);
        node = older;
    }
    MainFree(table);
}

// The dynamic node whose entry address is number, or 0.
static DynamicEntryNode* FindDynamic(ObjectTable* table, ObjectNumber number) {
    for (DynamicEntryNode* node = table->dynamicList; node; node = node->next)
        if (ObjectTableDynamicNumber(node->Entry()) == number) return node;
    return nullptr;
}

void* ObjectTableGetOrCreate(ObjectTable* table, ObjectNumber number) {
    if (!table || number < AnyNumber) return nullptr;
    if (number == AnyNumber) {
        auto* node = static_cast<DynamicEntryNode*>(MainAlloc(sizeof(DynamicEntryNode) + static_cast<size_t>(table->entrySize)));
        if (!node) return nullptr;
        node->next = table->dynamicList;
        if (table->dynamicList) table->dynamicList->prev = node;
        table->dynamicList = node;
        return node->Entry();
    }
    if (number >= table->capacity) {
        // Guard the slot count against overflow for absurd numbers.
        if (number > static_cast<ObjectNumber>(PTRDIFF_MAX / static_cast<ptrdiff_t>(sizeof(void*))) - table->growth)
            return nullptr;
        ObjectNumber capacity = number + table->growth;
        void* grown = MainReAlloc(table->slots, sizeof(void*) * static_cast<size_t>(capacity));
        if (!grown) return nullptr;
        table->slots = static_cast<void**>(grown);
        table->capacity = capacity;
    }
    void* entry = table->slots[number];
    if (entry) {
        // The number is reused: the library releases the previous object (if it
        // is still live) and the entry memory serves the new one.
        if (table->freeCallback) table->freeCallback(number);
        std::memset(entry, 0, static_cast<size_t>(table->entrySize));
        return entry;
    }
    entry = MainAlloc(static_cast<size_t>(table->entrySize));
    if (!entry) return nullptr;
    table->slots[number] = entry;
    return entry;
}

void* ObjectTableGet(ObjectTable* table, ObjectNumber number) {
    if (!table) return nullptr;
    void* candidate = nullptr;
    if (number >= 0 && number < table->capacity) {
        candidate = table->slots[number];
    } else if (DynamicEntryNode* node = FindDynamic(table, number)) {
        candidate = node->Entry();
    }
    return EntryIsLive(candidate) ? candidate : nullptr;
}

void ObjectTableFree(ObjectTable* table, ObjectNumber number) {
    if (!table) return;
    if (number >= 0 && number < table->capacity) {
        if (table->slots[number]) std::memset(table->slots[number], 0, static_cast<size_t>(table->entrySize));
        return;
    }
    DynamicEntryNode* node = FindDynamic(table, number);
    if (!node) return;
    if (node->prev) node->prev->next = node->next;
    else table->dynamicList = node->next;
    if (node->next) node->next->prev = node->prev;
    // An iteration positioned on this node moves on to the next newer one.
    if (table->iterationCursor == node) table->iterationCursor = node->prev;
    MainFree(node);
}

void* ObjectTableFirst(ObjectTable* table, ObjectNumber* number) {
    if (!table) return nullptr;
    table->iterationIndex = 0;
    DynamicEntryNode* oldest = table->dynamicList;
    while (oldest && oldest->next) oldest = oldest->next;
    table->iterationCursor = oldest;
    return ObjectTableNext(table, number);
}

void* ObjectTableNext(ObjectTable* table, ObjectNumber* number) {
    if (!table) return nullptr;
    while (table->iterationIndex < table->capacity) {
        ObjectNumber n = table->iterationIndex++;
        void* entry = table->slots[n];
        if (EntryIsLive(entry)) {
            if (number) *number = n;
            return entry;
        }
    }
    while (DynamicEntryNode* node = table->iterationCursor) {
        table->iterationCursor = node->prev;
        void* entry = node->Entry();
        if (EntryIsLive(entry)) {
            if (number) *number = ObjectTableDynamicNumber(entry);
            return entry;
        }
    }
    return nullptr;
}

void ObjectTableFreeAll(ObjectTable* table) {
    if (!table || !table->freeCallback) return;
    ObjectNumber number = 0;
    for (void* entry = ObjectTableFirst(table, &number); entry; entry = ObjectTableNext(table, &number))
        table->freeCallback(number);
}
