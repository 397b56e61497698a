// vorthal-cli info: the data source as source selection sees it, and with --free-space the
// clusters in use and free according to the free-space map.
#include <iostream>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/source_choice.h"
#include "disk/boot_sector.h"
#include "disk/free_space_map.h"

namespace vorthal::cli {
namespace {

void PrintSource(const SourceContext& context) {
    const SourceControls& controls = context.controls;
    const DataSourceState& state = context.state;
    std::cout << "source: " << controls.edtDataStr << '\n'
              << "kind: " << context.kindText << '\n'
              << "file system: " << (controls.label5.empty() ? "none" : controls.label5) << '\n'
              << "sectors per cluster: " << (state.hasFileSystem ? state.sectorsPerCluster : 1) << '\n'
              << "data start sector: " << (state.hasFileSystem ? state.dataStartSector : 0) << '\n'
              << "size in sectors: " << state.sizeSectors << '\n'
              << "scan begin: " << controls.edtbegin << '\n'
              << "scan end: " << controls.edtend << '\n'
              << "scan step: " << controls.edtsecs << '\n'
              << "free space only: " << (controls.chkfreespaceChecked ? "yes" : "no") << '\n';
}

void PrintFreeSpace(SourceContext& context) {
    const std::string& fileSystem = context.state.fileSystemName;
    if (!context.state.hasFileSystem || (fileSystem != kFat32Name && fileSystem != kNtfsName)) {
        throw CommandFailure("--free-space needs a partition with a FAT32 or NTFS file system");
    }
    std::vector<std::uint8_t> transferBuffer(kTransferBufferBytes);
    FreeSpaceMap map;
    if (!BuildFreeSpaceMap(map, {context.access, context.state, context.observer}, transferBuffer)) {
        throw CommandFailure("the free-space map could not be built");
    }
    std::vector<std::uint8_t> bootSector(kSectorSize);
    if (!context.access.ReadSectors(1, bootSector.data(), 0))
        throw CommandFailure("sector 0 cannot be read");
    const ClusterRange clusters = VolumeClusterRange(bootSector);
    const std::int64_t inUse = map.CountSetBits(clusters.firstCluster, clusters.clusterCount);
    std::cout << "clusters: " << clusters.clusterCount << '\n'
              << "clusters in use: " << inUse << '\n'
              << "clusters free: " << clusters.clusterCount - inUse << '\n';
}

} // namespace

int RunInfo(const Arguments& arguments) {
    const ParsedOptions options = ParseOptions(arguments, {{"--free-space"}, {"--kind"}, 1});
    const std::optional<bool> kindIsPartition = KindIsPartition(options);
    SourceContext context;
    ChooseSource(context, options.positionals()[0], kindIsPartition);
    PrintSource(context);
    if (options.Has("--free-space"))
        PrintFreeSpace(context);
    return 0;
}

} // namespace vorthal::cli
