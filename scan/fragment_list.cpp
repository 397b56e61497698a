#include "scan/fragment_list.h"

#include <cassert>
#include <optional>

namespace vorthal {

FragmentList::Entry FragmentList::EntryFor(std::size_t offset, std::string_view line) {
    Entry entry;
    entry.offset = offset;
    entry.length = line.size();
    if (const std::optional<FragmentNumbers> numbers = ParseFragmentNumbers(line)) {
        entry.numbersValid = true;
        entry.numbers = *numbers;
    }
    return entry;
}

void FragmentList::Append(std::string_view line) {
    const std::size_t offset = text_.size();
    text_.append(line);
    entries_.push_back(EntryFor(offset, line));
}

void FragmentList::Replace(std::size_t index, std::string_view line) {
    assert(index < entries_.size());
    Entry& entry = entries_[index];
    if (line.size() <= entry.length) {
        // The filter rewrites flags: same length, so the line is overwritten where it stands.
        unusedBytes_ += entry.length - line.size();
        text_.replace(entry.offset, line.size(), line);
        entry = EntryFor(entry.offset, line);
    } else {
        unusedBytes_ += entry.length;
        const std::size_t offset = text_.size();
        text_.append(line);
        entry = EntryFor(offset, line);
    }
    CompactIfWasteful();
}

void FragmentList::DeleteLast() {
    if (entries_.empty()) return;
    const Entry& last = entries_.back();
    if (last.offset + last.length == text_.size()) {
        text_.resize(last.offset);
    } else {
        unusedBytes_ += last.length;
    }
    entries_.pop_back();
    if (entries_.empty()) Clear();
}

void FragmentList::Clear() {
    text_.clear();
    entries_.clear();
    unusedBytes_ = 0;
}

std::string_view FragmentList::Line(std::size_t index) const {
    assert(index < entries_.size());
    const Entry& entry = entries_[index];
    return std::string_view(text_).substr(entry.offset, entry.length);
}

const FragmentNumbers* FragmentList::Numbers(std::size_t index) const {
    assert(index < entries_.size());
    const Entry& entry = entries_[index];
    return entry.numbersValid ? &entry.numbers : nullptr;
}

void FragmentList::CompactIfWasteful() {
    // Lines replaced by longer ones leave their old text behind; rewrite the buffer once that
    // is more than half of it, so repeated replacements cost amortised linear time.
    constexpr std::size_t kMinimumWaste = 4096;
    if (unusedBytes_ < kMinimumWaste || unusedBytes_ * 2 < text_.size()) return;
    std::string compact;
    compact.reserve(text_.size() - unusedBytes_);
    for (Entry& entry : entries_) {
        const std::size_t offset = compact.size();
        compact.append(text_, entry.offset, entry.length);
        entry.offset = offset;
    }
    text_ = std::move(compact);
    unusedBytes_ = 0;
}

} // namespace vorthal
