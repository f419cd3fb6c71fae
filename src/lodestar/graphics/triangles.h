// Triangles: wire frames, flat, shaded and textured fills, and a perspective texture span.
#pragma once

#include <cstdint>

#include "lodestar/graphics/bitmap.h"

// A triangle corner, seven words passed by value. Only the low bytes of u, v and shade count.
// z and w are carried for the caller (a depth and a spare word); no triangle function reads them.
struct LSR_Vertex {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t u = 0; // texture column
    std::int32_t v = 0; // texture row
    std::int32_t z = 0;
    std::int32_t w = 0;
    std::int32_t shade = 0; // grey level
};

void LSR_DrawTriangleWireframe(LSR_Vertex a, LSR_Vertex b, LSR_Vertex c, std::uint32_t colour,
                               LSR_Bitmap bitmap);
void LSR_DrawTriangle(LSR_Vertex a, LSR_Vertex b, LSR_Vertex c, std::uint32_t colour,
                      LSR_Bitmap bitmap);
// Grey from the corners' shades; the bottom row and each span's right end are not drawn.
void LSR_DrawTriangleShaded(LSR_Vertex a, LSR_Vertex b, LSR_Vertex c, LSR_Bitmap bitmap);
// Mapped from LSR_texture1 (affine); the bottom row is not drawn. Nothing without a texture.
void LSR_DrawTriangleTextured(LSR_Vertex a, LSR_Vertex b, LSR_Vertex c, LSR_Bitmap bitmap);

// count pixels from a 256 by 256 texture of 32-bit texels, perspective-correct in runs of 16.
// The texel position in 16.16 is u * 65536 / z (and v * 65536 / z): a caller passes z
// proportional to the reciprocal depth and u, v as texel coordinates times z / 65536, all
// three linear across the span, with their steps per pixel.
void persptextfill_c(std::uint32_t* dst, const std::uint32_t* texture, std::int32_t count,
                     std::int32_t u, std::int32_t v, std::int32_t z, std::int32_t du,
                     std::int32_t dv, std::int32_t dz);
