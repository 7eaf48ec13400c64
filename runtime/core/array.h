// Dynamic arrays: blocks of equally sized elements on MainHeap, each preceded by
// an ArrayHeader and owned by exactly one array variable (a pointer-sized word
// holding the address of element 0, or 0). Elements are addressed directly, with
// no bounds check. Elements that are structures can carry strings, nested arrays
// and containers; an element descriptor says where they are, so that creating,
// resizing, copying and freeing look after them.
#pragma once

#include <cstddef>
#include <cstdint>

// The header stored immediately before element 0. In the 32-bit build it is six
// 32-bit words (24 bytes). The descriptor and owner words hold addresses, so in
// the 64-bit build they are pointer-wide; the header then takes 32 bytes and
// element 0 stays 16-byte aligned.
struct ArrayHeader {
    int32_t dimensions;     // 1, or the number of dimensions of a multi-dimensional array
    int32_t elementSize;    // bytes per element
    const intptr_t* descriptor;  // element descriptor, 0 for plain elements
    void** owner;           // the array variable holding this array
    int32_t count;          // elements (product of all dimensions)
    int32_t typeCode;       // stored, not interpreted
};
#if INTPTR_MAX == INT32_MAX
static_assert(sizeof(ArrayHeader) == 24 && offsetof(ArrayHeader, elementSize) == 4 &&
                  offsetof(ArrayHeader, descriptor) == 8 && offsetof(ArrayHeader, owner) == 12 &&
                  offsetof(ArrayHeader, count) == 16 && offsetof(ArrayHeader, typeCode) == 20,
              "32-bit header: six 32-bit words");
#endif

// Element descriptor: a list of pointer-sized words ending with ArrayEnd. Each
// entry describes one part of the element that needs care:
//   n >= 0                                        string field (char16_t*, on StringHeap) at offset n
//   ArrayStructArray, count, offset, stride, sub  embedded fixed array of structures
//   ArrayStruct, offset, size, sub                embedded structure
//   ArrayDynamic, offset, elementSize, typeCode, sub, 0
//                                                 dynamic array field (an array variable)
//   ArrayForeignContainer, offset, a, b, c        container of a kind this runtime does not provide
//   ArrayContainer, offset, a, b, c, d            container of the runtime's container library
//   ArrayMulti, offset, dims, elementSize, typeCode, sub, size0 .. size(dims-1)
//                                                 multi-dimensional array field (variable + dims words)
enum : intptr_t {
    ArrayEnd = -1,
    ArrayStructArray = -2,
    ArrayStruct = -3,
    ArrayDynamic = -4,
    ArrayForeignContainer = -5,
    ArrayContainer = -6,
    ArrayMulti = -7,
};

// Operations of the container library, published at start-up; entries -6 use
// them. Without them such fields stay 0.
struct ArrayContainerOps {
    void (*create)(void* field, const intptr_t* entry);
    void (*copy)(void* target, const void* source, const intptr_t* entry);
    void (*release)(void* field, const intptr_t* entry);
    void (*moved)(void* field, const intptr_t* entry);
};
void ArraySetContainerOps(const ArrayContainerOps* ops);

// The operations the structure runtime calls for array fields.
struct ArrayOperations {
    void* (*create)(int elementSize, int32_t count, int typeCode, const intptr_t* descriptor, void** variable);
    void* (*createMulti)(int dimensions, int elementSize, int typeCode, const intptr_t* descriptor, void** variable);
    int (*copy)(void* source, void* target, int recreate);
    void (*free)(void* elements);
};
extern ArrayOperations ArrayOps;
void ArrayLibInit();

inline ArrayHeader* ArrayHeaderOf(void* elements) { return static_cast<ArrayHeader*>(elements) - 1; }
inline int32_t ArrayCount(void* elements) { return elements ? ArrayHeaderOf(elements)->count : 0; }

// Frees what the variable holds, then makes a zero-filled array of count
// elements and stores element 0's address in the variable. Returns that address,
// or 0 (the variable then holds 0) when memory runs out or the size is invalid.
void* ArrayCreate(int elementSize, int32_t count, int typeCode, const intptr_t* descriptor, void** variable);

// The d 32-bit words after the variable hold the dimension sizes; they are
// replaced by the strides (element (i0..) is at i0*stride0 + ... + i(d-1)).
// No dimensions make a one-element array. A negative size, or a count or
// stride beyond 32 bits, fails like ArrayCreate: 0, and the variable's old
// array is freed.
void* ArrayCreateMulti(int dimensions, int elementSize, int typeCode, const intptr_t* descriptor, void** variable);

// A variable for ArrayCreateMulti: element 0's address followed by the words.
template <int D>
struct MultiArrayVariable {
    void* elements;
    int32_t sizes[D];
};

// Resizes the array the variable holds, keeping the first min(old, new)
// elements and zero-filling new ones; the block may move. Returns 1 on success
// (or when there is nothing to do), 0 when memory runs out: the array and the
// variable are then left exactly as they were, nothing is lost.
int ArrayResize(int32_t count, void** variable);

// Releases the array (and what its elements hold) and sets its owner variable
// to 0. 0 is accepted and ignored.
void ArrayFree(void* elements);

// Copies the source's elements into the target. With recreate the target is
// first re-created through its owner variable in the source's shape. Returns 1
// when copied, 0 when not (either missing, the shapes differ, or, without
// recreate, the elements are of different kinds). An array copied onto itself
// is left as it is (1). The source is read whole before anything of the target
// is released, so the source may own the target or be owned by it.
int ArrayCopy(void* source, void* target, int recreate);
