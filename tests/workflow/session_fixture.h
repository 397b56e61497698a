// A Session over an in-memory image for the tests, and a ScanObserver that records everything
// a scan reports.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "scan/scan_observer.h"
#include "tests/fixtures/memory_sector_device.h"
#include "tests/fixtures/page_builder.h"
#include "tests/fixtures/recording_observer.h"
#include "workflow/session.h"

namespace vorthal::fixtures {

class RecordingScanObserver final : public ScanObserver {
public:
    void AppendLog(LogPane pane, const std::string& line) override { record.AppendLog(pane, line); }
    void ClearLog(LogPane pane) override { record.ClearLog(pane); }
    void SetGauge(int percent) override { record.SetGauge(percent); }
    void SetStatus(const std::string& text) override { record.SetStatus(text); }
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
        record.ShowMessage(title, text, icon);
    }
    bool AskYesNo(const std::string& title, const std::string& question) override {
        return record.AskYesNo(title, question);
    }
    void FragmentRowAdded(const std::string& line) override {
        rows.push_back(line);
        if (onRowAdded) onRowAdded(line);
    }
    void LastFragmentRowRemoved() override {
        if (!rows.empty()) rows.pop_back();
        ++rowsRemoved;
    }

    std::vector<std::string>& ScanLog() { return record.Log(LogPane::Scan); }

    RecordingObserver record;
    std::vector<std::string> rows;
    int rowsRemoved = 0;
    std::function<void(const std::string&)> onRowAdded;
};

// Zero-filled sectors with page headers written where a test puts them.
class SyntheticImage {
public:
    explicit SyntheticImage(SectorNumber sectors) : bytes_(static_cast<std::size_t>(sectors) * kSectorSize, 0) {}

    void PutHeader(SectorNumber sector, const HeaderFields& fields) { WriteHeader(At(sector), fields); }
    // Data pages firstPage .. firstPage + count - 1 of file 1, 16 sectors apart from startSector.
    void PutRun(SectorNumber startSector, std::int32_t firstPage, std::int32_t count, std::uint16_t fileNumber = 1) {
        for (std::int32_t k = 0; k < count; ++k) {
            HeaderFields fields;
            fields.pageNumber = firstPage + k;
            fields.fileNumber = fileNumber;
            PutHeader(startSector + k * kSectorsPerPage, fields);
        }
    }
    void PutBytes(SectorNumber sector, const std::vector<std::uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), At(sector));
    }
    std::uint8_t* At(SectorNumber sector) { return bytes_.data() + static_cast<std::size_t>(sector) * kSectorSize; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    SectorNumber Sectors() const { return static_cast<SectorNumber>(bytes_.size() / kSectorSize); }

private:
    std::vector<std::uint8_t> bytes_;
};

inline constexpr const char* kImagePath = "image.img";

// A session whose data source is `bytes` read as a whole disk through the path layer, with the
// given sectors failing every read that reaches them.
inline std::unique_ptr<Session> SessionOver(std::vector<std::uint8_t> bytes,
                                            std::set<SectorNumber> failingSectors = {}) {
    auto opener = std::make_unique<MemoryDeviceOpener>();
    const auto sectors = static_cast<SectorNumber>(bytes.size() / kSectorSize);
    opener->AddPath(kImagePath, {std::move(bytes), std::move(failingSectors), 0});
    auto session = std::make_unique<Session>(std::move(opener));
    session->dataSource.sourceChosen = true;
    session->dataSource.devicePath = kImagePath;
    session->dataSource.sizeSectors = sectors;
    session->dataSource.readBound = sectors;
    return session;
}

inline ScanOptions WholeRange(const Session& session, std::int64_t step = 8) {
    ScanOptions options;
    options.endSector = session.dataSource.sizeSectors;
    options.step = step;
    return options;
}

// Runs a scan as SCAN does: scanStopped is cleared first.
inline ScanEnd Scan(Session& session, const ScanOptions& options, ScanObserver& observer) {
    session.scanStopped = false;
    return session.RunScan(options, observer);
}

} // namespace vorthal::fixtures
