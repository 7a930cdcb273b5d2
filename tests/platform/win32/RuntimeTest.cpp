// The C++ library's reports of misuse, its exceptions per thread and its
// guarded statics, as every Windows program links them in their place.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(Win32Runtime, MisuseIsReportedWithTheLibrarysWords) {
    const struct {
        std::function<void()> misuse;
        const char* what;
    } cases[] = {
        {[] { (void)std::string("abc").at(5); },
         "basic_string::at: __n (which is 5) >= this->size() (which is 3)"},
        {[] { (void)std::vector<int>(2).at(7); },
         "vector::_M_range_check: __n (which is 7) >= this->size() (which is 2)"},
        {[] { std::string().reserve(std::string().max_size() + 1); }, "basic_string::_M_create"},
        {[] { (void)std::optional<int>().value(); }, "bad optional access"},
        {[] { std::function<void()>()(); }, "bad_function_call"},
    };
    for (const auto& c : cases) {
        try {
            c.misuse();
            ADD_FAILURE() << "no exception for " << c.what;
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), c.what);
        }
    }
}

// Each thread has its own exceptions in flight, and a static that threads
// reach together is initialised once, the others waiting for it.
TEST(Win32Runtime, ThreadsKeepTheirOwnExceptionsAndInitialiseAStaticOnce) {
    std::atomic<int> initialised{0};
    const auto shared = [&] {
        static const int value = [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            return ++initialised;
        }();
        return value;
    };
    const auto current = [] {
        try {
            std::rethrow_exception(std::current_exception());
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
    };
    std::vector<std::string> seen(4);
    try {
        throw std::runtime_error("main");
    } catch (const std::exception&) {
        std::vector<std::thread> threads;
        for (std::string& s : seen) {
            threads.emplace_back([&] {
                try {
                    throw std::runtime_error("own");
                } catch (const std::exception&) {
                    s = current() + std::to_string(shared());
                }
            });
        }
        for (std::thread& t : threads) {
            t.join();
        }
        EXPECT_EQ(current(), "main");
    }
    EXPECT_EQ(initialised, 1);
    EXPECT_EQ(seen, std::vector<std::string>(4, "own1"));
}

}  // namespace
