#include "cli/json_report.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/options.h"

namespace vorthal::cli {
namespace {

std::string JsonPages(const std::vector<std::int32_t>& pages) {
    std::string text = "[";
    for (std::size_t i = 0; i < pages.size(); ++i) text += (i > 0 ? ", " : "") + std::to_string(pages[i]);
    return text + "]";
}

void WriteFile(std::ostream& out, const FileRecovery& file) {
    const MdfBuildResult& build = file.build;
    out << "    {\n"
        << "      \"row\": " << file.row.caption << ",\n"
        << "      \"start_sector\": " << file.row.startSector << ",\n"
        << "      \"file_name\": " << JsonString(file.fileName) << ",\n"
        << "      \"size_pages\": " << file.sizePages << ",\n"
        << "      \"rebuilt\": " << (file.Succeeded() ? "true" : "false") << ",\n"
        << "      \"failure\": " << JsonString(file.failure) << ",\n"
        << "      \"output\": " << JsonString(build.outputPath) << ",\n"
        << "      \"fragments_chained\": " << file.fragmentsChained << ",\n"
        << "      \"second_search_found\": " << file.secondSearchFound << ",\n"
        << "      \"pages_copied\": " << build.pagesCopied << ",\n"
        << "      \"zero_pages\": " << build.pagesZeroFilled << ",\n"
        << "      \"unreadable_pages\": " << build.pagesUnreadable << ",\n"
        << "      \"split_pages_repaired\": " << build.splitPagesRepaired << ",\n"
        << "      \"missing_pfs_pages\": " << JsonPages(file.check.missingPfsPages) << ",\n"
        << "      \"missing_allocated_pages\": " << JsonPages(file.check.missingAllocatedPages) << ",\n"
        << "      \"output_pages\": " << (file.output ? file.output->pages : 0) << ",\n"
        << "      \"output_zero_pages\": " << (file.output ? file.output->zeroPages : 0) << ",\n"
        << "      \"pages_passing_verification\": " << (file.output ? file.output->verifiedPages : 0) << "\n"
        << "    }";
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

void WriteJsonReport(const std::string& path, const std::vector<FileRecovery>& files) {
    std::ostringstream out;
    out << "{\n  \"files\": [\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        WriteFile(out, files[i]);
        out << (i + 1 < files.size() ? ",\n" : "\n");
    }
    out << "  ]\n}\n";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string text = out.str();
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) throw CommandFailure("cannot write the report " + path);
}

} // namespace vorthal::cli
