#include "settings/RegFile.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "settings/RegistryData.h"
#include "text/Unicode.h"

namespace settings {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

[[noreturn]] void fail(const std::string& fileName, std::size_t line, const std::string& reason) {
    throw RegistryFileError(
        "Die Registrierungsdatei " + fileName + " ist in Zeile " + std::to_string(line) + " fehlerhaft: " + reason,
        line);
}

// Turns the file's bytes into its text as UTF-8, from UTF-16LE or UTF-8 (with or without
// byte-order mark). The bytes are given up as soon as the text is made, so that a large file is
// held once only.
void decodeText(std::string& bytes, const std::string& fileName) {
    std::size_t line = 1;
    if (bytes.starts_with("\xFF\xFE")) {
        // The units after the byte-order mark, read in place.
        const auto unit = [&](std::size_t i) -> char32_t {
            return static_cast<unsigned char>(bytes[2 + 2 * i]) | (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        };
        const std::size_t count = (bytes.size() - 2) / 2;
        std::string decoded;
        decoded.reserve(bytes.size() / 2 + bytes.size() / 16);
        for (std::size_t i = 0; i < count;) {
            char32_t c = 0;
            if (!text::decodeUtf16(unit, count, i, c)) fail(fileName, line, "ungültiges UTF-16");
            if (c == U'\n') ++line;
            text::appendUtf8(decoded, c);
        }
        if (bytes.size() % 2 != 0) fail(fileName, line, "ungültiges UTF-16 (ungerade Anzahl Bytes)");
        bytes = std::move(decoded);
        return;
    }
    if (bytes.starts_with("\xFE\xFF")) {
        fail(fileName, 1, "UTF-16 mit umgekehrter Bytefolge wird nicht gelesen");
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t c = 0;
        if (!text::decodeUtf8(bytes, pos, c)) fail(fileName, line, "ungültiges UTF-8");
        if (c == U'\n') ++line;
    }
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
    Parser(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

    RegTree parse() {
        RegTree tree;
        RegKey* current = nullptr;
        bool headerSeen = false;
        for (std::string_view next; nextLine(next);) {
            const std::string_view line = trim(next);
            if (line.empty()) continue;
            if (!headerSeen) {
                if (line != kHeader) fail("die Kopfzeile \"" + std::string(kHeader) + "\" fehlt");
                headerSeen = true;
            } else if (line.front() == ';') {
                continue;
            } else if (line.front() == '[') {
                current = &keyOf(tree, line);
            } else if (current == nullptr) {
                fail("Wert vor dem ersten Schlüssel");
            } else {
                current->setValue(value(line));
            }
        }
        return tree;
    }

private:
    [[noreturn]] void fail(const std::string& reason) const { settings::fail(fileName_, index_, reason); }

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
        if (line.back() != ']') fail("die schließende Klammer des Schlüssels fehlt");
        const std::string_view path = line.substr(1, line.size() - 2);
        const std::string_view rootName = path.substr(0, path.find('\\'));
        const auto root = rootKeyNamed(rootName);
        if (!root) fail("unbekannter Hauptschlüssel \"" + std::string(rootName) + "\"");
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
                default: fail(std::string("unbekannte Escape-Folge \"\\") + line[pos] + "\"");
            }
        }
        fail("das schließende Anführungszeichen fehlt");
    }

    RegValue value(std::string_view line) {
        RegValue result;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            result.name = quoted(line, pos);
        } else {
            fail("unverständliche Zeile");
        }
        std::string_view rest = trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=') fail("das Gleichheitszeichen nach dem Wertnamen fehlt");
        rest = trim(rest.substr(1));

        if (!rest.empty() && rest.front() == '"') {
            pos = 0;
            const std::string text = quoted(rest, pos);
            if (!trim(rest.substr(pos)).empty()) fail("Zeichen nach dem schließenden Anführungszeichen");
            result.type = 1;
            result.data = utf16Bytes(text::utf8ToUtf16(text) + u'\0');
        } else if (rest.substr(0, 6) == "dword:") {
            const auto number = hexNumber(rest.substr(6), 8);
            if (!number) fail("ungültiger dword-Wert");
            result.type = 4;
            for (unsigned i = 0; i < 4; ++i) result.data.push_back(static_cast<std::uint8_t>(*number >> (8 * i)));
        } else if (rest.substr(0, 4) == "hex:") {
            result.type = 3;
            result.data = hexBytes(rest.substr(4));
        } else if (rest.substr(0, 4) == "hex(") {
            const std::size_t close = rest.find("):");
            const auto type = close == std::string_view::npos ? std::nullopt : hexNumber(rest.substr(4, close - 4), 8);
            if (!type) fail("ungültige Typangabe hex(...)");
            result.type = *type;
            result.data = hexBytes(rest.substr(close + 2));
        } else {
            fail("unbekannte Art des Werts");
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
                    if (!byte) fail("ungültiges Byte \"" + std::string(token) + "\" in den hex-Daten");
                    bytes.push_back(static_cast<std::uint8_t>(*byte));
                }
                start = end + 1;
            }
            if (!continued) return bytes;
            const std::size_t continuedAt = index_;
            if (!nextLine(rest) || trim(rest).empty()) {
                index_ = continuedAt;
                fail("die Fortsetzungszeile der hex-Daten fehlt");
            }
        }
    }

    std::string_view text_;
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

void appendValue(std::string& out, const RegValue& value) {
    const std::size_t lineStart = out.size();
    if (value.name.empty()) {
        out += '@';
    } else {
        appendQuoted(out, value.name);
    }
    out += '=';
    if (const auto text = plainText(value)) {
        appendQuoted(out, *text);
    } else if (value.type == 4 && value.data.size() == 4) {
        char digits[16];
        const std::uint32_t number = value.data[0] | (value.data[1] << 8u) | (value.data[2] << 16u) |
                                     (static_cast<std::uint32_t>(value.data[3]) << 24u);
        std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(number));
        out += digits;
    } else {
        char type[24] = "hex:";
        if (value.type != 3) std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
        out += type;
        appendHex(out, lineStart, value.data);
    }
    out += "\r\n";
}

void appendKey(std::string& out, const RegKey& key, const std::string& path) {
    out += "\r\n[" + path + "]\r\n";
    for (const RegValue& value : key.values) appendValue(out, value);
    for (const RegKey& subkey : key.subkeys) appendKey(out, subkey, path + "\\" + subkey.name);
}

}  // namespace

RegTree parseRegFile(std::string bytes, const std::string& fileName) {
    decodeText(bytes, fileName);
    return Parser(bytes, fileName).parse();
}

std::string formatRegFile(const RegTree& tree) {
    std::string out(kHeader);
    out += "\r\n";
    for (const RegKey& root : tree.subkeys) appendKey(out, root, root.name);
    return out;
}

}  // namespace settings
