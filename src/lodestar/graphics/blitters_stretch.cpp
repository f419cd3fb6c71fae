// The stretch, shade and texture span blitters at both depths, one body each.
#include "lodestar/graphics/blitters_stretch.h"

#include "lodestar/graphics/internal/blitters_stretch.h"

using std::int32_t;
using std::uint16_t;
using std::uint32_t;

namespace {

// Coordinates travel as unsigned words so that stepping wraps instead of overflowing.
constexpr uint32_t word(int32_t value) {
    return static_cast<uint32_t>(value);
}

} // namespace

void TarnBlit_BlitStretch16(uint16_t* dst, const uint16_t* src, int32_t count, int32_t x,
                            int32_t xstep) {
    tarnblit::stretch(dst, src, count, x, xstep);
}
void TarnBlit_BlitStretch32(uint32_t* dst, const uint32_t* src, int32_t count, int32_t x,
                            int32_t xstep) {
    tarnblit::stretch(dst, src, count, x, xstep);
}
void TarnBlit_BlitTranspStretch32(uint32_t* dst, const uint32_t* src, int32_t count, int32_t x,
                                  int32_t xstep) {
    tarnblit::stretch<uint32_t, true>(dst, src, count, x, xstep);
}

void TarnBlit_BlitBiLinearStretch16(uint16_t* dst, const uint16_t* src, int32_t count,
                                    int32_t rowstep, int32_t x, int32_t y, int32_t xstep,
                                    int32_t width) {
    tarnblit::bilinear_stretch(dst, src, count, rowstep, x, y, xstep, width);
}
void TarnBlit_BlitBiLinearStretch32(uint32_t* dst, const uint32_t* src, int32_t count,
                                    int32_t rowstep, int32_t x, int32_t y, int32_t xstep,
                                    int32_t width) {
    tarnblit::bilinear_stretch(dst, src, count, rowstep, x, y, xstep, width);
}

void TarnBlit_BlitFillShade16(uint16_t* dst, int32_t count, int32_t shade, int32_t step) {
    tarnblit::fill_shade(dst, count, word(shade), word(step));
}
void TarnBlit_BlitFillShade32(uint32_t* dst, int32_t count, int32_t shade, int32_t step) {
    tarnblit::fill_shade(dst, count, word(shade), word(step));
}

void TarnBlit_BlitFillTexture16(uint16_t* dst, const uint16_t* texture, int32_t count, int32_t u,
                                int32_t v, int32_t du, int32_t dv) {
    tarnblit::fill_texture(dst, tarnblit::GridTexture<uint16_t>{texture}, count, word(u), word(v),
                           word(du), word(dv));
}
void TarnBlit_BlitFillTexture32(uint32_t* dst, const uint32_t* texture, int32_t count, int32_t u,
                                int32_t v, int32_t du, int32_t dv) {
    tarnblit::fill_texture(dst, tarnblit::GridTexture<uint32_t>{texture}, count, word(u), word(v),
                           word(du), word(dv));
}

void TarnBlit_BlitFillShadeTexture16(uint16_t* dst, const uint16_t* texture, int32_t count,
                                     int32_t u, int32_t v, int32_t s, int32_t du, int32_t dv,
                                     int32_t ds) {
    tarnblit::fill_shade_texture(dst, texture, count, word(u), word(v), word(s), word(du), word(dv),
                                 word(ds));
}
void TarnBlit_BlitFillShadeTexture32(uint32_t* dst, const uint32_t* texture, int32_t count,
                                     int32_t u, int32_t v, int32_t s, int32_t du, int32_t dv,
                                     int32_t ds) {
    tarnblit::fill_shade_texture(dst, texture, count, word(u), word(v), word(s), word(du), word(dv),
                                 word(ds));
}

void TarnBlit_BlitFillDualTexture16(uint16_t* dst, const uint16_t* texture1,
                                    const uint16_t* texture2, int32_t count, int32_t ua, int32_t va,
                                    int32_t ub, int32_t vb, int32_t dua, int32_t dva, int32_t dub,
                                    int32_t dvb) {
    tarnblit::fill_dual_texture(dst, texture1, texture2, count, word(ua), word(va), word(ub),
                                word(vb), word(dua), word(dva), word(dub), word(dvb));
}
void TarnBlit_BlitFillDualTexture32(uint32_t* dst, const uint32_t* texture1,
                                    const uint32_t* texture2, int32_t count, int32_t ua, int32_t va,
                                    int32_t ub, int32_t vb, int32_t dua, int32_t dva, int32_t dub,
                                    int32_t dvb) {
    tarnblit::fill_dual_texture(dst, texture1, texture2, count, word(ua), word(va), word(ub),
                                word(vb), word(dua), word(dva), word(dub), word(dvb));
}
