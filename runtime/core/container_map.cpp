#include "runtime/core/container_map.h"

#include <cstring>

#include "runtime/core/array.h"
#include "runtime/core/main_heap.h"

struct MapNode {
    MapNode* next;
    uint32_t hash;
    intptr_t value;
    char16_t* key;  // in the same block, after the node
};

struct ContainerMap {
    int buckets;
    size_t count;
    MapNode** table;
};

namespace {

uint32_t Hash(const char16_t* key) {
    uint32_t h = 2166136261u;
    for (; *key; ++key) {
        h ^= static_cast<uint32_t>(*key);
        h *= 16777619u;
    }
    return h;
}

size_t KeyLength(const char16_t* key) {
    size_t n = 0;
    while (key[n]) ++n;
    return n;
}

bool SameKey(const char16_t* a, const char16_t* b) {
    for (;; ++a, ++b) {
        if (*a != *b) return false;
        if (!*a) return true;
    }
}

MapNode* NewNode(const char16_t* key, uint32_t hash, intptr_t value) {
    size_t length = KeyLength(key);
    auto* node = static_cast<MapNode*>(MainAlloc(sizeof(MapNode) + (length + 1) * sizeof(char16_t)));
    if (!node) return nullptr;
    node->hash = hash;
    node->value = value;
    node->key = reinterpret_cast<char16_t*>(node + 1);
    std::memcpy(node->key, key, (length + 1) * sizeof(char16_t));
    return node;
}

MapNode** Slot(const ContainerMap* map, const char16_t* key, uint32_t hash) {
    MapNode** link = &map->table[hash % static_cast<uint32_t>(map->buckets)];
    while (*link && !((*link)->hash == hash && SameKey((*link)->key, key))) link = &(*link)->next;
    return link;
}

int BucketsOf(const intptr_t* entry) {
    intptr_t buckets = entry[2];
    return buckets > 0 && buckets <= (1 << 20) ? static_cast<int>(buckets) : MapDefaultBuckets;
}

ContainerMap*& FieldMap(void* field) { return *static_cast<ContainerMap**>(field); }

void FieldCreate(void* field, const intptr_t* entry) { FieldMap(field) = MapCreate(BucketsOf(entry)); }

void FieldCopy(void* target, const void* source, const intptr_t*) {
    MapFree(FieldMap(target));
    FieldMap(target) = MapCopy(*static_cast<ContainerMap* const*>(source));
}

void FieldRelease(void* field, const intptr_t*) {
    MapFree(FieldMap(field));
    FieldMap(field) = nullptr;
}

const ArrayContainerOps kMapOps = {FieldCreate, FieldCopy, FieldRelease, nullptr};

}  // namespace

ContainerMap* MapCreate(int buckets) {
    if (buckets < 1) buckets = 1;
    auto* map = static_cast<ContainerMap*>(MainAlloc(sizeof(ContainerMap)));
    if (!map) return nullptr;
    map->table = static_cast<MapNode**>(MainAlloc(sizeof(MapNode*) * static_cast<size_t>(buckets)));
    if (!map->table) {
        MainFree(map);
        return nullptr;
    }
    map->buckets = buckets;
    return map;
}

void MapFree(ContainerMap* map) {
    if (!map) return;
    for (int b = 0; b < map->buckets; ++b) {
        for (MapNode* node = map->table[b]; node;) {
            MapNode* next = node->next;
            MainFree(node);
            node = next;
        }
    }
    MainFree(map->table);
    MainFree(map);
}

ContainerMap* MapCopy(const ContainerMap* map) {
    if (!map) return nullptr;
    ContainerMap* copy = MapCreate(map->buckets);
    if (!copy) return nullptr;
    for (int b = 0; b < map->buckets; ++b) {
        MapNode** tail = &copy->table[b];
        for (const MapNode* node = map->table[b]; node; node = node->next) {
            MapNode* twin = NewNode(node->key, node->hash, node->value);
            if (!twin) {
                MapFree(copy);
                return nullptr;
            }
            *tail = twin;
            tail = &twin->next;
            ++copy->count;
        }
    }
    return copy;
}

bool MapSet(ContainerMap* map, const char16_t* key, intptr_t value) {
    if (!map || !key) return false;
    uint32_t hash = Hash(key);
    MapNode** link = Slot(map, key, hash);
    if (*link) {
        (*link)->value = value;
        return true;
    }
    MapNode* node = NewNode(key, hash, value);
    if (!node) return false;
    *link = node;
    ++map->count;
    return true;
}

bool MapGet(const ContainerMap* map, const char16_t* key, intptr_t* value) {
    if (!map || !key) return false;
    MapNode* node = *Slot(map, key, Hash(key));
    if (!node) return false;
    if (value) *value = node->value;
    return true;
}

bool MapRemove(ContainerMap* map, const char16_t* key) {
    if (!map || !key) return false;
    MapNode** link = Slot(map, key, Hash(key));
    MapNode* node = *link;
    if (!node) return false;
    *link = node->next;
    MainFree(node);
    --map->count;
    return true;
}

size_t MapCount(const ContainerMap* map) { return map ? map->count : 0; }
int MapBuckets(const ContainerMap* map) { return map ? map->buckets : 0; }

void ContainerLibInit() { ArraySetContainerOps(&kMapOps); }
