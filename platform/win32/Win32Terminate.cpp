// What ends the program when an exception is thrown that nothing catches:
// the C++ library's own words ("terminate called after throwing ..." and the
// exception's what()), then abort. It takes the place of the library's
// handler, which names the exception's type through a demangler and prints
// through the formatted printf: about 50 KiB of a statically linked program
// for a message that no run of it should ever show.
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    static bool terminating = false;
    if (!terminating) {  // not again if what() itself throws
        terminating = true;
        if (const std::exception_ptr current = std::current_exception()) {
            std::fputs("terminate called after throwing an exception\n", stderr);
            try {
                std::rethrow_exception(current);
            } catch (const std::exception& e) {
                std::fputs("  what():  ", stderr);
                std::fputs(e.what(), stderr);
                std::fputs("\n", stderr);
            } catch (...) {
            }
        } else {
            std::fputs("terminate called without an active exception\n", stderr);
        }
    }
    std::abort();
}

}  // namespace __gnu_cxx
