#include "settings/RegFile.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "settings/RegistryData.h"
#include "settings/Texts.h"
#include "settings/Windows1252.h"
#include "text/Unicode.h"

namespace settings {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kAnsiHeader = "REGEDIT4";

[[noreturn]] void fail(const std::string& fileName, std::size_t line, std::string_view reason) {
    throw RegistryFileError(texts::fileFaultyAtLine(fileName, line, reason), line);
}

// Turns UTF-16LE bytes after the byte-order mark into UTF-8 text in place of them. The text is
// measured first and made in one piece, and the bytes are given up as soon as it is made, so
// that a large file is never held twice over.
void decodeUtf16(std::string& bytes, const std::string& fileName) {
    const auto unit = [&](std::size_t i) -> char32_t {
        return static_cast<unsigned char>(bytes[2 + 2 * i]) | (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    };
    const std::size_t count = (bytes.size() - 2) / 2;
    std::size_t size = 0;
    std::size_t line = 1;
    for (std::size_t i = 0; i < count;) {
        char32_t c = 0;
        if (!text::decodeUtf16(unit, count, i, c)) fail(fileName, line, texts::kInvalidUtf16);
        if (c == U'\n') ++line;
        size += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    }
    if (bytes.size() % 2 != 0) fail(fileName, line, texts::kOddUtf16Length);
    std::string decoded;
    decoded.reserve(size);
    for (std::size_t i = 0; i < count;) {
        char32_t c = 0;
        text::decodeUtf16(unit, count, i, c);
        text::appendUtf8(decoded, c);
    }
    bytes = std::move(decoded);
}

// Whether the first line that is not blank is the header of a REGEDIT4 file.
bool hasAnsiHeader(std::string_view bytes) {
    const std::size_t start = bytes.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || bytes.substr(start, kAnsiHeader.size()) != kAnsiHeader) return false;
    const std::size_t end = bytes.find_first_not_of(" \t\r", start + kAnsiHeader.size());
    return end == std::string_view::npos || bytes[end] == '\n';
}

// Turns the file's bytes into its text as UTF-8 and answers the form they were in.
RegFileForm decodeText(std::string& bytes, const std::string& fileName) {
    if (bytes.starts_with("\xFF\xFE")) {
        decodeUtf16(bytes, fileName);
        return RegFileForm::Unicode;
    }
    if (bytes.starts_with("\xFE\xFF")) fail(fileName, 1, texts::kBigEndianUtf16);
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.erase(0, 3);
    } else if (hasAnsiHeader(bytes)) {
        bytes = utf8FromWindows1252(bytes);
        return RegFileForm::Ansi;
    }
    std::size_t line = 1;
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t c = 0;
        if (!text::decodeUtf8(bytes, pos, c)) fail(fileName, line, texts::kInvalidUtf8);
        if (c == U'\n') ++line;
    }
    return RegFileForm::Unicode;
}

