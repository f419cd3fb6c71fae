// The Lodestar Runtime: one header for a program that uses the whole library. It includes every
// public header; the seam to the operating system (platform.h) and the headers under each
// module's internal/ folder stay inside the library.
#pragma once

// IWYU pragma: begin_exports
#include "lodestar/base/bytes.h"
#include "lodestar/base/debug.h"
#include "lodestar/base/owner.h"
#include "lodestar/base/pixel_format.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/base/version.h"
#include "lodestar/frame/init.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/bitmap_transform.h"
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/blitters_blend.h"
#include "lodestar/graphics/blitters_stretch.h"
#include "lodestar/graphics/blitters_transp.h"
#include "lodestar/graphics/effects.h"
#include "lodestar/graphics/font.h"
#include "lodestar/graphics/loadimage.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/graphics/sprite.h"
#include "lodestar/graphics/triangles.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/input/input.h"
#include "lodestar/platform_types.h"
#include "lodestar/sound/audio.h"
#include "lodestar/sound/loadwav.h"
#include "lodestar/sound/soundsystem.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "lodestar/video/video.h"
// IWYU pragma: end_exports
