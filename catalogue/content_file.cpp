#include "catalogue/content_file.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "base/bytes.h"
#include "catalogue/page_scramble.h"
#include "disk/file_sector_device.h"
#include "scan/gauge_percent.h"
#include "scan/record_fragment.h"

namespace vorthal {
namespace {

// Pages read from the source in one request while saving.
constexpr std::int64_t kSavePagesPerRead = 128;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool WriteAll(std::FILE* file, const std::uint8_t* bytes, std::size_t length) {
    return std::fwrite(bytes, 1, length, file) == length;
}

// Why one line could not be saved; the message has to be shown.
enum class SaveFailure { kNone, kRead, kWrite };

// The 15 sectors in front of start; sectors before the start of the source are zero.
SaveFailure SavePrefix(std::FILE* file, SectorNumber start, const SourceSectorReader& readSource) {
    std::uint8_t prefix[kFragmentPrefixBytes] = {};
    const SectorNumber first = std::max<SectorNumber>(0, start - kFragmentPrefixSectors);
    const auto skipped = static_cast<std::size_t>(first - (start - kFragmentPrefixSectors));
    const auto count = static_cast<std::int32_t>(start - first);
    if (count > 0 && !readSource(count, prefix + skipped * kSectorSize, first)) return SaveFailure::kRead;
    return WriteAll(file, prefix, sizeof prefix) ? SaveFailure::kNone : SaveFailure::kWrite;
}

SaveFailure SavePages(std::FILE* file, SectorNumber start, std::int64_t pages, const ContentSave& save,
                      std::vector<std::uint8_t>& buffer) {
    for (std::int64_t done = 0; done < pages;) {
        const std::int64_t chunk = std::min(kSavePagesPerRead, pages - done);
        if (!save.readSource(static_cast<std::int32_t>(chunk * kSectorsPerPage), buffer.data(),
                             start + done * kSectorsPerPage))
            return SaveFailure::kRead;
        for (std::int64_t page = 0; page < chunk; ++page)
            ScramblePage(PageSpan(buffer.data() + static_cast<std::size_t>(page) * kPageSize, kPageSize), save.key);
        if (!WriteAll(file, buffer.data(), static_cast<std::size_t>(chunk) * kPageSize)) return SaveFailure::kWrite;
        done += chunk;
    }
    return SaveFailure::kNone;
}

SaveFailure SaveFragments(std::FILE* file, const FragmentList& fragments, const ContentSave& save,
                          Observer& observer) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kSavePagesPerRead) * kPageSize);
    const std::size_t count = fragments.Count();
    int shownPercent = -1;
    for (std::size_t i = 0; i < count; ++i) {
        if (count > 1) {
            const int percent = RoundedPercent(static_cast<std::int64_t>(i), static_cast<std::int64_t>(count - 1));
            if (percent != shownPercent) observer.SetGauge(percent);
            shownPercent = percent;
        }
        const SectorNumber start = *ParseInt64Text(fragments.Field(i, kFieldStartSector));
        const std::int64_t pages = PagesOfSizeKb(*ParseInt64Text(fragments.Field(i, kFieldSizeKb)));
        if (const SaveFailure failure = SavePrefix(file, start, save.readSource); failure != SaveFailure::kNone)
            return failure;
        if (const SaveFailure failure = SavePages(file, start, pages, save, buffer); failure != SaveFailure::kNone)
            return failure;
    }
    std::uint8_t trailer[kContentTrailerBytes];
    StoreLE32(trailer, StoredContentKey(save.key));
    StoreLE16(trailer + 4, static_cast<std::uint16_t>(save.sectorsPerCluster));
    return WriteAll(file, trailer, sizeof trailer) ? SaveFailure::kNone : SaveFailure::kWrite;
}

} // namespace

std::uint32_t StoredContentKey(std::uint32_t key) { return std::rotr(key, 3); }
std::uint32_t ContentKeyFromStored(std::uint32_t stored) { return std::rotl(stored, 3); }

std::uint32_t DrawContentKey() {
    std::random_device source;
    return std::uniform_int_distribution<std::uint32_t>(0, kLargestContentKey)(source);
}

std::int64_t ContentBytesOfFragment(std::int64_t pages) {
    return kFragmentPrefixBytes + pages * static_cast<std::int64_t>(kPageSize);
}

std::optional<std::int64_t> ContentFileBytes(const FragmentList& fragments) {
    std::int64_t total = kContentTrailerBytes;
    for (std::size_t i = 0; i < fragments.Count(); ++i) {
        const std::optional<std::int64_t> sizeKb = ParseInt64Text(fragments.Field(i, kFieldSizeKb));
        if (!sizeKb || *sizeKb < 0) return std::nullopt;
        total += ContentBytesOfFragment(PagesOfSizeKb(*sizeKb));
    }
    return total;
}

