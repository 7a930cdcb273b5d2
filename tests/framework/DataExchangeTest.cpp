// Numbers as the dialog's fields and --set take them: one parser for both.
// (The fields then refuse what does not fit in 32 bits, --set what is out
// of the value's range; typing cannot make either: the fields stop at their
// width.)
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "cli/InputChanges.h"
#include "settings/SettingsSchema.h"

namespace tavirap {
namespace {

TEST(ParseNumber, TheDialogAndSetTakeTheSameNumbers) {
    const struct {
        const char* text;
        std::optional<std::int64_t> value;
    } cases[] = {
        {"12", 12},
        {" 12\t", 12},
        {"+7", 7},
        {"-5", -5},
        {"012", 12},
        {"-2147483649", -2147483649},
        {"9223372036854775807", INT64_MAX},
        {"9223372036854775808", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"+", std::nullopt},
        {"+-1", std::nullopt},
        {"- 1", std::nullopt},
        {"1 2", std::nullopt},
        {"1a", std::nullopt},
        {"1.0", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
        Changes changes;
        Findings findings;
        ChangeFromArgument("PortAdd3", c.text, changes, findings);
        const bool refused =
            !findings.list.empty() &&
            findings.list[0].text.find("takes a whole number") != std::string::npos;
        EXPECT_EQ(refused, !c.value) << c.text;
        EXPECT_EQ(changes.list.size(), c.value && *c.value >= 0 && *c.value <= 64 ? 1u : 0u)
            << c.text;
    }
}

}  // namespace
}  // namespace tavirap
