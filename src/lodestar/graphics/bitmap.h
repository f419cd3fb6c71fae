// The bitmap record and the basic bitmap operations: create, delete, copy, clear, draw, double.
#pragma once

#include <cstdint>
#include <utility>

// A picture: width by height pixels packed row after row (stride = width), in the page's depth.
// Drawing operations take it by value; create and delete take a pointer.
struct LSR_Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t size = 0;   // bytes of pixel data
    std::int32_t pixels = 0; // width * height
    void* data = nullptr;    // owned; null when the bitmap has no pixels
};

void LSR_CreateBitmap(std::int32_t width, std::int32_t height, LSR_Bitmap* bitmap);
void LSR_DeleteBitmap(LSR_Bitmap* bitmap);
void LSR_CopyBitmap(LSR_Bitmap src, LSR_Bitmap dst);
void LSR_ClearBitmap(LSR_Bitmap bitmap);
void LSR_ClearColorBitmap(LSR_Bitmap bitmap, std::uint32_t colour);
void LSR_DrawBitmap(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst);
void DrawBitmap16(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst);
void DrawBitmap32(std::int32_t x, std::int32_t y, LSR_Bitmap src, LSR_Bitmap dst);
// Modes of LSR_ScaleBitmap2x (the page's scale modes): each pixel doubled (also any mode below),
// smoothed, edges kept (the two outermost rows and columns left alone), and edges kept with a
// rule for checkerboards; any mode above draws nothing.
inline constexpr std::int32_t LSR_SCALE2X_DOUBLE = 1;
inline constexpr std::int32_t LSR_SCALE2X_SMOOTH = 2;
inline constexpr std::int32_t LSR_SCALE2X_EDGES = 3;
inline constexpr std::int32_t LSR_SCALE2X_CHECKERS = 4;
void LSR_ScaleBitmap2x(LSR_Bitmap src, LSR_Bitmap dst, std::int32_t mode);
void LSR_ScaleBitmap2x32(LSR_Bitmap src, LSR_Bitmap dst, std::int32_t mode);

namespace lsr {

// Sole owner of a bitmap: deleted when the owner goes, unless handed on with release().
class OwnedBitmap {
  public:
    OwnedBitmap() = default;
    OwnedBitmap(OwnedBitmap&& other) noexcept : bitmap_(other.release()) {}
    OwnedBitmap& operator=(OwnedBitmap&& other) noexcept {
        if (this != &other) {
            reset();
            bitmap_ = other.release();
        }
        return *this;
    }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    ~OwnedBitmap() { reset(); }

    // Width by height pixels at the page's depth, in place of what it held; without pixels when
    // the size is not one a bitmap can have.
    void create(std::int32_t width, std::int32_t height) {
        reset();
        LSR_CreateBitmap(width, height, &bitmap_);
    }
    const LSR_Bitmap& get() const { return bitmap_; }
    // The bitmap, now the caller's to delete.
    LSR_Bitmap release() { return std::exchange(bitmap_, LSR_Bitmap{}); }
    void reset() {
        LSR_DeleteBitmap(&bitmap_);
        bitmap_ = LSR_Bitmap{};
    }

  private:
    LSR_Bitmap bitmap_;
};

} // namespace lsr
