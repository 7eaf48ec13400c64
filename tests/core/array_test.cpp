#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "runtime/core/array.h"
#include "runtime/core/main_heap.h"
#include "runtime/core/string_heap.h"

namespace {

int32_t* Ints(void* v) { return static_cast<int32_t*>(v); }

TEST(Array, CreateResizeAndFree) {
    void* var = nullptr;
    ASSERT_NE(ArrayCreate(4, 2, 21, nullptr, &var), nullptr);
    EXPECT_EQ(Ints(var)[0], 0);
    EXPECT_EQ(Ints(var)[1], 0);
    ArrayHeader* h = ArrayHeaderOf(var);
    EXPECT_EQ(h->dimensions, 1);
    EXPECT_EQ(h->elementSize, 4);
    EXPECT_EQ(h->owner, &var);
    EXPECT_EQ(h->count, 2);
    EXPECT_EQ(h->typeCode, 21);
    Ints(var)[0] = 5;
    Ints(var)[1] = 6;
    ASSERT_EQ(ArrayResize(25, &var), 1);
    EXPECT_EQ(ArrayCount(var), 25);
    EXPECT_EQ(Ints(var)[0], 5);
    EXPECT_EQ(Ints(var)[1], 6);
    for (int i = 2; i < 25; ++i) EXPECT_EQ(Ints(var)[i], 0) << i;
    ASSERT_EQ(ArrayResize(1, &var), 1);
    EXPECT_EQ(ArrayCount(var), 1);
    EXPECT_EQ(Ints(var)[0], 5);
    // Resizing to the same count changes nothing, not even the address.
    void* before = var;
    EXPECT_EQ(ArrayResize(1, &var), 1);
    EXPECT_EQ(var, before);
    ArrayFree(var);
    EXPECT_EQ(var, nullptr);
    ArrayFree(nullptr);  // accepted and ignored
    void* none = nullptr;
    EXPECT_EQ(ArrayResize(4, &none), 1);  // nothing held: nothing done
    EXPECT_EQ(none, nullptr);
}

TEST(Array, CreateReplacesTheHeldArray) {
    void* var = nullptr;
    ArrayCreate(4, 3, 21, nullptr, &var);
    Ints(var)[2] = 77;
    ASSERT_NE(ArrayCreate(4, 3, 21, nullptr, &var), nullptr);
    EXPECT_EQ(Ints(var)[2], 0);
    ArrayFree(var);
}

TEST(Array, InvalidSizesFailAndLeaveTheVariableEmpty) {
    struct Case { int size; int32_t count; };
    const Case cases[] = {{0, 4}, {-4, 4}, {4, -1}, {INT32_MAX, INT32_MAX}};
    for (const Case& c : cases) {
        void* var = nullptr;
        ArrayCreate(4, 2, 21, nullptr, &var);
        EXPECT_EQ(ArrayCreate(c.size, c.count, 21, nullptr, &var), nullptr) << c.size << " x " << c.count;
        EXPECT_EQ(var, nullptr);
    }
    // Shapes whose count or strides do not fit 32 bits, among them an empty
    // one whose first stride would be 10^10.
    const int32_t shapes[][3] = {{0, 100000, 100000}, {-1, 2, 2}, {2, 2, -1}, {2, 65536, 65536}};
    for (const auto& shape : shapes) {
        MultiArrayVariable<3> var = {nullptr, {shape[0], shape[1], shape[2]}};
        ArrayCreate(4, 2, 21, nullptr, &var.elements);
        EXPECT_EQ(ArrayCreateMulti(3, 4, 21, nullptr, &var.elements), nullptr) << shape[0] << "," << shape[1];
        EXPECT_EQ(var.elements, nullptr) << shape[0] << "," << shape[1];
    }
}

TEST(Array, MultiDimensionalStrides) {
    MultiArrayVariable<3> var = {nullptr, {2, 3, 4}};
    ASSERT_NE(ArrayCreateMulti(3, 2, 5, nullptr, &var.elements), nullptr);
    EXPECT_EQ(ArrayCount(var.elements), 24);
    EXPECT_EQ(ArrayHeaderOf(var.elements)->dimensions, 3);
    EXPECT_EQ(var.sizes[0], 12);
    EXPECT_EQ(var.sizes[1], 4);
    EXPECT_EQ(var.sizes[2], 1);
    ArrayFree(var.elements);
    // No dimensions: the empty product, one element; no size word is touched.
    MultiArrayVariable<1> none = {nullptr, {77}};
    ASSERT_NE(ArrayCreateMulti(0, 4, 21, nullptr, &none.elements), nullptr);
    EXPECT_EQ(ArrayCount(none.elements), 1);
    EXPECT_EQ(ArrayHeaderOf(none.elements)->dimensions, 0);
    EXPECT_EQ(none.sizes[0], 77);
    EXPECT_EQ(ArrayCreateMulti(-1, 4, 21, nullptr, &none.elements), nullptr);
}

TEST(Array, CopyCases) {
    void* a = nullptr;
    void* b = nullptr;
    void* c = nullptr;
    ArrayCreate(4, 3, 21, nullptr, &a);
    ArrayCreate(4, 3, 21, nullptr, &b);
    ArrayCreate(4, 5, 21, nullptr, &c);
    for (int i = 0; i < 3; ++i) Ints(a)[i] = 10 + i;
    EXPECT_EQ(ArrayCopy(a, b, 0), 1);
    EXPECT_EQ(std::memcmp(a, b, 12), 0);
    EXPECT_EQ(ArrayCopy(a, c, 0), 0);  // counts differ
    EXPECT_EQ(Ints(c)[0], 0);
    EXPECT_EQ(ArrayCopy(a, c, 1), 1);  // re-created through its variable
    EXPECT_EQ(ArrayCount(c), 3);
    EXPECT_EQ(Ints(c)[2], 12);
    EXPECT_EQ(ArrayCopy(c, c, 1), 1);  // onto itself: nothing is freed
    EXPECT_EQ(Ints(c)[2], 12);
    EXPECT_EQ(ArrayCopy(nullptr, b, 0), 0);
    EXPECT_EQ(ArrayCopy(a, nullptr, 1), 0);
    MultiArrayVariable<2> m = {nullptr, {1, 3}};
    ArrayCreateMulti(2, 4, 21, nullptr, &m.elements);
    EXPECT_EQ(ArrayCopy(a, m.elements, 0), 0);  // dimensions differ
    ArrayFree(m.elements);
    ArrayFree(a);
    ArrayFree(b);
    ArrayFree(c);
}

TEST(Array, FailedGrowthKeepsTheArray) {
    PrivateHeap* saved = MainHeap;
    MainHeap = PrivateHeapCreate(4096, 64 * 1024);
    void* var = nullptr;
    ASSERT_NE(ArrayCreate(4, 4, 21, nullptr, &var), nullptr);
    for (int i = 0; i < 4; ++i) Ints(var)[i] = i + 1;
    void* before = var;
    EXPECT_EQ(ArrayResize(1 << 20, &var), 0);
    EXPECT_EQ(var, before);
    EXPECT_EQ(ArrayCount(var), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Ints(var)[i], i + 1);
    ArrayFree(var);
    PrivateHeapDestroy(MainHeap);
    MainHeap = saved;
}

TEST(Array, ShrinkThatCannotReallocateLeavesNoStaleElements) {
    void* var = nullptr;
    ASSERT_NE(ArrayCreate(1, 8, 21, nullptr, &var), nullptr);
    std::memset(var, 0xAB, 8);
    MainReAllocFailNext(1);
    ASSERT_EQ(ArrayResize(2, &var), 1);
    EXPECT_EQ(ArrayCount(var), 2);
    ASSERT_EQ(ArrayResize(8, &var), 1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(static_cast<uint8_t*>(var)[i], i < 2 ? 0xAB : 0) << i;
    ArrayFree(var);
}

// Elements that own a string and a nested array.
struct Item {
    char16_t* name;
    void* values;  // dynamic array of int32
    int32_t tag;
};
const intptr_t kItemDescriptor[] = {
    offsetof(Item, name),
    ArrayDynamic, offsetof(Item, values), 4, 21, 0, 0,
    ArrayEnd,
};

TEST(Array, ManagedElementsAreCopiedDeeplyAndReleased) {
    void* src = nullptr;
    void* dst = nullptr;
    ASSERT_NE(ArrayCreate(sizeof(Item), 2, 7, kItemDescriptor, &src), nullptr);
    ArrayCreate(sizeof(Item), 1, 7, kItemDescriptor, &dst);
    Item* items = static_cast<Item*>(src);
    items[0].name = StringDuplicate(u"spiral");
    ArrayCreate(4, 3, 21, nullptr, &items[0].values);
    Ints(items[0].values)[2] = 42;
    items[0].tag = 5;
    ASSERT_EQ(ArrayCopy(src, dst, 1), 1);
    Item* copies = static_cast<Item*>(dst);
    ASSERT_NE(copies[0].name, nullptr);
    EXPECT_NE(copies[0].name, items[0].name);
    EXPECT_EQ(std::u16string(copies[0].name), u"spiral");
    ASSERT_NE(copies[0].values, nullptr);
    EXPECT_NE(copies[0].values, items[0].values);
    EXPECT_EQ(Ints(copies[0].values)[2], 42);
    EXPECT_EQ(ArrayHeaderOf(copies[0].values)->owner, &copies[0].values);
    EXPECT_EQ(copies[0].tag, 5);
    // Growth may move the block: nested arrays follow their field.
    ASSERT_EQ(ArrayResize(500, &src), 1);
    items = static_cast<Item*>(src);
    EXPECT_EQ(ArrayHeaderOf(items[0].values)->owner, &items[0].values);
    ArrayFree(src);
    ArrayFree(dst);
    EXPECT_EQ(src, nullptr);
    EXPECT_EQ(dst, nullptr);
}

// Elements that own an array of their own kind.
struct Node {
    void* kids;
    int32_t tag;
};
const intptr_t kNodeDescriptor[] = {ArrayDynamic, offsetof(Node, kids), sizeof(Node), 7, 0, 0, ArrayEnd};
Node* Nodes(void* v) { return static_cast<Node*>(v); }
void NewNode(void** variable, int32_t tag) {
    ArrayCreate(sizeof(Node), 1, 7, kNodeDescriptor, variable);
    Nodes(*variable)->tag = tag;
}

// Copies between an array and one that its element owns, either way round and
// re-created or not: the source is read whole before any of the target goes.
TEST(Array, CopyBetweenAnArrayAndOneItOwns) {
    for (int recreate = 0; recreate < 2; ++recreate) {
        void* top = nullptr;
        NewNode(&top, 1);
        NewNode(&Nodes(top)->kids, 2);
        ASSERT_EQ(ArrayCopy(Nodes(top)->kids, top, recreate), 1) << recreate;
        EXPECT_EQ(Nodes(top)->tag, 2);
        EXPECT_EQ(Nodes(top)->kids, nullptr);
        NewNode(&Nodes(top)->kids, 3);
        ASSERT_EQ(ArrayCopy(top, Nodes(top)->kids, recreate), 1) << recreate;
        Node* copy = Nodes(Nodes(top)->kids);  // the old top: tag 2 owning tag 3
        EXPECT_EQ(copy->tag, 2);
        ASSERT_EQ(ArrayCount(copy->kids), 1);
        EXPECT_EQ(Nodes(copy->kids)->tag, 3);
        EXPECT_EQ(Nodes(copy->kids)->kids, nullptr);
        EXPECT_EQ(ArrayHeaderOf(copy->kids)->owner, &copy->kids);
        ArrayFree(top);
    }
    // Elements of another kind are not copied over: nothing to release them by.
    void* top = nullptr;
    void* plain = nullptr;
    NewNode(&top, 1);
    ArrayCreate(sizeof(Node), 1, 7, nullptr, &plain);
    EXPECT_EQ(ArrayCopy(top, plain, 0), 0);
    EXPECT_EQ(ArrayCopy(plain, top, 0), 0);
    ArrayFree(top);
    ArrayFree(plain);
}

}  // namespace
