// The document: a registry file's keys and values, found and changed by the registry's rules.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "store/RegFileParts.h"

namespace tavirap {

namespace {

struct RootName {
    std::string_view full;
    std::string_view shortName;
};

constexpr std::array<RootName, 6> kRoots{{
    {"HKEY_LOCAL_MACHINE", "HKLM"},
    {"HKEY_CURRENT_USER", "HKCU"},
    {"HKEY_CLASSES_ROOT", "HKCR"},
    {"HKEY_USERS", "HKU"},
    {"HKEY_CURRENT_CONFIG", "HKCC"},
    {"HKEY_DYN_DATA", "HKDD"},
}};

const RootName* FindRoot(std::string_view name) {
    for (const auto& root : kRoots) {
        if (SameName(name, root.full) || SameName(name, root.shortName)) {
            return &root;
        }
    }
    return nullptr;
}

// A root's long and short names are one key: the first part compares as
// roots when its spellings differ.
bool SamePart(std::size_t index, std::string_view a, std::string_view b) {
    if (SameName(a, b)) {
        return true;
    }
    const RootName* root = index == 0 ? FindRoot(a) : nullptr;
    return root != nullptr && root == FindRoot(b);
}

// Whether `path` names `key` or a key under it, part by part without
// copies: lookups run once per value read, over every section of the file.
bool IsKeyOrUnder(std::string_view path, std::string_view key) {
    for (std::size_t index = 0;; ++index) {
        const auto pathCut = path.find('\\');
        const auto keyCut = key.find('\\');
        if (!SamePart(index, path.substr(0, pathCut), key.substr(0, keyCut))) {
            return false;
        }
        if (keyCut == std::string_view::npos) {
            return true;
        }
        if (pathCut == std::string_view::npos) {
            return false;
        }
        path.remove_prefix(pathCut + 1);
        key.remove_prefix(keyCut + 1);
    }
}

// How many leading parts of the two paths name the same keys.
std::size_t CommonParts(const std::vector<std::string_view>& a,
                        const std::vector<std::string_view>& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && SamePart(n, a[n], b[n])) {
        ++n;
    }
    return n;
}

// The index of the value's entry, searching from the section's searchFrom
// round to where it started; entries.size() when there is none.
std::size_t FindEntry(const RegSection& section, std::string_view name) {
    const std::size_t count = section.entries.size();
    const std::size_t start = section.searchFrom < count ? section.searchFrom : 0;
    const std::uint64_t hash = regfile::NameHash(name);
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t i = (start + step) % count;
        const RegEntry& entry = section.entries[i];
        if (entry.isValue && entry.nameHash == hash && SameName(entry.Name(), name)) {
            section.searchFrom = i + 1;
            return i;
        }
    }
    return count;
}

}  // namespace

namespace regfile {

bool SamePath(std::string_view a, std::string_view b) {
    if (a == b) {
        return true;  // a key's repeated [key] lines are mostly spelled alike
    }
    // The last parts first, from their ends: most sections of a file differ
    // there, and the comparison runs over every section at each open. Only a
    // root, the one part that compares otherwise, has no backslash before it.
    for (std::size_t i = a.size(), j = b.size(); i > 0 && j > 0; --i, --j) {
        if (a[i - 1] == '\\' || b[j - 1] == '\\') {
            break;
        }
        if (AsciiLower(a[i - 1]) != AsciiLower(b[j - 1])) {
            return a.find('\\') == a.npos && b.find('\\') == b.npos && SamePart(0, a, b);
        }
    }
    return IsKeyOrUnder(a, b) &&
           std::count(a.begin(), a.end(), '\\') == std::count(b.begin(), b.end(), '\\');
}

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto cut = path.find('\\');
        parts.push_back(path.substr(0, cut));
        if (cut == std::string_view::npos) {
            return parts;
        }
        path.remove_prefix(cut + 1);
    }
}

// A hash of a name that ignores the case of ASCII letters, as SameName does.
std::uint64_t NameHash(std::string_view name) {
    return HashMore(14695981039346656037u, name);  // FNV-1a
}

std::uint64_t HashMore(std::uint64_t hash, std::string_view part) {
    for (char c : part) {
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211u;
    }
    return hash;
}

