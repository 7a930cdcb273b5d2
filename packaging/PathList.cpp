#include "packaging/PathList.h"

#include <vector>

namespace tavirap {

namespace {

std::wstring_view Trimmed(std::wstring_view name) {
    if (name.size() >= 2 && name.front() == L'"' && name.back() == L'"') {
        name = name.substr(1, name.size() - 2);
    }
    // "C:\" keeps its backslash: without it, it names the drive's current folder.
    while (name.size() > 3 && name.back() == L'\\') {
        name.remove_suffix(1);
    }
    return name;
}

wchar_t Folded(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::vector<std::wstring_view> Entries(std::wstring_view path) {
    std::vector<std::wstring_view> entries;
    for (std::size_t start = 0;;) {
        const std::size_t end = path.find(L';', start);
        entries.push_back(path.substr(start, end - start));
        if (end == std::wstring_view::npos) {
            return entries;
        }
        start = end + 1;
    }
}

}  // namespace

bool FitsInPath(std::wstring_view folder) {
    return !Trimmed(folder).empty() && folder.find_first_of(L";\"") == std::wstring_view::npos;
}

bool SameFolder(std::wstring_view entry, std::wstring_view folder) {
    entry = Trimmed(entry);
    folder = Trimmed(folder);
    if (entry.empty() || entry.size() != folder.size()) {
        return false;
    }
    for (std::size_t i = 0; i < entry.size(); ++i) {
        if (Folded(entry[i]) != Folded(folder[i])) {
            return false;
        }
    }
    return true;
}

std::wstring PathWith(std::wstring_view path, std::wstring_view folder) {
    for (const std::wstring_view entry : Entries(path)) {
        if (SameFolder(entry, folder)) {
            return std::wstring(path);
        }
    }
    std::wstring with(path);
    if (!with.empty() && with.back() != L';') {
        with += L';';
    }
    return with.append(Trimmed(folder));
}

std::wstring PathWithout(std::wstring_view path, std::wstring_view folder) {
    std::wstring without;
    bool first = true;
    for (const std::wstring_view entry : Entries(path)) {
        if (SameFolder(entry, folder)) {
            continue;
        }
        if (!first) {
            without += L';';
        }
        without.append(entry);
        first = false;
    }
    return without;
}

}  // namespace tavirap
