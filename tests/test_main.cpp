#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// Tests ask for impossible sizes on purpose: the allocator must answer with
// null, as a real heap does, instead of aborting the run.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
