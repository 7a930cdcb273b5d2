#include "framework/DialogTemplate.h"

#include <algorithm>

#include "framework/Error.h"

namespace tavirap {

const DialogControl* DialogTemplate::FindControl(int controlId) const {
    auto it = std::find_if(controls.begin(), controls.end(),
                           [controlId](const DialogControl& c) { return c.id == controlId; });
    // -1 addresses no control, however many have it.
    return it == controls.end() || controlId == -1 ? nullptr : &*it;
}

std::size_t DialogTemplate::IndexOf(int controlId) const {
    const DialogControl* control = FindControl(controlId);
    if (control == nullptr) {
        throw Error("dialog " + std::to_string(id) + " has no control " +
                    std::to_string(controlId));
    }
    return static_cast<std::size_t>(control - controls.data());
}

namespace {

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

std::uint32_t GetLittleEndian(std::span<const std::uint8_t> data, std::size_t& pos, int bytes) {
    if (data.size() - pos < static_cast<std::size_t>(bytes)) {
        throw Error("dialog init data cut short at offset " + std::to_string(pos));
    }
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= static_cast<std::uint32_t>(data[pos + i]) << (8 * i);
    }
    pos += bytes;
    return value;
}

}  // namespace

std::vector<std::uint8_t> EncodeInitData(std::span<const InitRecord> records) {
    std::vector<std::uint8_t> out;
    for (const InitRecord& r : records) {
        PutLittleEndian(out, static_cast<std::uint16_t>(r.controlId), 2);
        PutLittleEndian(out, r.message, 2);
        PutLittleEndian(out, static_cast<std::uint32_t>(r.text.size() + 1), 4);
        out.insert(out.end(), r.text.begin(), r.text.end());
        out.push_back(0);
    }
    PutLittleEndian(out, 0, 2);
    return out;
}

std::vector<InitRecord> DecodeInitData(std::span<const std::uint8_t> data) {
    std::vector<InitRecord> records;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t start = pos;
        const auto id = static_cast<std::uint16_t>(GetLittleEndian(data, pos, 2));
        if (id == 0) {
            return records;
        }
        InitRecord r;
        r.controlId = id;
        r.message = static_cast<std::uint16_t>(GetLittleEndian(data, pos, 2));
        const std::uint32_t length = GetLittleEndian(data, pos, 4);
        if (length == 0 || data.size() - pos < length || data[pos + length - 1] != 0) {
            throw Error("dialog init record at offset " + std::to_string(start) +
                        " has a bad length or no ending zero");
        }
        const auto* text = reinterpret_cast<const char*>(data.data() + pos);
        r.text.assign(text, length - 1);
        if (r.text.find('\0') != std::string::npos) {
            throw Error("dialog init record at offset " + std::to_string(start) +
                        " has a zero inside its text");
        }
        pos += length;
        records.push_back(std::move(r));
    }
}

std::string AccessibleNameFromLabel(std::string_view labelText, std::string_view suffix) {
    std::string name(labelText);
    const auto end = name.find_last_not_of(" :");
    name.erase(end == std::string::npos ? 0 : end + 1);
    const auto begin = name.find_first_not_of(' ');
    name.erase(0, begin == std::string::npos ? name.size() : begin);
    if (!suffix.empty()) {
        name += ' ';
        name += suffix;
    }
    return name;
}

}  // namespace tavirap
