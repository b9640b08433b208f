// Any file in place of Morvane_world.dat loads or fails cleanly.
#include "core/gnss/WorldOutline.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ulv::WorldOutline outline;
    const bool ok = outline.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size), 400, 270);
    if (!ok && outline.PolygonCount() != 0)
        __builtin_trap();
    if (outline.PolygonCount() > ulv::WorldOutline::kMaxPolygons)
        __builtin_trap();
    return 0;
}
