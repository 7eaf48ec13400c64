#include "runtime/core/array.h"

#include <cstring>

#include "runtime/core/main_heap.h"
#include "runtime/core/string_heap.h"

ArrayOperations ArrayOps = {};

namespace {

const ArrayContainerOps* containerOps = nullptr;

// Words of one descriptor entry, its first word included.
size_t EntryWords(const intptr_t* entry) {
    switch (entry[0]) {
        case ArrayStructArray: return 5;
        case ArrayStruct: return 4;
        case ArrayDynamic: return 6;
        case ArrayForeignContainer: return 5;
        case ArrayContainer: return 6;
        case ArrayMulti: return 6 + static_cast<size_t>(entry[2]);
        default: return 1;  // string field
    }
}

bool IsManaged(const intptr_t* descriptor) {
    if (!descriptor) return false;
    for (const intptr_t* e = descriptor; *e != ArrayEnd; e += EntryWords(e)) {
        switch (e[0]) {
            case ArrayDynamic: case ArrayForeignContainer: case ArrayContainer: case ArrayMulti: return true;
            case ArrayStructArray: if (IsManaged(reinterpret_cast<const intptr_t*>(e[4]))) return true; break;
            case ArrayStruct: if (IsManaged(reinterpret_cast<const intptr_t*>(e[3]))) return true; break;
            default: break;
        }
    }
    return false;
}

enum class Hook { Initialise, Release, FixUp };

void** FieldAt(void* element, intptr_t offset) {
    return reinterpret_cast<void**>(static_cast<char*>(element) + offset);
}

// Runs one hook over the parts of one element that the descriptor names.
void RunHook(Hook hook, void* element, const intptr_t* descriptor) {
    for (const intptr_t* e = descriptor; *e != ArrayEnd; e += EntryWords(e)) {
        switch (e[0]) {
            case ArrayStructArray: {
                auto* sub = reinterpret_cast<const intptr_t*>(e[4]);
                for (intptr_t k = 0; k < e[1]; ++k) RunHook(hook, static_cast<char*>(element) + e[2] + k * e[3], sub);
                break;
            }
            case ArrayStruct:
                RunHook(hook, static_cast<char*>(element) + e[1], reinterpret_cast<const intptr_t*>(e[3]));
                break;
            case ArrayDynamic:
            case ArrayMulti: {
                void** field = FieldAt(element, e[1]);
                if (hook == Hook::Release) ArrayFree(*field);
                else if (hook == Hook::FixUp && *field) ArrayHeaderOf(*field)->owner = field;
                break;
            }
            case ArrayContainer: {
                void* field = FieldAt(element, e[1]);
                if (!containerOps) break;
                if (hook == Hook::Initialise && containerOps->create) containerOps->create(field, e);
                else if (hook == Hook::Release && containerOps->release) containerOps->release(field, e);
                else if (hook == Hook::FixUp && containerOps->moved) containerOps->moved(field, e);
                break;
            }
            case ArrayForeignContainer:
                break;  // no operations for such containers exist in this runtime
            default:
                if (hook == Hook::Release) {
                    auto** text = reinterpret_cast<char16_t**>(FieldAt(element, e[0]));
                    StringFree(*text);
                    *text = nullptr;
                }
                break;
        }
    }
}

void* Duplicate(void* source, void** variable);

// Makes target (already a byte copy of source) own copies of everything the
// source element holds.
void DeepCopyParts(void* target, const void* source, const intptr_t* descriptor) {
    for (const intptr_t* e = descriptor; *e != ArrayEnd; e += EntryWords(e)) {
        switch (e[0]) {
            case ArrayStructArray: {
                auto* sub = reinterpret_cast<const intptr_t*>(e[4]);
                for (intptr_t k = 0; k < e[1]; ++k)
                    DeepCopyParts(static_cast<char*>(target) + e[2] + k * e[3],
                                  static_cast<const char*>(source) + e[2] + k * e[3], sub);
                break;
            }
            case ArrayStruct:
                DeepCopyParts(static_cast<char*>(target) + e[1], static_cast<const char*>(source) + e[1],
                              reinterpret_cast<const intptr_t*>(e[3]));
                break;
            case ArrayDynamic:
            case ArrayMulti: {
                void** field = FieldAt(target, e[1]);
                void* from = *field;  // still the source's array after the byte copy
                *field = nullptr;
                if (from && Duplicate(from, field) && e[0] == ArrayMulti)  // the stride words follow the variable
                    std::memcpy(field + 1, FieldAt(const_cast<void*>(source), e[1]) + 1, sizeof(int32_t) * static_cast<size_t>(e[2]));
                break;
            }
            case ArrayContainer: {
                void* field = FieldAt(target, e[1]);
                std::memset(field, 0, sizeof(void*));
                if (containerOps && containerOps->copy) containerOps->copy(field, FieldAt(const_cast<void*>(source), e[1]), e);
                break;
            }
            case ArrayForeignContainer:
                std::memset(FieldAt(target, e[1]), 0, sizeof(void*));
                break;
            default: {
                auto** text = reinterpret_cast<char16_t**>(FieldAt(target, e[0]));
                *text = StringDuplicate(*text);
                break;
            }
        }
    }
}

char* ElementAt(void* elements, int32_t index, int32_t size) {
    return static_cast<char*>(elements) + static_cast<size_t>(index) * static_cast<size_t>(size);
}

// Bytes of a block holding count elements, or 0 when that cannot be allocated.
size_t BlockBytes(int elementSize, int32_t count) {
    if (elementSize <= 0 || count < 0) return 0;
    size_t limit = (SIZE_MAX - sizeof(ArrayHeader)) / static_cast<size_t>(elementSize);
    if (static_cast<size_t>(count) > limit) return 0;
    return sizeof(ArrayHeader) + static_cast<size_t>(count) * static_cast<size_t>(elementSize);
}

// Makes a new array in *variable holding a deep copy of source, in its shape;
// nothing else refers to the new array yet. Returns it, or 0 when memory runs
// out (the variable is then 0).
void* Duplicate(void* source, void** variable) {
    const ArrayHeader* from = ArrayHeaderOf(source);
    void* copy = ArrayCreate(from->elementSize, from->count, from->typeCode, from->descriptor, variable);
    if (!copy) return nullptr;
    ArrayHeaderOf(copy)->dimensions = from->dimensions;
    const size_t size = static_cast<size_t>(from->elementSize);
    if (!from->descriptor) {
        std::memcpy(copy, source, static_cast<size_t>(from->count) * size);
        return copy;
    }
    for (int32_t i = 0; i < from->count; ++i) {
        char* t = ElementAt(copy, i, from->elementSize);
        const char* s = ElementAt(source, i, from->elementSize);
        RunHook(Hook::Release, t, from->descriptor);  // what creation set up
        std::memcpy(t, s, size);
        DeepCopyParts(t, s, from->descriptor);
    }
    return copy;
}

}  // namespace

