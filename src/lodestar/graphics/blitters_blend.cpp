// The blending span blitters at both depths, as instantiations of one body each.
#include "lodestar/graphics/blitters_blend.h"

#include "lodestar/graphics/internal/blitters_blend.h"

using std::int32_t;
using std::uint16_t;
using std::uint32_t;

void TarnBlit_BlitMix16(uint16_t* dst, const uint16_t* a, const uint16_t* b, int32_t count) {
    tarnblit::blit_mix(dst, a, b, count);
}
void TarnBlit_BlitMix32(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count) {
    tarnblit::blit_mix(dst, a, b, count);
}

void TarnBlit_BlitQMix16(uint16_t* dst, const uint16_t* a, const uint16_t* b, int32_t count) {
    tarnblit::blit_qmix(dst, a, b, count);
}
void TarnBlit_BlitQMix32(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count) {
    tarnblit::blit_qmix(dst, a, b, count);
}

void TarnBlit_BlitAdd16(uint16_t* dst, const uint16_t* a, const uint16_t* b, int32_t count) {
    tarnblit::blit_add(dst, a, b, count);
}
void TarnBlit_BlitAdd32(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count) {
    tarnblit::blit_add(dst, a, b, count);
}

void TarnBlit_BlitMul16(uint16_t* dst, const uint16_t* a, const uint16_t* b, int32_t count) {
    tarnblit::blit_mul(dst, a, b, count);
}
void TarnBlit_BlitMul32(uint32_t* dst, const uint32_t* a, const uint32_t* b, int32_t count) {
    tarnblit::blit_mul(dst, a, b, count);
}

void TarnBlit_BlitDarken16(uint16_t* dst, const uint16_t* src, int32_t count) {
    tarnblit::blit_darken(dst, src, count);
}
void TarnBlit_BlitDarken32(uint32_t* dst, const uint32_t* src, int32_t count) {
    tarnblit::blit_darken(dst, src, count);
}

void TarnBlit_BlitBrighten16(uint16_t* dst, const uint16_t* src, int32_t count) {
    tarnblit::blit_brighten(dst, src, count);
}
void TarnBlit_BlitBrighten32(uint32_t* dst, const uint32_t* src, int32_t count) {
    tarnblit::blit_brighten(dst, src, count);
}

void TarnBlit_BlitBlur16(uint16_t* dst, const uint16_t* src, int32_t up, int32_t down,
                         int32_t count) {
    tarnblit::filter_span(dst, src, up, down, count, tarnblit::Blur<uint16_t>{});
}
void TarnBlit_BlitBlur32(uint32_t* dst, const uint32_t* src, int32_t up, int32_t down,
                         int32_t count) {
    tarnblit::filter_span(dst, src, up, down, count, tarnblit::Blur<uint32_t>{});
}

void TarnBlit_BlitAntiAlias16(uint16_t* dst, const uint16_t* src, int32_t up, int32_t down,
                              int32_t count) {
    tarnblit::filter_span(dst, src, up, down, count, tarnblit::AntiAlias<uint16_t>{});
}
void TarnBlit_BlitAntiAlias32(uint32_t* dst, const uint32_t* src, int32_t up, int32_t down,
                              int32_t count) {
    tarnblit::filter_span(dst, src, up, down, count, tarnblit::AntiAlias<uint32_t>{});
}

void TarnBlit_BlitFade16(uint16_t* dst, const uint16_t* src, uint32_t level, int32_t count) {
    tarnblit::blit_fade(dst, src, level, count);
}
void TarnBlit_BlitFade32(uint32_t* dst, const uint32_t* src, uint32_t level, int32_t count) {
    tarnblit::blit_fade(dst, src, level, count);
}
void TarnBlit_BlitFade16fast(uint16_t* dst, const uint16_t* src, uint32_t level, int32_t count) {
    tarnblit::blit_fade_fast(dst, src, level, count);
}

void TarnBlit_BlitFadeWhite16(uint16_t* dst, const uint16_t* src, uint32_t level, int32_t count) {
    tarnblit::blit_fade_white(dst, src, level, count);
}
void TarnBlit_BlitFadeWhite32(uint32_t* dst, const uint32_t* src, uint32_t level, int32_t count) {
    tarnblit::blit_fade_white(dst, src, level, count);
}

void TarnBlit_BlitCrossfade16(uint16_t* dst, const uint16_t* a, const uint16_t* b, uint32_t level,
                              int32_t count) {
    tarnblit::blit_crossfade(dst, a, b, level, count);
}
void TarnBlit_BlitCrossfade32(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t level,
                              int32_t count) {
    tarnblit::blit_crossfade(dst, a, b, level, count);
}
void TarnBlit_BlitCrossfadeFast32(uint32_t* dst, const uint32_t* a, const uint32_t* b,
                                  uint32_t level, int32_t count) {
    tarnblit::blit_crossfade_fast(dst, a, b, level, count);
}

void TarnBlit_BlitAlphawipe16(uint16_t* dst, const uint16_t* a, const uint16_t* mask,
                              uint32_t level, int32_t count) {
    tarnblit::blit_alphawipe(dst, a, mask, level, count);
}
void TarnBlit_BlitAlphawipe32(uint32_t* dst, const uint32_t* a, const uint32_t* mask,
                              uint32_t level, int32_t count) {
    tarnblit::blit_alphawipe(dst, a, mask, level, count);
}
