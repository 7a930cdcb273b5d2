// Tests of anything that touches the process-wide address table start from the
// state the process starts with, and leave nothing behind for the next test.
#pragma once

#include <gtest/gtest.h>

#include "settings/PortSettings.h"

namespace tavirap {

class ProcessStateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }
};

}  // namespace tavirap
