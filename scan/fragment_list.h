// The FragmentList: every fragment the program knows, one fragment line each, in the order of
// recording. Duplicates are allowed and the list is never sorted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scan/fragment_line.h"

namespace vorthal {

// A scan of a large disk records millions of lines, and the analysis reads fields of many of
// them again and again. The lines are therefore kept in one text buffer (no allocation per
// line), and the numbers of fields 1 to 6 are read once when a line is stored and kept beside
// it. The line text stays the stored and exchanged form, exactly as it was given.
//
// Not thread-safe: one run at a time changes or reads the list (the worker appends while a scan
// runs; nothing else may touch the list then). What Line, Field and Numbers return stays valid
// until the list is next changed.
class FragmentList {
public:
    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }

    void Append(std::string_view line);
    // Replaces line `index` (index < Count()).
    void Replace(std::size_t index, std::string_view line);
    // Removes the last line; does nothing on an empty list.
    void DeleteLast();
    void Clear();

    // Line `index` (index < Count()), counted from 0.
    std::string_view Line(std::size_t index) const;
    // FieldOf of line `index`.
    std::string_view Field(std::size_t index, int field) const { return FieldOf(Line(index), field); }
    // The numbers of fields 1 to 6 of line `index`, or nullptr when one of them is not a valid
    // number (the line then has to be read through its text, and its fault reported).
    const FragmentNumbers* Numbers(std::size_t index) const;

private:
    struct Entry {
        std::size_t offset = 0;
        std::size_t length = 0;
        bool numbersValid = false;
        FragmentNumbers numbers;
    };

    static Entry EntryFor(std::size_t offset, std::string_view line);
    void CompactIfWasteful();

    std::string text_;               // all lines, one after the other, without separators
    std::vector<Entry> entries_;     // one per line, in list order
    std::size_t unusedBytes_ = 0;    // bytes of text_ left behind by replaced or deleted lines
};

} // namespace vorthal
