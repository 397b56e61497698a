// Choosing the data source from the command line the way the window's menu chooses it: a
// partition's block device as a volume, a whole disk as a physical drive, anything else as an
// image file whose kind comes from --kind or from its sector 0.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_observer.h"
#include "disk/linux_devices.h"
#include "disk/source_selection.h"

namespace vorthal::cli {

struct SourceContext {
    LinuxDevicePlatform platform;
    DataSourceState state;
    SectorAccess access{state, platform};
    SourceControls controls;
    CliObserver observer;
    SourceSelection selection{state, access, controls, observer};
    std::string kindText; // "volume", "physical drive", "partition image" or "disk image"
};

// Throws CommandFailure with the reason when the source cannot be chosen.
void ChooseSource(SourceContext& context, const std::string& source, std::optional<bool> kindIsPartition);

} // namespace vorthal::cli
