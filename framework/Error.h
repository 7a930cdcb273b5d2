// What the framework and the dialog throw when the program is put together
// wrongly (a form without a field, a template no toolkit can build): one type
// whose what() says which. The C++ library's logic_error family would carry a
// string implementation of its own into every statically linked program.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tavirap {

class Error : public std::exception {
public:
    explicit Error(std::string what) : what_(std::move(what)) {}
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::string what_;
};

}  // namespace tavirap
