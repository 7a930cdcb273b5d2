#include <gtest/gtest.h>

#include <vector>

#include "settings/PortPages.h"

namespace tavirap {
namespace {

class Pages : public ::testing::Test {
protected:
    // A loaded configuration: port n has address 100 + n, so that every
    // entry can be told from its neighbours and from the defaults.
    void Load(std::int32_t totalIndex) {
        for (int k = 0; k < kPortCount; ++k) {
            settings.addresses[k] = 101 + k;
        }
        settings.totalIndex = totalIndex;
        settings.page = {0, PageCountFromIndex(totalIndex)};
        ShowPage(settings);
    }

    std::vector<std::string> Labels() const {
        return {settings.rowLabel.begin(), settings.rowLabel.end()};
    }

    void ExpectPage(int page) const {
        EXPECT_EQ(settings.page.currentPage, page);
        for (int k = 0; k < kRowsPerPage; ++k) {
            const int port = page * kRowsPerPage + k + 1;
            EXPECT_EQ(settings.rowLabel[k], PortLabel(port)) << k;
            EXPECT_EQ(settings.rowAddress[k], settings.addresses[port - 1]) << k;
        }
    }

    PortSettings settings;
};

TEST_F(Pages, WrapAroundBothWaysOnEightPages) {
    Load(9);
    EXPECT_EQ(settings.page.pageCount, 8);
    std::vector<int> forward;
    for (int i = 0; i < 9; ++i) {
        NextPage(settings);
        forward.push_back(settings.page.currentPage);
    }
    EXPECT_EQ(forward, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));

    NextPage(settings);  // back to page 2, then down through the wrap
    std::vector<int> backward;
    for (int i = 0; i < 4; ++i) {
        PrevPage(settings);
        backward.push_back(settings.page.currentPage);
    }
    EXPECT_EQ(backward, (std::vector<int>{1, 0, 7, 6}));
    PrevPage(settings);
    PrevPage(settings);
    ExpectPage(4);

    settings.page.currentPage = 0;
    ShowPage(settings);
    PrevPage(settings);
    ExpectPage(7);
    EXPECT_EQ(settings.rowLabel.front(), "SERIAL57");
    EXPECT_EQ(settings.rowLabel.back(), "SERIAL64");
    EXPECT_EQ(settings.rowAddress.back(), 164);
}

TEST_F(Pages, OnePageTotalsStayOnPageZeroAndKeepEdits) {
    for (std::int32_t index : {0, 1, 2}) {
        Load(index);
        settings.rowAddress[1] = 42;
        NextPage(settings);
        EXPECT_EQ(settings.page.currentPage, 0) << index;
        EXPECT_EQ(settings.rowAddress[1], 42) << index;
        settings.rowAddress[0] = 7;
        PrevPage(settings);
        EXPECT_EQ(settings.page.currentPage, 0) << index;
        EXPECT_EQ(settings.addresses[0], 7) << index;
        EXPECT_EQ(settings.addresses[1], 42) << index;
        EXPECT_EQ(settings.page.pageCount, 1) << index;
    }
}

TEST_F(Pages, EditsAreStoredAtTheirPortWhenLeavingAPage) {
    Load(9);
    NextPage(settings);
    NextPage(settings);
    NextPage(settings);  // page 3: SERIAL25 to SERIAL32
    settings.rowAddress[1] = 17;
    NextPage(settings);
    EXPECT_EQ(settings.addresses[25], 17);
    EXPECT_EQ(settings.addresses[24], 125);
    EXPECT_EQ(settings.addresses[26], 127);
    PrevPage(settings);
    EXPECT_EQ(settings.rowAddress[1], 17);
    EXPECT_EQ(settings.rowLabel[1], "SERIAL26");
}

TEST_F(Pages, TotalChangedOnALaterPageKeepsThatPage) {
    Load(9);
    for (int i = 0; i < 5; ++i) {
        NextPage(settings);
    }
    settings.totalIndex = 3;  // 64 to 16 ports while page 5 is shown
    settings.rowAddress[0] = 9;
    ChangeTotal(settings);
    ExpectPage(5);
    EXPECT_EQ(settings.rowLabel[0], "SERIAL41");
    EXPECT_EQ(settings.addresses[40], 9);
    EXPECT_EQ(settings.page.pageCount, 2);

    NextPage(settings);
    ExpectPage(0);

    settings.page.currentPage = 5;
    ShowPage(settings);
    PrevPage(settings);
    ExpectPage(4);
}

TEST_F(Pages, BlankRowsOfTwoAndFourPorts) {
    struct Case {
        std::int32_t totalIndex;
        int shown;
    };
    for (const auto& [index, shown] : {Case{0, 2}, Case{1, 4}}) {
        Load(index);
        for (int k = 0; k < kRowsPerPage; ++k) {
            if (k < shown) {
                EXPECT_EQ(settings.rowLabel[k], PortLabel(k + 1));
                EXPECT_EQ(settings.rowAddress[k], 101 + k);
            } else {
                EXPECT_EQ(settings.rowLabel[k], "") << k;
                EXPECT_EQ(settings.rowAddress[k], 0) << k;
            }
        }
    }
}

TEST_F(Pages, BlankRowsOnlyOnPageZero) {
    Load(3);
    NextPage(settings);
    settings.totalIndex = 0;  // two ports chosen while page 1 is shown
    ChangeTotal(settings);
    ExpectPage(1);
    NextPage(settings);  // one page now: back to page 0, blanked
    EXPECT_EQ(settings.page.currentPage, 0);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"SERIAL1", "SERIAL2", "", "", "", "", "", ""}));
}

TEST_F(Pages, BlankRowsDoNotOverwriteTheirPorts) {
    Load(2);
    settings.totalIndex = 0;  // 8 ports to 2 on page 0
    ChangeTotal(settings);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"SERIAL1", "SERIAL2", "", "", "", "", "", ""}));

    // What is typed into a blank row is not stored either.
    settings.rowAddress[5] = 33;
    NextPage(settings);
    PrevPage(settings);
    for (int k = 2; k < kRowsPerPage; ++k) {
        EXPECT_EQ(settings.addresses[k], 101 + k) << k;
    }

    settings.totalIndex = 2;  // and back to 8
    ChangeTotal(settings);
    ExpectPage(0);

    settings.totalIndex = 1;  // 4 ports keeps rows 3 and 4 live
    ChangeTotal(settings);
    settings.rowAddress[3] = 44;
    settings.rowAddress[6] = 66;
    settings.totalIndex = 2;
    ChangeTotal(settings);
    EXPECT_EQ(settings.rowAddress[3], 44);
    EXPECT_EQ(settings.rowAddress[6], 107);
}

TEST_F(Pages, NoIndexMovesAPagePastTheTable) {
    Load(9);
    settings.totalIndex = 13;  // not an entry of the list
    for (int i = 0; i < 20; ++i) {
        NextPage(settings);
        ASSERT_GE(settings.page.currentPage, 0);
        ASSERT_LT(settings.page.currentPage, 8);
    }
    PrevPage(settings);
    EXPECT_LT(settings.page.currentPage, 8);
}

}  // namespace
}  // namespace tavirap
