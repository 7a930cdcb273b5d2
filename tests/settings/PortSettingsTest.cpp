#include <gtest/gtest.h>

#include "settings/PortSettings.h"
#include <gtest/gtest.h>

#include "settings/PortSettings.h"

namespace tavirap {
namespace {

struct Mapping {
    std::int32_t maxPort;
    std::int32_t index;
};

TEST(Mappings, ListEntriesMapBothWays) {
    const Mapping entries[] = {{2, 0},  {4, 1},  {8, 2},  {16, 3}, {24, 4},
                               {32, 5}, {40, 6}, {48, 7}, {56, 8}, {64, 9}};
    for (const auto& [maxPort, index] : entries) {
        EXPECT_EQ(IndexFromMaxPort(maxPort), index) << maxPort;
        EXPECT_EQ(MaxPortFromIndex(index), maxPort) << index;
        EXPECT_EQ(ListIndexFromMaxPort(maxPort), index) << maxPort;
    }
}

TEST(Mappings, NumbersOutsideTheList) {
    struct Case {
        std::int32_t maxPort, index, listIndex;
    };
    const Case cases[] = {
        {100, 13, 9}, {72, 10, 9}, {65, 9, 9},  {71, 9, 9},   {20, 3, 3},
        {5, 1, 1},    {3, 1, 1},   {1, 1, 1},   {0, 1, 1},    {-1, 1, 1},
        {-7, 1, 1},   {-8, 0, 0},  {-15, 0, 0}, {-16, -1, 0}, {-100, -11, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IndexFromMaxPort(c.maxPort), c.index) << c.maxPort;
        EXPECT_EQ(ListIndexFromMaxPort(c.maxPort), c.listIndex) << c.maxPort;
    }
}

TEST(Mappings, MaxPortForIndexesOutsideTheList) {
    // The rule i * 8 - 8 holds for every index but the list's first two.
    const Mapping cases[] = {{96, 13}, {72, 10}, {-16, -1}, {-24, -2}};
    for (const auto& [maxPort, index] : cases) {
        EXPECT_EQ(MaxPortFromIndex(index), maxPort) << index;
    }
}

TEST(Mappings, PageCounts) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{-1, 1}, {0, 1}, {1, 1}, {2, 1},
                                                           {3, 2},  {4, 3}, {8, 7}, {9, 8}};
    for (const auto& [index, pages] : cases) {
        EXPECT_EQ(PageCountFromIndex(index), pages) << index;
    }
}

using Defaults = ::testing::Test;

TEST_F(Defaults, ProcessStartsWithEmptyTableOnOnePage) {
    EXPECT_EQ(PortSettings{}.addresses, PortAddressTable{});
    EXPECT_EQ(PortSettings{}.page.currentPage, 0);
    EXPECT_EQ(PortSettings{}.page.pageCount, 1);
}

TEST_F(Defaults, ResetDefaultsFillsRecordTableAndPages) {
    PortSettings settings;
    settings.page = {5, 8};
    settings.rowLabel[3].clear();
    settings.totalIndex = 9;
    settings.parity = "Odd Parity";

    ResetDefaults(settings);

    for (int n = 1; n <= kPortCount; ++n) {
        EXPECT_EQ(settings.addresses[n - 1], n);
    }
    EXPECT_EQ(settings.page.currentPage, 0);
    EXPECT_EQ(settings.page.pageCount, 1);
    EXPECT_EQ(settings.rowAddress, (std::array<std::int32_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(settings.rowLabel[0], "SERIAL1");
    EXPECT_EQ(settings.rowLabel[3], "SERIAL4");
    EXPECT_EQ(settings.rowLabel[7], "SERIAL8");
    EXPECT_EQ(settings.baudRate, "9600");
    EXPECT_EQ(settings.parity, "No Parity");
    EXPECT_EQ(settings.dataBits, "8");
    EXPECT_EQ(settings.stopBits, "1");
    EXPECT_EQ(settings.flowControl, "Hardware");
    EXPECT_EQ(settings.mainPort, "COM1");
    EXPECT_EQ(settings.totalIndex, 2);
    EXPECT_EQ(PageCountFromIndex(settings.totalIndex), 1);
}

}  // namespace
}  // namespace tavirap
