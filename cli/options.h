// Command-line options shared by the commands of vorthal-cli: positional arguments, flags and
// options with a value, checked against what the command accepts.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorthal::cli {

// A mistake in how the command was called: exit status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A failure of the work itself: exit status 1.
class CommandFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::set<std::string> flags;        // e.g. "--free-space"
    std::set<std::string> valueOptions; // e.g. "--kind"
    std::size_t positionals = 0;        // how many plain arguments the command takes
};

class ParsedOptions {
  public:
    const std::vector<std::string>& positionals() const { return positionals_; }
    bool Has(const std::string& flag) const { return flags_.count(flag) != 0; }
    std::optional<std::string> Value(const std::string& option) const;

  private:
    friend ParsedOptions ParseOptions(const std::vector<std::string>& arguments, const OptionSpec& spec);
    std::vector<std::string> positionals_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

// Throws UsageError for an unknown option, a missing value or a wrong number of arguments.
ParsedOptions ParseOptions(const std::vector<std::string>& arguments, const OptionSpec& spec);

// "--kind partition|disk": true for partition, false for disk, nothing when not given.
std::optional<bool> KindIsPartition(const ParsedOptions& options);

} // namespace vorthal::cli
