// The REGEDIT4 text on its own, without files.
#include "store/RegFile.h"

#include <gtest/gtest.h>

#include "tests/store/Bytes.h"

namespace tavirap {
namespace {

RegDocument Parse(std::string_view text) {
    RegDocument document;
    RegParseError error;
    EXPECT_TRUE(ParseRegFile(text, document, error))
        << "line " << error.line << ": " << error.message;
    return document;
}

TEST(RegFile, ReadsEveryFormOfData) {
    const struct {
        const char* line;
        const char* name;
        ValueType type;
        Bytes data;
    } cases[] = {
        {R"("Port"="COM1")", "Port", kRegSz, BytesOf(std::string_view("COM1\0", 5))},
        {R"("Q\"\\"="a\\b\"c\nd")", "Q\"\\", kRegSz, BytesOf(std::string_view("a\\b\"c\nd\0", 8))},
        {R"("Empty"="")", "Empty", kRegSz, {0}},
        {R"(@="default" ; comment)", "", kRegSz, BytesOf(std::string_view("default\0", 8))},
        {"\"N\"=dword:00000010", "N", kRegDword, {0x10, 0, 0, 0}},
        {"\"N\"=DWORD:FFFFFFFE\t", "N", kRegDword, {0xfe, 0xff, 0xff, 0xff}},
        {"\"N\"=dword:1", "N", kRegDword, {1, 0, 0, 0}},
        {"\"B\"=hex:", "B", kRegBinary, {}},
        {"\"B\"=HEX:0a, 0B ,c", "B", kRegBinary, {0x0a, 0x0b, 0x0c}},
        {"\"T\"=hex(0):", "T", kRegNone, {}},
        {"\"T\"=hex(1):41,00,42", "T", kRegSz, {0x41, 0, 0x42}},
        {"\"T\"=hex(b):01,02,03,04,05,06,07,08", "T", 11, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"\"T\"=hex(FFFFFFFF):ff", "T", 0xffffffff, {0xff}},
        {"  \"Spaced\" = dword:2", "Spaced", kRegDword, {2, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const RegDocument document =
            Parse(std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n") + c.line + "\r\n");
        ASSERT_EQ(document.sections.size(), 1u);
        const RegValue* value = document.sections[0].Find(c.name);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->name, c.name);
        EXPECT_EQ(value->type, c.type);
        EXPECT_EQ(value->data, c.data);
    }
}

TEST(RegFile, WhatItWritesReadsBackExactly) {
    Bytes everyByte;
    for (int b = 0; b < 256; ++b) {
        everyByte.push_back(static_cast<std::uint8_t>(b));
    }
    const RegValue values[] = {
        {"Plain", kRegSz, BytesOf(std::string_view("No Parity\0", 10))},
        {"Quote \"and\" \\", kRegSz, BytesOf(std::string_view("\"C:\\x\"\xc3\xa9\0", 10))},
        {"Padded", kRegSz, BytesOf(std::string_view("8\0\0\0", 4))},
        {"Control", kRegSz, BytesOf(std::string_view("a\tb\0", 4))},
        {"Delete", kRegSz, BytesOf(std::string_view("\x7f\0", 2))},
        {"Every byte", kRegBinary, everyByte},
        {"Every byte as text", kRegSz, everyByte},
        {"Dword", kRegDword, {1, 2, 3, 4}},
        {"Long dword", kRegDword, {1, 2, 3, 4, 5}},
        {"Empty", kRegSz, {}},
        {"", 0x12345678, {0}},
    };
    RegDocument document;
    RegSection& section = document.AddSection("HKEY_LOCAL_MACHINE\\A");
    for (const auto& value : values) {
        section.Set(value.name, value.type, value.data);
    }
    for (bool crlf : {true, false}) {
        document.crlf = crlf;
        const std::string text = WriteRegFile(document);
        const RegDocument read = Parse(text);
        ASSERT_EQ(read.sections.size(), 1u);
        for (const auto& value : values) {
            const RegValue* back = read.sections[0].Find(value.name);
            ASSERT_NE(back, nullptr) << value.name;
            EXPECT_EQ(back->type, value.type) << value.name;
            EXPECT_EQ(back->data, value.data) << value.name;
        }
        // Lines stay within regedit's width.
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != text.npos;
             start = end + 1) {
            EXPECT_LE(end - start, 81u) << text.substr(start, end - start);
        }
        // A document read and not changed is written back as it was.
        EXPECT_EQ(WriteRegFile(read), text);
    }
}

TEST(RegFile, RepeatedSectionsMergeButAValueSetTwiceIsRefused) {
    const std::string text =
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"X\"=dword:1\n\n[HKEY_LOCAL_MACHINE\\B]\n\n"
        "[hklm\\a]\n\"Y\"=dword:3\n";
    const RegDocument document = Parse(text);
    ASSERT_EQ(document.sections.size(), 2u);
    EXPECT_NE(document.sections[0].Find("x"), nullptr);
    EXPECT_NE(document.sections[0].Find("y"), nullptr);
    EXPECT_EQ(document.sections[1].Find("y"), nullptr);

    RegDocument refused;
    RegParseError error;
    EXPECT_FALSE(ParseRegFile(text + "\"x\"=dword:2\n", refused, error));
    EXPECT_EQ(error.line, 10u);
    EXPECT_EQ(error.message, "the value \"x\" appears a second time in the key");
}

TEST(RegFile, KeysCompareWithoutCaseAndNewKeysTakeTheSpellingOfTheirParents) {
    RegDocument document =
        Parse("REGEDIT4\n\n[HKLM\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT\\Parameters]\n");
    EXPECT_TRUE(document.KeyExists("HKEY_LOCAL_MACHINE\\system\\currentcontrolset"));
    EXPECT_TRUE(
        document.KeyExists("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\"
                           "tavirport"));
    EXPECT_FALSE(document.KeyExists("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Serv"));
    EXPECT_FALSE(document.KeyExists("HKEY_CURRENT_USER\\SYSTEM"));
    EXPECT_EQ(document.FindSection("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\"
                                   "TAVIRPORT"),
              nullptr);

    RegSection& added =
        document.AddSection("HKEY_LOCAL_MACHINE\\system\\currentcontrolset\\services\\Other");
    EXPECT_EQ(added.path, "HKLM\\SYSTEM\\CurrentControlSet\\Services\\Other");
    EXPECT_EQ(
        document.FindSection("hkey_local_machine\\SYSTEM\\CURRENTCONTROLSET\\SERVICES\\OTHER"),
        &added);
    EXPECT_EQ(WriteRegFile(document),
              "REGEDIT4\n\n[HKLM\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT\\Parameters]\n\n"
              "[HKLM\\SYSTEM\\CurrentControlSet\\Services\\Other]\n\n");
}

// A stray carriage return in a file of LF line ends is part of its line, and
// a key's line keeps its comment: both were once dropped when the file was
// written back.
TEST(RegFile, StrayCarriageReturnsAreKept) {
    const std::string text =
        "REGEDIT4\n; a comment\r\r\n[HKEY_LOCAL_MACHINE\\A] ; the key\r\n\"A\"=dword:1\r\r\n"
        "\"B\"=\"x\"\r\n\"C\"=hex:01,\\\r\n  02\r\n";
    RegDocument document = Parse(text);
    EXPECT_FALSE(document.crlf);
    EXPECT_EQ(document.sections[0].Find("A")->data, (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(document.sections[0].Find("B")->data, (Bytes{'x', 0}));
    EXPECT_EQ(document.sections[0].Find("C")->data, (Bytes{1, 2}));
    EXPECT_EQ(WriteRegFile(document), text);
}

TEST(RegFile, Version5FileIsUtf16AndStaysSo) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"
        "\"Port\"=\"C\xc3\xa9M\xf0\x9f\x98\x80\"\r\n\"N\"=dword:00000010\r\n"
        "\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n\r\n";
    const std::string file = "\xFF\xFE" + Utf8ToUtf16(text);
    RegDocument document = Parse(file);
    EXPECT_EQ(document.format, RegFormat::kVersion5);
    ASSERT_EQ(document.sections.size(), 1u);
    const RegValue* port = document.sections[0].Find("Port");
    ASSERT_NE(port, nullptr);
    // C, e acute, M, a character beyond the first plane as two units, the zero.
    EXPECT_EQ(port->data, (Bytes{'C', 0, 0xe9, 0, 'M', 0, 0x3d, 0xd8, 0x00, 0xde, 0, 0}));
    EXPECT_EQ(document.sections[0].Find("N")->data, (Bytes{0x10, 0, 0, 0}));
    EXPECT_EQ(WriteRegFile(document), file);

    // Set values are written in the file's own form: UTF-16 text in quotes
    // where it is plain, hex of the UTF-16 bytes where it is not.
    const std::string padded = Utf8ToUtf16(std::string_view("8\0\0", 3));
    document.sections[0].Set("Port", kRegSz, BytesOf(Utf8ToUtf16(std::string_view("COM2\0", 5))));
    document.sections[0].Set("DataBit", kRegSz, BytesOf(padded));
    EXPECT_EQ(Utf16ToUtf8(WriteRegFile(document).substr(2)),
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n"
              "\"Port\"=\"COM2\"\r\n\"N\"=dword:00000010\r\n"
              "\"Path\"=hex(2):25,00,41,00,25,00,00,00\r\n\"DataBit\"=hex(1):38,00,00,00,00,00\r\n"
              "\r\n");
}

TEST(RegFile, Utf16ConversionsReplaceWhatIsNoCharacter) {
    const struct {
        std::string utf8;
        std::string utf16;
    } cases[] = {
        {"A\xc3\xa9", std::string("A\0\xe9\0", 4)},
        {"\xf0\x9f\x98\x80", std::string("\x3d\xd8\x00\xde", 4)},
        {"\xff", "\xfd\xff"},                          // no UTF-8 lead byte
        {"\xc3", "\xfd\xff"},                          // cut short
        {"\xc0\xaf", "\xfd\xff\xfd\xff"},              // overlong
        {"\xed\xa0\x80", "\xfd\xff\xfd\xff\xfd\xff"},  // a surrogate in UTF-8
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    }
    EXPECT_EQ(Utf16ToUtf8(std::string("\x00\xd8\x41\x00", 4)),
              "\xef\xbf\xbd"
              "A");
    EXPECT_EQ(Utf16ToUtf8(std::string("\x41\x00\x42", 3)), "A");
}

}  // namespace
}  // namespace tavirap
