#include "tests/realdata/shared_data.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vorthal::realdata {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream stream(line);
    while (std::getline(stream, cell, '\t')) cells.push_back(cell);
    return cells;
}

} // namespace

std::filesystem::path SharedDir() { return VORTHAL_SHARED_DIR; }
std::filesystem::path MdfDir() { return SharedDir() / "data" / "mdf"; }

const std::string& ManifestRow::at(const std::string& column) const {
    const auto found = columns.find(column);
    if (found == columns.end()) throw std::out_of_range("manifest has no column " + column);
    return found->second;
}

std::int64_t ManifestRow::number(const std::string& column) const { return std::stoll(at(column)); }

std::optional<std::vector<ManifestRow>> ReadMdfManifest() {
    std::ifstream in(MdfDir() / "MANIFEST.tsv");
    if (!in) return std::nullopt;
    std::string line;
    if (!std::getline(in, line)) return std::nullopt;
    const std::vector<std::string> header = SplitTabs(line);
    std::vector<ManifestRow> rows;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const std::vector<std::string> cells = SplitTabs(line);
        ManifestRow row;
        for (std::size_t i = 0; i < header.size() && i < cells.size(); ++i) row.columns[header[i]] = cells[i];
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace vorthal::realdata
