// Numbers as the fields take them: whole 32-bit numbers only; one that does
// not fit is refused, never wrapped into range. (Typing cannot make one: the
// address fields stop at their width.)
#include "framework/DataExchange.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tavirap {
namespace {

TEST(ParseInt32, TakesWhole32BitNumbersAndRefusesTheRest) {
    const struct {
        const char* text;
        bool ok;
        std::int32_t value;
    } cases[] = {
        {"12", true, 12},
        {" 12\t", true, 12},
        {"+7", true, 7},
        {"-5", true, -5},
        {"2147483647", true, INT32_MAX},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"4294967297", false, 0},
        {"", false, 0},
        {"1a", false, 0},
        {"0x10", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t value = 99;
        EXPECT_EQ(ParseInt32(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 99) << c.text;
    }
}

}  // namespace
}  // namespace tavirap