// String data of a REGEDIT4 file, held in Windows-1252, as the registry stores it.
Bytes unicodeData(const Bytes& ansi) {
    const std::string utf8 =
        utf8FromWindows1252(std::string_view(reinterpret_cast<const char*>(ansi.data()), ansi.size()));
    return utf16Bytes(text::utf8ToUtf16(utf8));
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::optional<std::uint32_t> hexNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

// Reads the text line by line in one pass.
class Parser {
public:
    Parser(std::string_view text, RegFileForm form, const std::string& fileName)
        : text_(text), form_(form), fileName_(fileName) {}

    RegTree parse() {
        RegTree tree;
        RegKey* current = nullptr;
        bool headerSeen = false;
        // Comment lines wait for what follows them: a key's header line or a value.
        std::vector<std::string> comments;
        const auto keepComments = [&](RegKey& key, std::size_t position) {
            for (std::string& comment : comments) key.remarks.push_back({position, std::move(comment)});
            comments.clear();
        };
        for (std::string_view next; nextLine(next);) {
            const std::string_view line = trim(next);
            if (line.empty()) continue;
            if (!headerSeen) {
                if (line != (form_ == RegFileForm::Ansi ? kAnsiHeader : kHeader)) fail(texts::headerMissing(kHeader));
                headerSeen = true;
            } else if (line.front() == ';') {
                comments.emplace_back(line);
            } else if (line.front() == '[') {
                // Those before the first key belong to the file as a whole.
                keepComments(current == nullptr ? tree : keyOf(tree, line), RegRemark::kBeforeHeader);
                current = &keyOf(tree, line);
            } else if (current == nullptr) {
                fail(texts::kValueBeforeFirstKey);
            } else {
                keepComments(*current, current->values.size());
                current->setValue(value(line));
            }
        }
        if (current == nullptr) {
            keepComments(tree, RegRemark::kBeforeHeader);
        } else {
            keepComments(*current, current->values.size());
        }
        return tree;
    }

private:
    [[noreturn]] void fail(std::string_view reason) const { settings::fail(fileName_, index_, reason); }

    // The next line without its line feed; false after the last one.
    bool nextLine(std::string_view& line) {
        if (position_ > text_.size()) return false;
        const std::size_t end = std::min(text_.find('\n', position_), text_.size());
        line = text_.substr(position_, end - position_);
        position_ = end + 1;
        ++index_;
        return true;
    }

    RegKey& keyOf(RegTree& tree, std::string_view line) const {
        if (line.back() != ']') fail(texts::kKeyBracketMissing);
        const std::string_view path = line.substr(1, line.size() - 2);
        const std::string_view rootName = path.substr(0, path.find('\\'));
        const auto root = rootKeyNamed(rootName);
        if (!root) fail(texts::unknownRootKey(rootName));
        RegKey* key = &tree.subkey(root->name);
        for (std::size_t start = rootName.size(); start < path.size();) {
            const std::size_t end = std::min(path.find('\\', start + 1), path.size());
            const std::string_view name = path.substr(start + 1, end - start - 1);
            if (!name.empty()) key = &key->subkey(name);
            start = end;
        }
        return *key;
    }

    // A quoted text starting at pos; pos ends after the closing quote.
    std::string quoted(std::string_view line, std::size_t& pos) const {
        std::string text;
        for (++pos; pos < line.size(); ++pos) {
            const char c = line[pos];
            if (c == '"') {
                ++pos;
                return text;
            }
            if (c != '\\') {
                text += c;
                continue;
            }
            if (++pos == line.size()) break;
            switch (line[pos]) {
                case '\\': text += '\\'; break;
                case '"': text += '"'; break;
                case 'n': text += '\n'; break;
                case 'r': text += '\r'; break;
                default: fail(texts::unknownEscape(line[pos]));
            }
        }
        fail(texts::kClosingQuoteMissing);
    }

    RegValue value(std::string_view line) {
        RegValue result;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            result.name = quoted(line, pos);
        } else {
            fail(texts::kUnintelligibleLine);
        }
        std::string_view rest = trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=') fail(texts::kEqualsSignMissing);
        rest = trim(rest.substr(1));

        if (!rest.empty() && rest.front() == '"') {
            pos = 0;
            const std::string text = quoted(rest, pos);
            if (!trim(rest.substr(pos)).empty()) fail(texts::kTextAfterClosingQuote);
            result.type = 1;
            result.data = utf16Bytes(text::utf8ToUtf16(text) + u'\0');
        } else if (rest.substr(0, 6) == "dword:") {
            const auto number = hexNumber(rest.substr(6), 8);
            if (!number) fail(texts::kInvalidDword);
            result.type = 4;
            for (unsigned i = 0; i < 4; ++i) result.data.push_back(static_cast<std::uint8_t>(*number >> (8 * i)));
        } else if (rest.substr(0, 4) == "hex:") {
            result.type = 3;
            result.data = hexBytes(rest.substr(4));
        } else if (rest.substr(0, 4) == "hex(") {
            const std::size_t close = rest.find("):");
            const auto type = close == std::string_view::npos ? std::nullopt : hexNumber(rest.substr(4, close - 4), 8);
            if (!type) fail(texts::kInvalidHexType);
            result.type = *type;
            result.data = hexBytes(rest.substr(close + 2));
            if (form_ == RegFileForm::Ansi && isStringType(result.type)) result.data = unicodeData(result.data);
        } else {
            fail(texts::kUnknownValueKind);
        }
        return result;
    }

    // Comma-separated bytes; a line that ends with a backslash continues on the next one.
    std::vector<std::uint8_t> hexBytes(std::string_view rest) {
        std::vector<std::uint8_t> bytes;
        for (;;) {
            rest = trim(rest);
            const bool continued = !rest.empty() && rest.back() == '\\';
            if (continued) rest.remove_suffix(1);
            for (std::size_t start = 0; start < rest.size();) {
                const std::size_t end = std::min(rest.find(',', start), rest.size());
                const std::string_view token = trim(rest.substr(start, end - start));
                const bool last = end == rest.size() || trim(rest.substr(end + 1)).empty();
                if (!(token.empty() && last)) {
                    const auto byte = hexNumber(token, 2);
                    if (!byte) fail(texts::invalidHexByte(token));
                    bytes.push_back(static_cast<std::uint8_t>(*byte));
                }
                start = end + 1;
            }
            if (!continued) return bytes;
            const std::size_t continuedAt = index_;
            if (!nextLine(rest) || trim(rest).empty()) {
                index_ = continuedAt;
                fail(texts::kHexContinuationMissing);
            }
        }
    }

    std::string_view text_;
    RegFileForm form_;
    const std::string& fileName_;
    std::size_t position_ = 0;
    std::size_t index_ = 0;  // the number of the line read last, from 1
};

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
    out += '"';
}

