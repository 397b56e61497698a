// The scan on scenario images built from real database files: the fragments found cover every
// page of each file that lies on the disk, at the sector and with the page number of the
// ground truth, runs of one extent joined across empty pages; and the scan info and content
// files written from the scan read back to the same fragments and pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

#include "disk/linux_devices.h"
#include "disk/source_selection.h"
#include "scan/page_header.h"
#include "tests/fixtures/disk_images.h"
#include "tests/realdata/shared_data.h"
#include "tests/workflow/session_fixture.h"

namespace vorthal {
namespace {
namespace fs = std::filesystem;

struct ExtentTruth {
    std::int64_t fileOffset = 0;
    SectorNumber start = 0;
    SectorNumber sectors = 0;
};

struct FileTruth {
    std::string source;
    std::vector<ExtentTruth> extents;

    // The sector where byte `offset` of the file lies on the disk.
    std::optional<SectorNumber> SectorOf(std::int64_t offset) const {
        for (const ExtentTruth& e : extents)
            if (e.fileOffset <= offset && offset < e.fileOffset + e.sectors * 512)
                return e.start + (offset - e.fileOffset) / 512;
        return std::nullopt;
    }
};

std::vector<FileTruth> FilesOf(const fs::path& groundTruth) {
    const std::vector<std::uint8_t> bytes = fixtures::ReadBytes(groundTruth);
    const std::string text(bytes.begin(), bytes.end());
    const std::regex source(R"re("source":\s*"([^"]+)")re");
    const std::regex extent(R"re("file_offset":\s*(\d+),\s*"start_sector":\s*(\d+),\s*"sectors":\s*(\d+))re");
    std::vector<FileTruth> files;
    std::vector<std::size_t> starts;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), source); it != std::sregex_iterator(); ++it) {
        files.push_back({(*it)[1], {}});
        starts.push_back(static_cast<std::size_t>(it->position()));
    }
    starts.push_back(text.size());
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::string part = text.substr(starts[f], starts[f + 1] - starts[f]);
        for (auto it = std::sregex_iterator(part.begin(), part.end(), extent); it != std::sregex_iterator(); ++it)
            files[f].extents.push_back({std::stoll((*it)[1]), std::stoll((*it)[2]), std::stoll((*it)[3])});
    }
    return files;
}

// The line holding page `page` at `sector`, or nothing.
std::optional<std::size_t> LineHolding(const FragmentList& fragments, SectorNumber sector, std::int64_t page) {
    for (std::size_t i = 0; i < fragments.Count(); ++i) {
        const FragmentNumbers* n = fragments.Numbers(i);
        if (n != nullptr && n->startSector <= sector && sector < n->endSector && (sector - n->startSector) % 16 == 0 &&
            n->beginPage + (sector - n->startSector) / 16 == page)
            return i;
    }
    return std::nullopt;
}

// Every page of the original that the scan recognises as its own page (its header names file 1
// and its own page number) must lie in a fragment line at its sector. Own pages of one extent with
// no other recognised page between them are in one line. Page 0 starts a fragment only with page
// 1 right behind it.
void ExpectFileCovered(const FragmentList& fragments, const FileTruth& file) {
    const std::vector<std::uint8_t> original = realdata::ReadWholeFile(realdata::MdfDir() / file.source);
    const auto pages = static_cast<std::int64_t>(original.size() / kPageSize);
    const auto headerOf = [&](std::int64_t page) {
        return PageHeader::At(original.data() + static_cast<std::size_t>(page) * kPageSize);
    };
    int covered = 0;
    std::optional<std::size_t> lastLine;
    std::optional<SectorNumber> lastSector;
    for (std::int64_t page = 0; page < pages; ++page) {
        const PageHeader header = headerOf(page);
        const std::optional<SectorNumber> sector = file.SectorOf(page * static_cast<std::int64_t>(kPageSize));
        ASSERT_TRUE(sector) << file.source << " page " << page << " is on no extent";
        // Only pages 16 sectors apart on the disk can share a line.
        if (!lastSector || *sector != *lastSector + 16) lastLine.reset();
        lastSector = sector;
        const bool own = page == 0 ? IsFileHeaderPage(header, 1) : IsDataPage(header, 1) && header.pageNumber() == page;
        if (!own) {
            if (IsDataPage(header, 1) || IsFileHeaderPage(header, 1)) lastLine.reset();
            continue;
        }
        if (page == 0 && file.SectorOf(kPageSize) != *sector + 16) continue;
        const std::optional<std::size_t> line = LineHolding(fragments, *sector, page);
        ASSERT_TRUE(line) << file.source << " page " << page << " at sector " << *sector << " is in no fragment";
        if (lastLine) {
            EXPECT_EQ(*line, *lastLine) << file.source << " page " << page << " was not joined";
        }
        lastLine = line;
        ++covered;
    }
    EXPECT_GT(covered, pages / 2) << file.source;
}

struct Scenario {
    const char* kind;
    std::vector<const char*> mdfs;
    bool wholeDisk;
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.kind; }

class ScanScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(ScanScenario, FragmentsCoverEveryPageAtItsPlaceAndTheSavedScanReadsBack) {
    const Scenario& scenario = GetParam();
    const std::string kind = scenario.kind;
    const fs::path generator = realdata::SharedDir() / "scenarios" / "make_scenarios.py";
    if (!fs::exists(generator)) GTEST_SKIP() << "no scenario generator under " << realdata::SharedDir();
    std::string mdfArguments;
    for (const char* mdf : scenario.mdfs) {
        if (!fs::exists(realdata::MdfDir() / mdf)) {
            GTEST_SKIP() << "no " << mdf << " under " << realdata::MdfDir();
        }
        mdfArguments += " --mdf " + fixtures::Quoted((realdata::MdfDir() / mdf).string());
    }
    if (kind.starts_with("ntfs") && (geteuid() != 0 || !fs::exists("/dev/fuse")))
        GTEST_SKIP() << "NTFS scenarios mount with ntfs-3g, which needs root and /dev/fuse";
    fixtures::TempDir dir;
    const auto built = fixtures::RunCommand("PATH=\"$PATH:/usr/sbin:/sbin\" python3 " +
                                            fixtures::Quoted(generator.string()) + " build " + kind + " --out " +
                                            fixtures::Quoted(dir.path().string()) + " --seed 1" + mdfArguments);
    if (built.exitCode != 0 && built.output.find("not found") != std::string::npos)
        GTEST_SKIP() << "a tool of the generator is missing: " << built.output;
    ASSERT_EQ(built.exitCode, 0) << built.output;
    const fs::path image = dir / (kind + "-s1.img");

    Session session(std::make_unique<LinuxDevicePlatform>(dir / "no-sysfs"));
    fixtures::RecordingObserver chooser;
    chooser.answers = {!scenario.wholeDisk};
    SourceSelection selection = session.Selection(chooser);
    ASSERT_TRUE(ChooseImageFile(selection, *session.deviceOpener, image.string()));
    const SourceControls& controls = session.sourceControls;
    ScanOptions options;
    options.beginSector = *ParseInt64Text(controls.edtbegin);
    options.endSector = *ParseInt64Text(controls.edtend);
    options.step = *ParseInt64Text(controls.edtsecs);
    options.freeSpaceOnly = controls.chkfreespaceChecked && controls.chkfreespaceEnabled;
    EXPECT_EQ(options.freeSpaceOnly, !scenario.wholeDisk);
    fixtures::RecordingScanObserver observer;
    ASSERT_EQ(fixtures::Scan(session, options, observer), ScanEnd::kCompleted);

    const std::vector<FileTruth> files = FilesOf(dir / (kind + "-s1.json"));
    ASSERT_EQ(files.size(), scenario.mdfs.size());
    for (const FileTruth& file : files) ExpectFileCovered(session.fragments, file);

    ASSERT_FALSE(session.SaveScanInfo(dir / "scan.info"));
    fixtures::RecordingObserver saving;
    ASSERT_TRUE(session.SaveContentFile(dir / "spcontent", saving));
    Session reopened(std::make_unique<LinuxDevicePlatform>(dir / "no-sysfs"));
    ASSERT_FALSE(reopened.OpenScanInfo(dir / "scan.info"));
    ASSERT_FALSE(reopened.OpenContentFile(dir / "spcontent"));
    ASSERT_EQ(reopened.fragments.Count(), session.fragments.Count());
    std::vector<std::uint8_t> fromFile(kPageSize);
    std::vector<std::uint8_t> fromSource(kPageSize);
    for (std::size_t i = 0; i < session.fragments.Count(); ++i) {
        ASSERT_EQ(reopened.fragments.Line(i), session.fragments.Line(i));
        const FragmentNumbers& n = *session.fragments.Numbers(i);
        if (LineHolding(session.fragments, n.startSector, n.beginPage) != i) continue; // an earlier line answers
        const std::int64_t lastPage = n.Pages() - 1;
        for (const std::int64_t page : {std::int64_t{0}, lastPage}) {
            ASSERT_TRUE(reopened.ReadFragmentSectors(n.startSector, page * 16, 16, fromFile.data()));
            ASSERT_TRUE(session.ReadFragmentSectors(n.startSector, page * 16, 16, fromSource.data()));
            ASSERT_EQ(fromFile, fromSource) << "line " << i << " page " << page;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ScanScenario,
    ::testing::Values(Scenario{"fat32-deleted-frag", {"db08.mdf"}, false},
                      Scenario{"fat32-deleted-frag-16k", {"db05.mdf"}, false},
                      Scenario{"fat32-deleted-frag-32k", {"db13.mdf"}, false},
                      Scenario{"fat32-formatted", {"db02.mdf", "db03.mdf", "db04.mdf"}, false},
                      Scenario{"ntfs-deleted", {"db10.mdf"}, false},
                      Scenario{"disk-mbr-fat32", {"db19.mdf"}, true},
                      Scenario{"two-versions", {"db06.mdf", "db07.mdf"}, false}),
    [](const auto& testInfo) {
        std::string name = testInfo.param.kind;
        for (char& c : name) {
            if (c == '-') c = '_';
        }
        return name;
    });

} // namespace
} // namespace vorthal