void ArraySetContainerOps(const ArrayContainerOps* ops) { containerOps = ops; }

void ArrayLibInit() {
    ArrayOps.create = ArrayCreate;
    ArrayOps.createMulti = ArrayCreateMulti;
    ArrayOps.copy = ArrayCopy;
    ArrayOps.free = ArrayFree;
}

void* ArrayCreate(int elementSize, int32_t count, int typeCode, const intptr_t* descriptor, void** variable) {
    if (!variable) return nullptr;
    ArrayFree(*variable);
    size_t bytes = BlockBytes(elementSize, count);
    if (!bytes) return nullptr;
    auto* header = static_cast<ArrayHeader*>(MainAlloc(bytes));  // zero-filled
    if (!header) return nullptr;
    header->dimensions = 1;
    header->elementSize = elementSize;
    header->descriptor = descriptor;
    header->owner = variable;
    header->count = count;
    header->typeCode = typeCode;
    void* elements = header + 1;
    *variable = elements;
    if (IsManaged(descriptor))
        for (int32_t i = 0; i < count; ++i) RunHook(Hook::Initialise, ElementAt(elements, i, elementSize), descriptor);
    return elements;
}

void* ArrayCreateMulti(int dimensions, int elementSize, int typeCode, const intptr_t* descriptor, void** variable) {
    if (!variable) return nullptr;
    auto* sizes = reinterpret_cast<int32_t*>(variable + 1);
    // Each size word becomes the stride of its dimension, the product of the
    // sizes after it, so every stride as well as the count must fit 32 bits.
    // The strides are checked on their own: with a first size of 0 the count
    // is 0 however large the strides are. A shape that does not fit fails like
    // an invalid plain create, which frees what the variable held. No
    // dimensions make one element, the empty product.
    bool fits = dimensions >= 0;
    int64_t stride = 1;
    for (int k = dimensions - 1; fits && k >= 0; --k) {
        fits = sizes[k] >= 0 && stride <= INT32_MAX;
        if (fits) stride *= sizes[k];
    }
    const int64_t count = stride;
    if (!fits || count > INT32_MAX) {
        ArrayFree(*variable);
        return nullptr;
    }
    int32_t next = 1;
    for (int k = dimensions - 1; k >= 0; --k) {
        const int32_t size = sizes[k];
        sizes[k] = next;
        next = static_cast<int32_t>(int64_t{next} * size);
    }
    void* elements = ArrayCreate(elementSize, static_cast<int32_t>(count), typeCode, descriptor, variable);
    if (elements) ArrayHeaderOf(elements)->dimensions = dimensions;
    return elements;
}