// The text of a REG_SZ that a quoted text holds exactly: one terminating NUL, no other, no
// line breaks (regedit's own reader knows no escapes for them), well-formed UTF-16.
std::optional<std::string> plainText(const RegValue& value) {
    const auto& data = value.data;
    if (value.type != 1 || data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
    std::u16string units = utf16Units(data);
    if (units.back() != u'\0') return std::nullopt;
    units.pop_back();
    if (units.find_first_of(std::u16string_view(u"\0\r\n", 3)) != std::u16string::npos) return std::nullopt;
    return text::utf16ToUtf8(units);
}

void appendHex(std::string& out, std::size_t lineStart, const std::vector<std::uint8_t>& data) {
    constexpr std::size_t kWidth = 78;  // with the continuation backslash, lines stay within 80 columns
    char piece[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(piece, sizeof piece, i + 1 < data.size() ? "%02x," : "%02x", data[i]);
        if (out.size() - lineStart + 3 > kWidth) {
            out += "\\\r\n  ";
            lineStart = out.size() - 2;
        }
        out += piece;
    }
}

// The Unicode form holds a value's data as it is stored; the Ansi form holds string data in
// Windows-1252 (none when it cannot).
std::optional<Bytes> dataInForm(const RegValue& value, RegFileForm form) {
    if (form == RegFileForm::Unicode || !isStringType(value.type)) return value.data;
    if (value.data.size() % 2 != 0) return std::nullopt;
    const auto utf8 = text::utf16ToUtf8(utf16Units(value.data));
    const auto ansi = utf8 ? windows1252FromUtf8(*utf8) : std::nullopt;
    if (!ansi) return std::nullopt;
    return Bytes(ansi->begin(), ansi->end());
}

bool appendValue(std::string& out, const RegValue& value, RegFileForm form) {
    const std::size_t lineStart = out.size();
    if (value.name.empty()) {
        out += '@';
    } else {
        appendQuoted(out, value.name);
    }
    out += '=';
    if (const auto text = plainText(value)) {
        appendQuoted(out, *text);
    } else if (value.type == kRegDword && value.data.size() == 4) {
        char digits[16];
        const std::uint32_t number = value.data[0] | (value.data[1] << 8u) | (value.data[2] << 16u) |
                                     (static_cast<std::uint32_t>(value.data[3]) << 24u);
        std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(number));
        out += digits;
    } else {
        const auto data = dataInForm(value, form);
        if (!data) return false;
        char type[24] = "hex:";
        if (value.type != kRegBinary) std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
        out += type;
        appendHex(out, lineStart, *data);
    }
    out += "\r\n";
    return true;
}

void appendRemarks(std::string& out, const RegKey& key, std::size_t position) {
    for (const RegRemark& remark : key.remarks) {
        if (remark.beforeValue == position) out += remark.line + "\r\n";
    }
}

bool appendKey(std::string& out, const RegKey& key, const std::string& path, RegFileForm form) {
    out += "\r\n";
    appendRemarks(out, key, RegRemark::kBeforeHeader);
    out += "[" + path + "]\r\n";
    for (std::size_t i = 0; i < key.values.size(); ++i) {
        appendRemarks(out, key, i);
        if (!appendValue(out, key.values[i], form)) return false;
    }
    appendRemarks(out, key, key.values.size());
    for (const RegKey& subkey : key.subkeys) {
        if (!appendKey(out, subkey, path + "\\" + subkey.name, form)) return false;
    }
    return true;
}

// UTF-8 text as UTF-16LE after a byte-order mark, made in one piece.
std::string utf16WithByteOrderMark(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t c = 0;
        if (!text::decodeUtf8(utf8, pos, c)) c = 0xFFFD, ++pos;
        units += c < 0x10000 ? 1 : 2;
    }
    std::string bytes;
    bytes.reserve(2 + 2 * units);
    bytes += "\xFF\xFE";
    const auto append = [&](char32_t unit) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t c = 0;
        if (!text::decodeUtf8(utf8, pos, c)) c = 0xFFFD, ++pos;
        if (c < 0x10000) {
            append(c);
        } else {
            append(0xD800 + ((c - 0x10000) >> 10));
            append(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return bytes;
}

}  // namespace

RegFileContent parseRegFile(std::string bytes, const std::string& fileName) {
    const RegFileForm form = decodeText(bytes, fileName);
    return {Parser(bytes, form, fileName).parse(), form};
}

std::optional<std::string> formatRegFile(const RegTree& tree, RegFileForm form) {
    std::string out(form == RegFileForm::Ansi ? kAnsiHeader : kHeader);
    out += "\r\n";
    if (!tree.remarks.empty()) out += "\r\n";
    appendRemarks(out, tree, RegRemark::kBeforeHeader);
    for (const RegKey& root : tree.subkeys) {
        if (!appendKey(out, root, root.name, form)) return std::nullopt;
    }
    if (form == RegFileForm::Ansi) return windows1252FromUtf8(out);
    return utf16WithByteOrderMark(out);
}

}  // namespace settings
