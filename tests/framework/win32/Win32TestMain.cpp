// main() of the Win32 dialog tests: the Win32 window backend for every test.
#include "framework/win32/Win32Backend.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    tavirap::Win32WindowBackend backend;
    return RUN_ALL_TESTS();
}
