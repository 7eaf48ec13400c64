// Numbered-object tables. Each runtime library (windows, images, ...) keeps its
// objects in one ObjectTable and addresses them by number: a small non-negative
// number chosen by the program (a "static" number, looked up by indexing a slot
// array), or AnyNumber, which allocates a fresh "dynamic" entry whose address
// becomes the object's number. Numbers are pointer-wide for that reason.
#pragma once

#include <cstddef>
#include <cstdint>

using ObjectNumber = intptr_t;
constexpr ObjectNumber AnyNumber = -1;

// The library's operation that frees one object by number.
typedef void (*ObjectFreeCallback)(ObjectNumber number);

struct DynamicEntryNode;

// Entries are zero-filled records of entrySize bytes. The first pointer-sized
// word of an entry is the object's primary value (its native handle, say); an
// entry whose first word is 0 counts as absent.
struct ObjectTable {
    int entrySize;
    int growth;                  // initial slot count and the slack added on growth
    ObjectNumber capacity;       // number of slots
    void** slots;                // slot n: entry of static number n, or 0 if never used
    DynamicEntryNode* dynamicList;  // newest dynamic node, 0 if none
    ObjectFreeCallback freeCallback;
    ObjectNumber iterationIndex;       // next slot the iteration visits
    DynamicEntryNode* iterationCursor;  // next dynamic node the iteration visits
};

// Dynamic entry node: the older neighbour, the newer neighbour, then the entry.
struct DynamicEntryNode {
    DynamicEntryNode* next;  // older
    DynamicEntryNode* prev;  // newer
    // the entry follows, suitably aligned
    void* Entry() { return this + 1; }
};

// The 32-bit layouts: eight 4-byte fields, and a two-pointer node.
#if INTPTR_MAX == INT32_MAX
static_assert(offsetof(ObjectTable, entrySize) == 0 && offsetof(ObjectTable, growth) == 4 &&
                  offsetof(ObjectTable, capacity) == 8 && offsetof(ObjectTable, slots) == 12 &&
                  offsetof(ObjectTable, dynamicList) == 16 && offsetof(ObjectTable, freeCallback) == 20 &&
                  offsetof(ObjectTable, iterationIndex) == 24 && offsetof(ObjectTable, iterationCursor) == 28 &&
                  sizeof(ObjectTable) == 32,
              "32-bit ObjectTable layout");
static_assert(sizeof(DynamicEntryNode) == 8, "32-bit dynamic entry node: next, previous, then the entry");
#endif

// entrySize must be at least one pointer; growth at least 1. Returns 0 when the
// table cannot be allocated.
ObjectTable* ObjectTableCreate(int entrySize, int growth, ObjectFreeCallback freeCallback);
// Releases the table's own memory (slot array, entries, dynamic nodes) without
// calling the free callback; used when a library ends after freeing its objects.
void ObjectTableDestroy(ObjectTable* table);

// For AnyNumber: a fresh dynamic entry (its address is the number). For n >= 0:
// slot n's entry, growing the slot array if needed; an existing entry has its
// object released through the free callback first and its memory is reused.
// Returns 0 for numbers below -1 or when memory runs out (the table unchanged).
void* ObjectTableGetOrCreate(ObjectTable* table, ObjectNumber number);
// The live entry of a number, or 0.
void* ObjectTableGet(ObjectTable* table, ObjectNumber number);
// Forgets one object's entry: a static entry is zero-filled and kept for reuse,
// a dynamic node is unlinked and freed. Other numbers change nothing.
void ObjectTableFree(ObjectTable* table, ObjectNumber number);
// Calls the free callback for every live object (if there is a callback).
void ObjectTableFreeAll(ObjectTable* table);

// Iteration over live objects: static numbers ascending, then dynamic entries
// oldest first. The position advances before an entry is returned, so the
// caller may free the object it was just given.
void* ObjectTableFirst(ObjectTable* table, ObjectNumber* number);
void* ObjectTableNext(ObjectTable* table, ObjectNumber* number);

// The number of a dynamic entry (its address).
inline ObjectNumber ObjectTableDynamicNumber(const void* entry) {
    return static_cast<ObjectNumber>(reinterpret_cast<intptr_t>(entry));
}
