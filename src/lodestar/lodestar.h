// The Lodestar Runtime: one header for a program that uses the whole library.
#pragma once

#include "lodestar/frame/debug.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/tarnmem.h"
#include "lodestar/frame/window.h"
#include "lodestar/graphics/bitmap.h"
#include "lodestar/graphics/blitters.h"
#include "lodestar/graphics/loadimage.h"
#include "lodestar/graphics/primitives.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/input/input.h"
#include "lodestar/sound/audio.h"
#include "lodestar/sound/loadwav.h"
#include "lodestar/sound/soundsystem.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "lodestar/video/driver.h"
#include "lodestar/video/video.h"
