#include "text/OneLine.h"

namespace text {

std::string oneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += text[i];
        }
    }
    return line;
}

}  // namespace text
