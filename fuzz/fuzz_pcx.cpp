// Fuzzes the PCX reader on whole files' bytes.
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzz_image(lsr_image::decode_pcx, data, size);
}
