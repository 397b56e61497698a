// What a scan reports beyond the log, gauge and messages of every run: the rows of the fragment
// list view, so that a window's model can mirror the FragmentList while the scan records it.
#pragma once

#include <string>

#include "base/observer.h"

namespace vorthal {

class ScanObserver : public Observer {
public:
    // A line was appended to the FragmentList; the view adds its row.
    virtual void FragmentRowAdded(const std::string& line) = 0;
    // The last line was removed (a run joined to it); the view removes its last row.
    virtual void LastFragmentRowRemoved() = 0;
};

} // namespace vorthal
