// The fragment content file: for every FragmentList line, in order, the 15 sectors in front of
// its start sector as they are, then its pages scrambled with the file key; at the end a trailer
// of 6 bytes: the key rotated right by 3 bits (unsigned 32-bit) and the sectors per cluster at
// save time (signed 16-bit), little-endian. Only the matching scan info file tells where one
// fragment's data ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "base/observer.h"
#include "base/page_geometry.h"
#include "scan/fragment_list.h"
#include "scan/source_reads.h"

namespace vorthal {

class SectorDevice;

inline constexpr std::int64_t kFragmentPrefixSectors = 15;
inline constexpr std::int64_t kFragmentPrefixBytes = kFragmentPrefixSectors * static_cast<std::int64_t>(kSectorSize);
inline constexpr std::int64_t kContentTrailerBytes = 6;
inline constexpr std::uint32_t kLargestContentKey = 2147483646;

inline constexpr const char* kCannotCreateFileMessage = "error,无法创建文件";
inline constexpr const char* kCannotOpenFileMessage = "error,无法打开文件";
inline constexpr const char* kSuccessMessage = "success";

std::uint32_t StoredContentKey(std::uint32_t key);
std::uint32_t ContentKeyFromStored(std::uint32_t stored);
// A key from 0 to kLargestContentKey, drawn from the system's random source.
std::uint32_t DrawContentKey();

// Bytes a fragment of `pages` pages takes in the content file, prefix included.
std::int64_t ContentBytesOfFragment(std::int64_t pages);
// Bytes of the content file of `fragments`, trailer included; nothing when a line has no valid
// size.
std::optional<std::int64_t> ContentFileBytes(const FragmentList& fragments);

// What a save reads and stores.
struct ContentSave {
    SourceSectorReader readSource;
    std::uint32_t key = 0;
    std::int16_t sectorsPerCluster = 0;
};

// Writes the content file of `fragments`, moving the gauge once per line. Shows "error,无法创建文件"
// when the file cannot be created or written, "read disk error" when a sector cannot be read
// (the file then ends without its trailer), and "success" at the end. Sectors in front of the
// first sector of the source, which a fragment near the start has in its prefix, are stored as
// zero bytes.
bool SaveContentFile(const FragmentList& fragments, const std::filesystem::path& path, const ContentSave& save,
                     Observer& observer);

// An open content file, and whether page reads of fragments come from it (ContentFileMode).
class ContentFile {
public:
    ContentFile();
    ~ContentFile();
    ContentFile(const ContentFile&) = delete;
    ContentFile& operator=(const ContentFile&) = delete;

    // Opens the file for `fragments` (the scan info file it belongs to). A file whose trailer
    // cannot be read whole, or whose size is not what the fragments take, is refused: the
    // error says why and the file in use before, with its key, stays in use.
    std::optional<std::string> Open(const std::filesystem::path& path, const FragmentList& fragments);

    bool Mode() const { return stream_ != nullptr; }
    std::uint32_t Key() const { return key_; }
    // Sectors per cluster stored in the trailer of the open file.
    std::int16_t SavedSectorsPerCluster() const { return savedSectorsPerCluster_; }

    // Reads `count` sectors at `offset` (may be negative, -15 reaches the prefix) of the fragment
    // of `fragments` that starts at `fragmentStart`; the first line with that start sector
    // answers. Reads of exactly one page come back unscrambled. True only when all arrived.
    bool ReadContentSectors(const FragmentList& fragments, std::int64_t offset, std::int32_t count,
                            std::uint8_t* destination, SectorNumber fragmentStart);

    // The list changed other than by appending lines: the offsets are found again.
    void ForgetOffsets();

private:
    std::optional<std::int64_t> FragmentOffset(const FragmentList& fragments, SectorNumber fragmentStart);

    std::unique_ptr<SectorDevice> stream_;
    std::uint32_t key_ = 0;
    std::int16_t savedSectorsPerCluster_ = 0;
    // Start sector -> byte offset of the fragment's first page, for the lines indexed so far.
    std::mutex offsetsMutex_;
    std::unordered_map<SectorNumber, std::int64_t> offsets_;
    std::size_t indexedLines_ = 0;
    std::int64_t nextFragmentOffset_ = 0;
};

} // namespace vorthal