bool SaveContentFile(const FragmentList& fragments, const std::filesystem::path& path, const ContentSave& save,
                     Observer& observer) {
    // Every line needs its start sector and size before anything is written.
    for (std::size_t i = 0; i < fragments.Count(); ++i) {
        FragmentLineError error;
        if (!ReadInt64Field(fragments.Line(i), kFieldStartSector, &error) ||
            !ReadInt64Field(fragments.Line(i), kFieldSizeKb, &error)) {
            observer.ShowMessage(kDefaultMessageTitle, "line " + std::to_string(i + 1) + ": " + error.Describe(),
                                 MessageIcon::Error);
            return false;
        }
    }
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        observer.ShowMessage(kDefaultMessageTitle, kCannotCreateFileMessage);
        return false;
    }
    SaveFailure failure = SaveFragments(file.get(), fragments, save, observer);
    if (failure == SaveFailure::kNone && std::fclose(file.release()) != 0) failure = SaveFailure::kWrite;
    switch (failure) {
    case SaveFailure::kRead: observer.ShowMessage(kDefaultMessageTitle, kReadDiskErrorMessage); return false;
    case SaveFailure::kWrite: observer.ShowMessage(kDefaultMessageTitle, kCannotCreateFileMessage); return false;
    case SaveFailure::kNone: break;
    }
    observer.ShowMessage(kDefaultMessageTitle, kSuccessMessage);
    return true;
}

ContentFile::ContentFile() = default;
ContentFile::~ContentFile() = default;

std::optional<std::string> ContentFile::Open(const std::filesystem::path& path, const FragmentList& fragments) {
    std::string why;
    std::unique_ptr<SectorDevice> stream = FileSectorDevice::Open(path.string(), &why);
    if (stream == nullptr) return "cannot open " + path.string() + (why.empty() ? "" : ": " + why);
    const std::int64_t size = stream->SizeBytes();
    std::uint8_t trailer[kContentTrailerBytes];
    if (size < kContentTrailerBytes ||
        stream->ReadAt(size - kContentTrailerBytes, MutableBytes(trailer, sizeof trailer)) != kContentTrailerBytes)
        return "the 6-byte trailer of " + path.string() + " cannot be read";
    const std::optional<std::int64_t> expected = ContentFileBytes(fragments);
    if (!expected) return "the fragment list holds a line without a valid size";
    if (size != *expected)
        return path.string() + " holds " + std::to_string(size) + " bytes, the fragments of the scan info take " +
               std::to_string(*expected) + ": it does not belong to this scan info file";
    stream_ = std::move(stream);
    key_ = ContentKeyFromStored(LoadLE32(trailer));
    savedSectorsPerCluster_ = LoadLE16Signed(trailer + 4);
    ForgetOffsets();
    return std::nullopt;
}

void ContentFile::ForgetOffsets() {
    const std::lock_guard lock(offsetsMutex_);
    offsets_.clear();
    indexedLines_ = 0;
}

std::optional<std::int64_t> ContentFile::FragmentOffset(const FragmentList& fragments, SectorNumber fragmentStart) {
    const std::lock_guard lock(offsetsMutex_);
    // A scan appends lines and may replace the last one; the offsets are found again then.
    if (indexedLines_ != fragments.Count()) {
        offsets_.clear();
        std::int64_t offset = 0;
        for (indexedLines_ = 0; indexedLines_ < fragments.Count(); ++indexedLines_) {
            const FragmentNumbers* numbers = fragments.Numbers(indexedLines_);
            if (numbers == nullptr) break;
            offsets_.try_emplace(numbers->startSector, offset + kFragmentPrefixBytes);
            offset += ContentBytesOfFragment(numbers->Pages());
        }
        indexedLines_ = fragments.Count();
    }
    const auto found = offsets_.find(fragmentStart);
    if (found == offsets_.end()) return std::nullopt;
    return found->second;
}

bool ContentFile::ReadContentSectors(const FragmentList& fragments, std::int64_t offset, std::int32_t count,
                                     std::uint8_t* destination, SectorNumber fragmentStart) {
    if (stream_ == nullptr || count < 0) return false;
    const std::optional<std::int64_t> fragmentOffset = FragmentOffset(fragments, fragmentStart);
    if (!fragmentOffset) return false;
    const std::int64_t position = *fragmentOffset + offset * static_cast<std::int64_t>(kSectorSize);
    const std::int64_t length = std::int64_t{count} * static_cast<std::int64_t>(kSectorSize);
    if (position < 0) return false;
    if (stream_->ReadAt(position, MutableBytes(destination, static_cast<std::size_t>(length))) != length) return false;
    if (count == kSectorsPerPage) UnscramblePage(PageSpan(destination, kPageSize), key_);
    return true;
}

} // namespace vorthal
