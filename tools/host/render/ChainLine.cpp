#include "ChainLine.h"

#include "FileName.h"

namespace vsthost {

namespace {

constexpr const char* kSeparator = "+";

}  // namespace

bool ChainLine::isLinkOption(const std::string& option) {
    return option == "--param" || option == "--preset" || option == "--automation";
}

Expected<ChainLine> ChainLine::parse(const std::vector<std::string>& tokens) {
    ChainLine chain;
    std::vector<std::vector<std::string>> names(1);
    chain.links_.emplace_back();
    bool optionsEnded = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string& token = tokens[i];
        if (!optionsEnded && token == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && token.size() > 2 && token.starts_with("--")) {
            const bool valued = CommandLine::takesValue(token);
            if (valued && i + 1 >= tokens.size()) return Error{"option " + token + " needs a value"};
            const std::string value = valued ? tokens[++i] : std::string();
            Link& link = chain.links_.back();
            if (token == "--param") link.parameters.push_back(value);
            if (token == "--preset") link.preset = value;
            if (token == "--automation") link.automation = value;
        } else if (token == kSeparator) {
            if (names.back().size() != 1) {
                return Error{"each link before a '+' is one plug-in with its options; link " +
                             std::to_string(names.size()) + " names " + std::to_string(names.back().size()) +
                             " files"};
            }
            names.emplace_back();
            chain.links_.emplace_back();
        } else {
            names.back().push_back(token);
        }
    }
    const auto& last = names.back();
    if (last.size() < 2 || last.size() > 3) return Error{"usage"};
    for (std::size_t i = 0; i < names.size(); ++i) chain.links_[i].plugin = names[i].front();
    chain.input_ = last.size() == 3 ? last[1] : std::string();
    chain.output_ = last.back();
    return chain;
}

std::vector<std::string> ChainLine::readFiles() const {
    std::vector<std::string> files;
    if (!input_.empty()) files.push_back(input_);
    for (const Link& link : links_) files.insert(files.end(), {link.plugin, link.preset, link.automation});
    return files;
}

void ChainLine::makeAbsolute() {
    for (Link& link : links_) {
        link.plugin = FileName::absolute(link.plugin);
        if (!link.preset.empty()) link.preset = FileName::absolute(link.preset);
        if (!link.automation.empty()) link.automation = FileName::absolute(link.automation);
    }
    if (!input_.empty()) input_ = FileName::absolute(input_);
    output_ = FileName::absolute(output_);
}

std::vector<std::string> ChainLine::words() const {
    std::vector<std::string> words;
    for (const Link& link : links_) {
        if (!words.empty()) words.push_back(kSeparator);
        words.push_back(link.plugin);
        for (const auto& parameter : link.parameters) words.insert(words.end(), {"--param", parameter});
        if (!link.preset.empty()) words.insert(words.end(), {"--preset", link.preset});
        if (!link.automation.empty()) words.insert(words.end(), {"--automation", link.automation});
    }
    if (!input_.empty()) words.push_back(input_);
    words.push_back(output_);
    return words;
}

}  // namespace vsthost
