// Access to the real database files and scenario tools in the shared folder set at configure
// time (VORTHAL_SHARED_DIR). Tests skip themselves when the folder is absent.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorthal::realdata {

std::filesystem::path SharedDir();
std::filesystem::path MdfDir();

// One row of data/mdf/MANIFEST.tsv, its columns by header name.
struct ManifestRow {
    std::map<std::string, std::string> columns;
    const std::string& at(const std::string& column) const;
    std::int64_t number(const std::string& column) const;
};

// The manifest rows, or nothing when the folder or its manifest is absent.
std::optional<std::vector<ManifestRow>> ReadMdfManifest();

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path);

} // namespace vorthal::realdata
