#include "net/mountpoint_maps.h"

namespace corvane {

void ClearMountpoints(MountpointMap& map) { map.clear(); }

}  // namespace corvane
