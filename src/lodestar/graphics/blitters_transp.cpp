// The transparent span blitters at both depths, as instantiations of one body each.
#include "lodestar/graphics/blitters_transp.h"

#include "lodestar/graphics/internal/blitters_transp.h"

using std::int32_t;
using std::uint16_t;
using std::uint32_t;

void TarnBlit_BlitTransp16(uint16_t* dst, const uint16_t* src, int32_t count) {
    tarnblit::blit_transp(dst, src, count);
}
void TarnBlit_BlitTransp32(uint32_t* dst, const uint32_t* src, int32_t count) {
    tarnblit::blit_transp(dst, src, count);
}

void TarnBlit_BlitTranspMix16(uint16_t* dst, const uint16_t* a, const uint16_t* b, int32_t count) {
    tarnblit::blit_transp_mix(dst, a, b, count);
}
void TarnBlit_BlitTranspMix32(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count) {
    tarnblit::blit_transp_mix(dst, a, b, count);
}

void TarnBlit_BlitTranspQMix16(uint16_t* dst, const uint16_t* a, const uint16_t* b, int32_t count) {
    tarnblit::blit_transp_quarter(dst, a, b, count, false);
}
void TarnBlit_BlitTranspQMix32(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count) {
    tarnblit::blit_transp_quarter(dst, a, b, count, false);
}

void TarnBlit_BlitTranspQ3Mix16(uint16_t* dst, const uint16_t* a, const uint16_t* b,
                                int32_t count) {
    tarnblit::blit_transp_quarter(dst, a, b, count, true);
}
void TarnBlit_BlitTranspQ3Mix32(uint32_t* dst, const uint32_t* a, const uint32_t* b,
                                int32_t count) {
    tarnblit::blit_transp_quarter(dst, a, b, count, true);
}

void TarnBlit_BlitTranspAdd16(uint16_t* dst, const uint16_t* a, const uint16_t* b, int32_t count) {
    tarnblit::blit_transp_add(dst, a, b, count);
}
void TarnBlit_BlitTranspAdd32(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count) {
    tarnblit::blit_transp_add(dst, a, b, count);
}

void TarnBlit_BlitTranspMul16(uint16_t* dst, const uint16_t* a, const uint16_t* b, int32_t count) {
    tarnblit::blit_transp_mul(dst, a, b, count);
}
void TarnBlit_BlitTranspMul32(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count) {
    tarnblit::blit_transp_mul(dst, a, b, count);
}
