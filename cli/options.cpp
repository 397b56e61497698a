#include "cli/options.h"

namespace vorthal::cli {

std::optional<std::string> ParsedOptions::Value(const std::string& option) const {
    const auto found = values_.find(option);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

ParsedOptions ParseOptions(const std::vector<std::string>& arguments, const OptionSpec& spec) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (spec.flags.count(argument) != 0) {
            parsed.flags_.insert(argument);
        } else if (spec.valueOptions.count(argument) != 0) {
            if (i + 1 >= arguments.size())
                throw UsageError("option " + argument + " needs a value");
            parsed.values_[argument] = arguments[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            throw UsageError("unknown option '" + argument + "'");
        } else {
            parsed.positionals_.push_back(argument);
        }
    }
    if (parsed.positionals_.size() != spec.positionals) {
        throw UsageError("expected " + std::to_string(spec.positionals) + " argument(s), got " +
                         std::to_string(parsed.positionals_.size()));
    }
    return parsed;
}

std::optional<bool> KindIsPartition(const ParsedOptions& options) {
    const std::optional<std::string> kind = options.Value("--kind");
    if (!kind)
        return std::nullopt;
    if (*kind == "partition")
        return true;
    if (*kind == "disk")
        return false;
    throw UsageError("--kind takes 'partition' or 'disk', not '" + *kind + "'");
}

} // namespace vorthal::cli
