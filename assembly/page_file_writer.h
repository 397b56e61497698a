// Writes a file of 8192-byte pages, appended one after the other, in large buffered chunks.
// Every failure (cannot create, disk full, short write, failed close) is kept with its reason,
// so that a file that was not completely written is never taken for a finished one.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/page_geometry.h"

namespace vorthal {

class PageFileWriter {
public:
    // Pages held before they are written out: 4 MiB.
    static constexpr std::size_t kBufferPages = 512;

    PageFileWriter() = default;
    PageFileWriter(const PageFileWriter&) = delete;
    PageFileWriter& operator=(const PageFileWriter&) = delete;
    ~PageFileWriter(); // closes without reporting; call Finish to learn whether all was written

    // Creates `path`, replacing an existing file. False (with Error()) when it cannot be created.
    bool Create(const std::string& path);

    // Appends one page, or `count` zero pages. Return false once anything has failed.
    bool AppendPage(std::span<const std::uint8_t, kPageSize> page);
    bool AppendZeroPages(std::int64_t count);
    // Room for up to `maxPages` pages at the end of the buffer, to be filled by the caller and
    // then taken with CommitPages; writes out the buffer first when it is full.
    std::span<std::uint8_t> ReservePages(std::size_t maxPages);
    bool CommitPages(std::size_t count);

    // Puts `page` in place of the page appended last, which is still buffered (nothing happens
    // when no page has been appended).
    bool ReplaceLastPage(std::span<const std::uint8_t, kPageSize> page);

    // Writes out what is buffered and closes the file. True only when every page reached it.
    bool Finish();

    std::int64_t PagesAppended() const { return pagesAppended_; }
    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }

private:
    bool Flush();
    bool Fail(const std::string& what);
    void Close();

    int fd_ = -1;
    std::vector<std::uint8_t> buffer_;
    std::size_t bufferedPages_ = 0;
    std::int64_t pagesAppended_ = 0;
    std::string path_;
    std::string error_;
};

} // namespace vorthal
