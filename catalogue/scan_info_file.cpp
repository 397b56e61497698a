#include "catalogue/scan_info_file.h"

#include <fstream>
#include <string_view>

#include "catalogue/text_cipher.h"

namespace vorthal {

std::string ScanInfoError::Describe() const {
    if (lineNumber == 0) return detail;
    return "line " + std::to_string(lineNumber) + ": " + detail;
}

std::optional<ScanInfoError> SaveScanInfo(const FragmentList& fragments, const std::filesystem::path& path) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return ScanInfoError{0, "cannot create " + path.string()};
    for (std::size_t i = 0; i < fragments.Count(); ++i) file << EncipherText(fragments.Line(i), kScanInfoKey) << "\r\n";
    file.close();
    if (!file) return ScanInfoError{0, "cannot write " + path.string()};
    return std::nullopt;
}

std::optional<ScanInfoError> OpenScanInfo(const std::filesystem::path& path, FragmentList& fragments) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return ScanInfoError{0, "cannot open " + path.string()};
    FragmentList loaded;
    std::string text;
    std::size_t lineNumber = 0;
    while (std::getline(file, text)) {
        ++lineNumber;
        std::string_view hex = text;
        if (!hex.empty() && hex.back() == '\r') hex.remove_suffix(1);
        const std::optional<std::string> line = DecipherText(hex, kScanInfoKey);
        if (!line) return ScanInfoError{lineNumber, "not valid hexadecimal text"};
        FragmentLineError fieldError;
        if (!ParseFragmentNumbers(*line, &fieldError)) return ScanInfoError{lineNumber, fieldError.Describe()};
        loaded.Append(*line);
    }
    if (file.bad()) return ScanInfoError{0, "cannot read " + path.string()};
    fragments = std::move(loaded);
    return std::nullopt;
}

} // namespace vorthal
