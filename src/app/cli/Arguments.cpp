#include "app/cli/Arguments.h"

namespace cli {

Arguments::Arguments(const std::vector<std::string>& words, const std::set<std::string>& valued,
                     const std::set<std::string>& flags) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            help_ = true;
        } else if (valued.count(word)) {
            if (i + 1 >= words.size()) throw UsageError(texts::optionWantsValue(word));
            options_[word] = words[++i];
        } else if (flags.count(word)) {
            options_[word] = "";
        } else if (word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9')) {
            throw UsageError(texts::unknownOption(word));
        } else {
            positional_.push_back(word);
        }
    }
}

std::optional<std::string> Arguments::value(const std::string& option) const {
    const auto found = options_.find(option);
    if (found == options_.end()) return std::nullopt;
    return found->second;
}

std::string Arguments::required(const std::string& option) const {
    auto found = value(option);
    if (!found) throw UsageError(texts::optionMissing(option));
    return *found;
}

void Arguments::refusePositional() const {
    if (!positional_.empty()) throw UsageError(texts::unexpectedArgument(positional_.front()));
}

}  // namespace cli