int ArrayResize(int32_t count, void** variable) {
    if (!variable || !*variable) return 1;
    ArrayHeader* header = ArrayHeaderOf(*variable);
    int32_t oldCount = header->count;
    if (count == oldCount) return 1;
    size_t bytes = BlockBytes(header->elementSize, count);
    if (!bytes) return 0;
    const intptr_t* descriptor = header->descriptor;
    int32_t size = header->elementSize;
    if (count < oldCount && descriptor)
        for (int32_t i = count; i < oldCount; ++i) RunHook(Hook::Release, ElementAt(header + 1, i, size), descriptor);
    auto* moved = static_cast<ArrayHeader*>(MainReAlloc(header, bytes));
    if (!moved) {
        if (count > oldCount) return 0;  // nothing was touched: the array stays whole
        // A shrink that cannot reallocate keeps its larger block; the heap will
        // not zero-fill that part when the array grows again, so clear it now.
        moved = header;
        std::memset(ElementAt(header + 1, count, size), 0,
                    static_cast<size_t>(oldCount - count) * static_cast<size_t>(size));
    }
    void* elements = moved + 1;
    if (IsManaged(descriptor)) {
        int32_t kept = count < oldCount ? count : oldCount;
        if (moved != header)
            for (int32_t i = 0; i < kept; ++i) RunHook(Hook::FixUp, ElementAt(elements, i, size), descriptor);
        for (int32_t i = oldCount; i < count; ++i) RunHook(Hook::Initialise, ElementAt(elements, i, size), descriptor);
    }
    moved->count = count;
    *variable = elements;
    return 1;
}

void ArrayFree(void* elements) {
    if (!elements) return;
    ArrayHeader* header = ArrayHeaderOf(elements);
    if (header->descriptor)
        for (int32_t i = 0; i < header->count; ++i)
            RunHook(Hook::Release, ElementAt(elements, i, header->elementSize), header->descriptor);
    if (header->owner && *header->owner == elements) *header->owner = nullptr;
    MainFree(header);
}

int ArrayCopy(void* source, void* target, int recreate) {
    if (!source || !target) return 0;
    ArrayHeader* from = ArrayHeaderOf(source);
    ArrayHeader* to = ArrayHeaderOf(target);
    if (from->dimensions != to->dimensions) return 0;
    // An array copied onto itself already holds what the copy would give it;
    // re-creating it would free the source before it is read.
    if (source == target) return 1;
    // The stride words are read before the target goes: the source may be
    // owned by it.
    if (from->dimensions > 1 && from->owner && to->owner)
        std::memmove(to->owner + 1, from->owner + 1, sizeof(int32_t) * static_cast<size_t>(from->dimensions));
    if (!recreate && (from->count != to->count || from->elementSize != to->elementSize)) return 0;
    if (!recreate && !from->descriptor && !to->descriptor) {
        std::memmove(target, source, static_cast<size_t>(from->count) * static_cast<size_t>(from->elementSize));
        return 1;
    }
    // Elements kept in place are released by the target's descriptor and
    // rebuilt by the source's: they must be the same.
    if (!recreate && from->descriptor != to->descriptor) return 0;
    if (recreate && !to->owner) return 0;
    // The source may own the target or be owned by it, so it is copied whole
    // before anything of the target is released; the copy then takes the
    // target's place (re-created) or moves into its elements.
    void* copy = nullptr;
    if (!Duplicate(source, &copy)) {
        if (recreate) ArrayFree(target);  // as a re-create that found no memory
        return 0;
    }
    if (recreate) {
        void** owner = to->owner;
        ArrayFree(target);
        ArrayHeaderOf(copy)->owner = owner;
        *owner = copy;
        return 1;
    }
    // Releasing a target element may free the source (and its header) too.
    for (int32_t i = 0; i < to->count; ++i) {
        char* t = ElementAt(target, i, to->elementSize);
        RunHook(Hook::Release, t, to->descriptor);
        std::memcpy(t, ElementAt(copy, i, to->elementSize), static_cast<size_t>(to->elementSize));
        RunHook(Hook::FixUp, t, to->descriptor);
    }
    MainFree(ArrayHeaderOf(copy));  // its elements' parts now belong to the target
    return 1;
}
