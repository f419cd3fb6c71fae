// Fuzzes the archive reader: any file is refused with nothing mounted, or mounted with entries
// that open and read within the archive, and closed without a leak.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz_scratch.h"
#include "lodestar/lodestar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 20) return 0;
    static const std::string path = "/tmp/fuzz-archive-" + std::to_string(getpid()) + ".tarn";
    if (!fuzz::write_bytes(path, data, size)) return 0;

    const std::uint32_t in_use = g_mem_in_use.load();
    if (tarnfile_mountimage(path.c_str(), TARNFILE_ARCHIVE) == 0) {
        if (tarnfile_image.numfiles != 0 || g_mem_in_use.load() != in_use) std::abort();
    } else {
        if (tarnfile_image.romsize > size) std::abort();
        char buffer[64];
        for (std::uint32_t i = 0; i < tarnfile_image.numfiles && i < 64; ++i) {
            TarnFileHandle handle;
            if (tarnfile_open(tarnfile_image.names[i], &handle, 0) == 0) continue;
            if (handle.size > tarnfile_image.romsize) std::abort();
            tarnfile_read(buffer, 1, sizeof buffer, &handle);
            tarnfile_seek(&handle, static_cast<std::int32_t>(handle.size / 2), 0);
            tarnfile_read(buffer, 1, sizeof buffer, &handle);
            tarnfile_close(&handle);
        }
        tarnfile_closeimage();
        if (g_mem_in_use.load() != in_use) std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