// The same for every spelling of one key, whatever its case and the root's
// name: the parser's index of the sections it has read. The part below the
// root, most of a path, is hashed eight bytes at a time, its capital ASCII
// letters made small all at once, and the result mixed as in MurmurHash3.
bool PathHash(std::string_view path, std::uint64_t& hash) {
    const auto cut = std::min(path.find('\\'), path.size());
    const RootName* root = FindRoot(path.substr(0, cut));
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    hash = root != nullptr ? static_cast<std::uint64_t>(root - kRoots.data()) : 0;
    for (path.remove_prefix(cut); !path.empty();) {
        std::uint64_t word = 0;
        const std::size_t n = std::min<std::size_t>(path.size(), 8);
        std::memcpy(&word, path.data(), n);
        path.remove_prefix(n);
        // A byte below 0x80 is a capital when adding 0x80 - 'A' sets its
        // high bit and adding 0x80 - 'Z' - 1 does not; no sum carries.
        const std::uint64_t low = word & 0x7F * kOnes;
        const std::uint64_t capitals =
            (low + (0x80 - 'A') * kOnes) & ~(low + (0x80 - 'Z' - 1) * kOnes) & ~word & 0x80 * kOnes;
        hash = std::rotl((hash ^ (word | capitals >> 2)) * 0x9E3779B97F4A7C15u, 27);
    }
    for (const std::uint64_t factor : {0xFF51AFD7ED558CCDu, 0xC4CEB9FE1A85EC53u}) {
        hash = (hash ^ hash >> 33) * factor;
    }
    hash ^= hash >> 33;
    return root != nullptr;
}

bool IsBlankLine(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) {
        line.remove_prefix(1);
    }
    return line.empty() || line == "\n";
}

}  // namespace regfile

using namespace regfile;

std::optional<RegValue> RegSection::Find(std::string_view name) const {
    const std::size_t i = FindEntry(*this, name);
    return i < entries.size() ? std::optional(entries[i].Value()) : std::nullopt;
}

bool RegSection::Set(std::string_view name, ValueType type, std::vector<std::uint8_t> data) {
    if (const std::size_t i = FindEntry(*this, name); i < entries.size()) {
        RegEntry& entry = entries[i];
        RegValue value = entry.Value();
        if (value.type == type && value.data == data) {
            return false;
        }
        value.type = type;
        value.data = std::move(data);
        entry.set = std::make_shared<const RegValue>(std::move(value));
        entry.read = {};
        entry.joined.clear();
        return true;
    }
    // After the last value, before the comments and blank lines that end the section.
    auto last = std::find_if(entries.rbegin(), entries.rend(),
                             [](const RegEntry& entry) { return entry.isValue; });
    RegEntry added;
    added.isValue = true;
    added.nameHash = NameHash(name);
    added.set =
        std::make_shared<const RegValue>(RegValue{std::string(name), type, std::move(data)});
    const auto at = entries.insert(last.base(), std::move(added));
    searchFrom = static_cast<std::size_t>(at - entries.begin()) + 1;
    return true;
}

RegSection* RegDocument::FindSection(std::string_view path) {
    const auto found = std::find_if(sections.begin(), sections.end(),
                                    [&](const RegSection& s) { return SamePath(s.path, path); });
    return found != sections.end() ? &*found : nullptr;
}

const RegSection* RegDocument::FindSection(std::string_view path) const {
    return const_cast<RegDocument*>(this)->FindSection(path);
}

bool RegDocument::KeyExists(std::string_view path) const {
    return FindSection(path) != nullptr ||
           std::any_of(sections.begin(), sections.end(),
                       [&](const RegSection& section) { return IsKeyOrUnder(section.path, path); });
}

RegSection& RegDocument::AddSection(std::string_view path) {
    const auto parts = SplitPath(path);
    std::vector<std::string_view> best;
    std::size_t bestCount = 0;
    for (const auto& section : sections) {
        auto other = SplitPath(section.path);
        const std::size_t count = CommonParts(other, parts);
        if (count > bestCount) {
            bestCount = count;
            best = std::move(other);
        }
    }
    std::string spelled;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        spelled += i == 0 ? "" : "\\";
        spelled += i < bestCount ? best[i] : parts[i];
    }
    // A blank line between sections, as regedit writes them.
    if (sections.empty()) {
        if (preamble.empty() || !IsBlankLine(preamble.back())) {
            preamble.emplace_back();
        }
    } else {
        auto& entries = sections.back().entries;
        const std::string_view lines =
            entries.empty() ? std::string_view() : entries.back().Lines();
        // Where the entry's last line starts.
        const std::size_t last = lines.size() < 2 ? 0 : lines.rfind('\n', lines.size() - 2) + 1;
        if (entries.empty() || entries.back().isValue || !IsBlankLine(lines.substr(last))) {
            entries.emplace_back().read = "\n";
        }
    }
    sections.push_back(RegSection{std::move(spelled), {}, {}});
    sections.back().entries.emplace_back().read = "\n";
    return sections.back();
}

}  // namespace tavirap
