#include "app/cli/Arguments.h"

#include <cerrno>
#include <cstring>

namespace cli {

Arguments::Arguments(const std::vector<std::string>& words, const std::set<std::string>& valued,
                     const std::set<std::string>& flags) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        // "--opt=value" is "--opt value", as people type it by habit.
        const std::size_t equals = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
        const std::string name = word.substr(0, equals);
        if (optionsEnded) {
            positional_.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "-h") {
            help_ = true;
        } else if (valued.count(name)) {
            if (equals == std::string::npos && i + 1 >= words.size()) throw UsageError(texts::optionWantsValue(name));
            take(name, equals == std::string::npos ? words[++i] : word.substr(equals + 1));
        } else if (flags.count(name)) {
            if (equals != std::string::npos) throw UsageError(texts::flagTakesNoValue(name));
            take(name, "");
        } else if (word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9')) {
            throw UsageError(texts::unknownOption(word));
        } else {
            positional_.push_back(word);
        }
    }
}

void Arguments::take(const std::string& option, std::string value) {
    // No option is a list: a second one would silently override the first.
    if (!options_.emplace(option, std::move(value)).second) {
        throw UsageError(texts::optionGivenTwice(option));
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

int printHelp(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "%s\n", texts::textNotWritten(std::strerror(errno)).c_str());
        return 1;
    }
    return 0;
}

void Arguments::refusePositional() const {
    if (!positional_.empty()) throw UsageError(texts::unexpectedArgument(positional_.front()));
}

}  // namespace cli
