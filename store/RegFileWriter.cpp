// The writer: a RegDocument as a registry file's bytes, unchanged lines as they were read.
#include <algorithm>

#include "store/RegFileParts.h"

namespace tavirap {

using namespace regfile;

namespace {

// An entry's lines as read, each with the file's line end: in a file of CRLF
// line ends, a carriage return before a line feed is part of the line end, as
// the parser reads it. The file's last line may have none.
void AppendLines(std::string& out, std::string_view lines, std::string_view eol, bool crlf) {
    if (!crlf && !lines.empty()) {  // the lines as they are, whole
        out += lines;
        out += lines.back() == '\n' ? "" : "\n";
        return;
    }
    while (!lines.empty()) {
        const auto end = std::min(lines.find('\n'), lines.size());
        std::string_view line = lines.substr(0, end);
        lines.remove_prefix(std::min(end + 1, lines.size()));
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        out += line;
        out += eol;
    }
}

// A REG_SZ that "text" gives back exactly: the text and one zero byte, and no
// character regedit would write otherwise.
bool IsPlainText(const std::vector<std::uint8_t>& data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    return std::all_of(data.begin(), data.end() - 1,
                       [](std::uint8_t b) { return b >= 0x20 && b != 0x7f; });
}

// The text of a version 5.00 REG_SZ that "text" gives back exactly.
bool IsPlainUtf16Text(const std::vector<std::uint8_t>& data, std::string& text) {
    if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 ||
        data[data.size() - 2] != 0) {
        return false;
    }
    const std::string_view wide(reinterpret_cast<const char*>(data.data()), data.size() - 2);
    text = Utf16ToUtf8(wide);
    return Utf8ToUtf16(text) == wide && std::all_of(text.begin(), text.end(), [](char c) {
               const auto b = static_cast<unsigned char>(c);
               return b >= 0x20 && b != 0x7f;
           });
}

// FormatRegValue's text, appended to the file being written rather than
// built in strings of its own.
void AppendRegValue(std::string& out, const RegValue& value, std::string_view lineEnd,
                    RegFormat format) {
    const std::size_t lineStart = out.size();
    if (value.name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, value.name);
    }
    out += '=';
    const auto& data = value.data;
    if (value.type == kRegSz && format == RegFormat::kRegedit4 && IsPlainText(data)) {
        AppendQuoted(out,
                     std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
        return;
    }
    if (std::string text;
        value.type == kRegSz && format == RegFormat::kVersion5 && IsPlainUtf16Text(data, text)) {
        AppendQuoted(out, text);
        return;
    }
    if (value.type == kRegDword && data.size() == 4) {
        const std::uint32_t number =
            data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
        out += "dword:";
        AppendHex(out, number, 8);
        return;
    }
    if (value.type == kRegBinary) {
        out += "hex:";
    } else {
        out += "hex(";
        AppendHex(out, value.type, 1);
        out += "):";
    }
    // Lines of about 80 columns, continued with "\", as regedit writes them.
    std::size_t column = out.size() - lineStart;
    for (std::size_t i = 0; i < data.size(); ++i) {
        AppendHex(out, data[i], 2);
        column += 2;
        if (i + 1 < data.size()) {
            out += ',';
            if (++column > 76) {
                out += '\\';
                out += lineEnd;
                out += "  ";
                column = 2;
            }
        }
    }
}

}  // namespace

namespace regfile {

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        const auto escape = std::find_if(kEscapes.begin(), kEscapes.end(),
                                         [&](const Escape& e) { return e.meant == c; });
        if (escape != kEscapes.end()) {
            out += '\\';
            out += escape->written;
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string Quoted(std::string_view text) {
    std::string out;
    AppendQuoted(out, text);
    return out;
}

}  // namespace regfile

std::string FormatRegValue(const RegValue& value, std::string_view lineEnd, RegFormat format) {
    std::string out;
    AppendRegValue(out, value, lineEnd, format);
    return out;
}

std::string WriteRegFile(const RegDocument& document) {
    const std::string_view eol = document.crlf ? "\r\n" : "\n";
    const bool version5 = document.format == RegFormat::kVersion5;
    std::string out(version5 || document.version5Header ? kVersion5Header : kRegedit4Header);
    out += eol;
    for (const auto& line : document.preamble) {
        out += line;
        out += eol;
    }
    for (const auto& section : document.sections) {
        if (section.header.empty()) {
            out += '[' + section.path + ']';
        } else {
            out += section.header;
        }
        out += eol;
        for (const auto& entry : section.entries) {
            if (entry.set != nullptr) {
                AppendRegValue(out, *entry.set, eol, document.format);
                out += eol;
            } else {
                AppendLines(out, entry.Lines(), eol, document.crlf);
            }
        }
    }
    if (version5) {
        return "\xFF\xFE" + Utf8ToUtf16(out);
    }
    return document.utf8Mark ? "\xEF\xBB\xBF" + out : out;
}

}  // namespace tavirap
