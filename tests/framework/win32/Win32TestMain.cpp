// main() of the Win32 dialog tests: the Win32 window backend for every test.
#include "framework/win32/Win32Backend.h"

#include <gtest/gtest.h>

#include <string_view>

#include "tests/dialog/DialogScenarios.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "--import") {
        return tavirap::test::ImportAsElevated(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    tavirap::Win32WindowBackend backend;
    return RUN_ALL_TESTS();
}
