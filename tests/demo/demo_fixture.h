// A demo state for 800 by 600 with its tables built, as the program sets it up
// before the first frame; released again at the end of the test.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "demo/demo_state.h"
#include "demo/tables.h"
#include "runtime/core/array.h"

struct BuiltTables {
    DemoState s{};

    BuiltTables(int32_t width = 800, int32_t height = 600) {
        EXPECT_EQ(DemoCreateCutLists(s), 1);
        DemoSetScreenSize(s, width, height);
        DemoSetRingConstants(s);
        EXPECT_EQ(DemoBuildTables(s), 1);
    }
    ~BuiltTables() {
        void* arrays[] = {s.cutX, s.cutY, s.ringCellsX, s.ringStartX, s.ringCellsY, s.ringStartY, s.freeCell};
        for (void* a : arrays) ArrayFree(a);
    }
    BuiltTables(const BuiltTables&) = delete;
    BuiltTables& operator=(const BuiltTables&) = delete;

    static std::vector<int32_t> Elements(void* array, int32_t from, int32_t to) {
        std::vector<int32_t> v;
        for (int32_t i = from; i < to; ++i) v.push_back(DemoInts(array)[i]);
        return v;
    }
    std::vector<int32_t> Ring(DemoAxis axis, int32_t r) const {
        void* cells = axis == DemoAxis::X ? s.ringCellsX : s.ringCellsY;
        const int32_t first = DemoRingStart(s, axis, r);
        return Elements(cells, first, first + DemoRingLength(s, axis, r));
    }
};
