// The scan info file: one line per FragmentList line, in list order, each the line enciphered
// with the scan info key as hexadecimal digits, every line ended by carriage return and line
// feed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "scan/fragment_list.h"

namespace vorthal {

// Why a scan info file could not be written or read.
struct ScanInfoError {
    std::size_t lineNumber = 0; // 1-based line of the file that is not valid; 0 for file errors
    std::string detail;

    // For example: line 3: not valid hexadecimal text
    std::string Describe() const;
};

// Writes every line of `fragments`, hidden ones included, replacing the file.
std::optional<ScanInfoError> SaveScanInfo(const FragmentList& fragments, const std::filesystem::path& path);

// Reads the file into `fragments`. Every line must decipher to a fragment line whose fields 1 to
// 6 are numbers; on the first one that does not, or when the file cannot be read, `fragments` is
// left exactly as it was and the error names the line.
std::optional<ScanInfoError> OpenScanInfo(const std::filesystem::path& path, FragmentList& fragments);

} // namespace vorthal
