#include "text/ShortenedName.h"

#include <vector>

namespace text {

namespace {

constexpr const char* kEllipsis = "…";

// Where each character of a UTF-8 text begins, and its end.
std::vector<std::size_t> characterStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    }
    starts.push_back(text.size());
    return starts;
}

}  // namespace

std::string shortenName(const std::string& sentence, const std::string& name,
                        const std::function<bool(const std::string&)>& fits) {
    const std::size_t at = name.empty() ? std::string::npos : sentence.find(name);
    if (at == std::string::npos || fits(sentence)) return sentence;
    const std::string before = sentence.substr(0, at);
    const std::string after = sentence.substr(at + name.size());
    const std::vector<std::size_t> starts = characterStarts(name);
    const std::size_t characters = starts.size() - 1;
    // With `kept` characters of the name: the first half of them, "…", the rest from its end.
    const auto shortened = [&](std::size_t kept) {
        const std::size_t head = (kept + 1) / 2;
        return before + name.substr(0, starts[head]) + kEllipsis + name.substr(starts[characters - (kept - head)]) +
               after;
    };
    // The most characters that fit: the fewer kept, the narrower the sentence.
    std::size_t low = 0;
    std::size_t high = characters - 1;
    while (low < high) {
        const std::size_t middle = (low + high + 1) / 2;
        if (fits(shortened(middle))) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return shortened(low);
}

}  // namespace text
