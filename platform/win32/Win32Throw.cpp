// How the C++ library reports a misuse it finds (a string grown past its
// maximum, at() out of range, an optional or a function that holds nothing):
// it calls these. The library's own throw the logic_error family, whose
// string implementation, message formatting and type names come to a fifth
// of a statically linked program; these throw a plain std::exception with the
// same words, or the library's own type where that type carries no text.
// Each program that links this file must get every one of them from here: a
// missing one would bring the library's whole set back and clash with these.
#include <cstdarg>
#include <cstddef>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* text) { Append(text); }

    // The library's messages use %zu, %s and %% only.
    LibraryError(const char* format, std::va_list args) {
        for (const char* f = format; *f != '\0' && used_ < kSize - 1; ++f) {
            if (f[0] == '%' && f[1] == 'z' && f[2] == 'u') {
                AppendNumber(va_arg(args, std::size_t));
                f += 2;
            } else if (f[0] == '%' && f[1] == 's') {
                Append(va_arg(args, const char*));
                ++f;
            } else {
                f += f[0] == '%' && f[1] == '%' ? 1 : 0;
                text_[used_++] = *f;
            }
        }
        text_[used_] = '\0';
    }

    const char* what() const noexcept override { return text_; }

private:
    static constexpr std::size_t kSize = 160;

    void Append(const char* text) {
        while (*text != '\0' && used_ < kSize - 1) {
            text_[used_++] = *text++;
        }
        text_[used_] = '\0';
    }

    void AppendNumber(std::size_t number) {
        char digits[24];
        std::size_t n = 0;
        do {
            digits[n++] = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        while (n > 0 && used_ < kSize - 1) {
            text_[used_++] = digits[--n];
        }
    }

    char text_[kSize] = {};
    std::size_t used_ = 0;
};

}  // namespace

namespace std {

void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_logic_error(const char* text) {
    throw LibraryError(text);
}
void __throw_domain_error(const char* text) {
    throw LibraryError(text);
}
void __throw_invalid_argument(const char* text) {
    throw LibraryError(text);
}
void __throw_length_error(const char* text) {
    throw LibraryError(text);
}
void __throw_out_of_range(const char* text) {
    throw LibraryError(text);
}
void __throw_runtime_error(const char* text) {
    throw LibraryError(text);
}
void __throw_range_error(const char* text) {
    throw LibraryError(text);
}
void __throw_overflow_error(const char* text) {
    throw LibraryError(text);
}
void __throw_underflow_error(const char* text) {
    throw LibraryError(text);
}

void __throw_out_of_range_fmt(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    LibraryError error(format, args);
    va_end(args);
    throw error;
}

}  // namespace std
