#include "assembly/page_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace vorthal {

PageFileWriter::~PageFileWriter() { Close(); }

void PageFileWriter::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool PageFileWriter::Fail(const std::string& what) {
    if (error_.empty()) error_ = what + " " + path_ + ": " + std::strerror(errno);
    return false;
}

bool PageFileWriter::Create(const std::string& path) {
    Close();
    path_ = path;
    error_.clear();
    bufferedPages_ = 0;
    pagesAppended_ = 0;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) return Fail("cannot create");
    buffer_.assign(kBufferPages * kPageSize, 0);
    return true;
}

bool PageFileWriter::Flush() {
    if (Failed()) return false;
    const std::size_t total = bufferedPages_ * kPageSize;
    std::size_t done = 0;
    while (done < total) {
        const ssize_t written = ::write(fd_, buffer_.data() + done, total - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return Fail("cannot write");
        }
        if (written == 0) {
            errno = ENOSPC;
            return Fail("cannot write");
        }
        done += static_cast<std::size_t>(written);
    }
    bufferedPages_ = 0;
    return true;
}

std::span<std::uint8_t> PageFileWriter::ReservePages(std::size_t maxPages) {
    if (fd_ < 0 || Failed()) return {};
    if (bufferedPages_ == kBufferPages && !Flush()) return {};
    const std::size_t pages = std::min(maxPages, kBufferPages - bufferedPages_);
    return {buffer_.data() + bufferedPages_ * kPageSize, pages * kPageSize};
}

bool PageFileWriter::CommitPages(std::size_t count) {
    if (fd_ < 0 || Failed()) return false;
    bufferedPages_ += count;
    pagesAppended_ += static_cast<std::int64_t>(count);
    return true;
}

bool PageFileWriter::AppendPage(std::span<const std::uint8_t, kPageSize> page) {
    const std::span<std::uint8_t> room = ReservePages(1);
    if (room.empty()) return false;
    std::copy(page.begin(), page.end(), room.begin());
    return CommitPages(1);
}

bool PageFileWriter::AppendZeroPages(std::int64_t count) {
    while (count > 0) {
        const std::span<std::uint8_t> room = ReservePages(static_cast<std::size_t>(std::min<std::int64_t>(count, kBufferPages)));
        if (room.empty()) return false;
        std::fill(room.begin(), room.end(), std::uint8_t{0});
        const std::size_t pages = room.size() / kPageSize;
        CommitPages(pages);
        count -= static_cast<std::int64_t>(pages);
    }
    return !Failed();
}

bool PageFileWriter::ReplaceLastPage(std::span<const std::uint8_t, kPageSize> page) {
    if (fd_ < 0 || Failed()) return false;
    // The buffer is written out only when room for a new page is needed, so the page appended
    // last is always still in it.
    if (bufferedPages_ == 0) return true;
    std::copy(page.begin(), page.end(), buffer_.begin() + static_cast<std::ptrdiff_t>((bufferedPages_ - 1) * kPageSize));
    return true;
}

bool PageFileWriter::Finish() {
    if (fd_ < 0) return Failed() ? false : Fail("not open");
    const bool flushed = Flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && flushed) return Fail("cannot close");
    return flushed;
}

} // namespace vorthal
