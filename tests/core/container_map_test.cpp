#include <gtest/gtest.h>

#include <string>

#include "runtime/core/array.h"
#include "runtime/core/container_map.h"

namespace {

TEST(ContainerMap, SetGetReplaceRemove) {
    ContainerMap* map = MapCreate(4);  // few buckets: chains get long
    ASSERT_NE(map, nullptr);
    std::u16string keys[40];
    for (int i = 0; i < 40; ++i) {
        keys[i] = u"key" + std::u16string(1, static_cast<char16_t>(u'A' + i));
        ASSERT_TRUE(MapSet(map, keys[i].c_str(), i * 10));
    }
    EXPECT_EQ(MapCount(map), 40u);
    intptr_t value = -1;
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(MapGet(map, keys[i].c_str(), &value));
        EXPECT_EQ(value, i * 10);
    }
    EXPECT_TRUE(MapSet(map, u"keyC", 5));  // replacing keeps the count
    EXPECT_EQ(MapCount(map), 40u);
    EXPECT_TRUE(MapGet(map, u"keyC", &value));
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(MapGet(map, u"key", &value));
    EXPECT_FALSE(MapGet(map, u"keyCC", &value));
    EXPECT_TRUE(MapRemove(map, u"keyC"));
    EXPECT_FALSE(MapRemove(map, u"keyC"));
    EXPECT_FALSE(MapGet(map, u"keyC", &value));
    EXPECT_TRUE(MapGet(map, u"keyD", &value));  // neighbours in the chain survive
    EXPECT_EQ(MapCount(map), 39u);
    EXPECT_TRUE(MapSet(map, u"", 1));  // the empty key is a key
    EXPECT_TRUE(MapGet(map, u"", &value));
    EXPECT_FALSE(MapSet(map, nullptr, 1));
    MapFree(map);
    MapFree(nullptr);
}

TEST(ContainerMap, KeysAreCopiedAndCopiesAreIndependent) {
    ContainerMap* map = MapCreate(8);
    char16_t key[] = u"alpha";
    ASSERT_TRUE(MapSet(map, key, 1));
    key[0] = u'X';
    intptr_t value = 0;
    EXPECT_TRUE(MapGet(map, u"alpha", &value));
    ContainerMap* copy = MapCopy(map);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(MapBuckets(copy), 8);
    MapSet(copy, u"alpha", 2);
    MapSet(copy, u"beta", 3);
    EXPECT_TRUE(MapGet(map, u"alpha", &value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(MapGet(map, u"beta", &value));
    EXPECT_EQ(MapCount(copy), 2u);
    MapFree(map);
    EXPECT_TRUE(MapGet(copy, u"alpha", &value));
    EXPECT_EQ(value, 2);
    MapFree(copy);
    EXPECT_EQ(MapCopy(nullptr), nullptr);
    EXPECT_EQ(MapBuckets(MapCreate(0)) , 1);
}

struct Element {
    int32_t id;
    ContainerMap* map;
};

TEST(ContainerMap, ArrayFieldsGetTheirOwnMaps) {
    ContainerLibInit();
    static const intptr_t descriptor[] = {ArrayContainer, offsetof(Element, map), 16, 0, 0, 0, ArrayEnd};
    void* variable = nullptr;
    auto* elements = static_cast<Element*>(ArrayCreate(sizeof(Element), 3, 0, descriptor, &variable));
    ASSERT_NE(elements, nullptr);
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(elements[i].map, nullptr);
        EXPECT_EQ(MapBuckets(elements[i].map), 16);
    }
    EXPECT_NE(elements[0].map, elements[1].map);
    MapSet(elements[1].map, u"x", 42);
    void* copyVariable = nullptr;
    ASSERT_NE(ArrayCreate(sizeof(Element), 3, 0, descriptor, &copyVariable), nullptr);
    ASSERT_TRUE(ArrayCopy(variable, copyVariable, 0));
    auto* copies = static_cast<Element*>(copyVariable);
    ASSERT_NE(copies, nullptr);
    ASSERT_NE(copies[1].map, elements[1].map);
    intptr_t value = 0;
    EXPECT_TRUE(MapGet(copies[1].map, u"x", &value));
    EXPECT_EQ(value, 42);
    ArrayFree(copyVariable);
    ArrayFree(variable);
}

}  // namespace
