// Helpers the sound module's files share: clearing a record, its playing defaults, and the mix
// pass guard that keeps sample data alive while the audio thread reads it.
#pragma once

#include "lodestar/sound/soundsystem.h"

namespace lsr_sound {

// Every field to zero, as a freshly made record.
void clear_record(LSR_Sound& sound);
// Not a stream; position 0, no loop; volume 255, gains and panning 128; not playing; step from
// the sound's frequency.
void set_playing_defaults(LSR_Sound& sound);
// The step for a sound of frequency Hz: (frequency * 256 * channels) / output rate, in unsigned
// 32-bit arithmetic; 0 before the mixer has an output rate.
std::uint32_t step_for(const LSR_Sound& sound, std::uint32_t frequency);

// Copies the table of playing sounds, in order, into out; returns how many. A sound found here
// has been handed over whole: everything written into it before it was played is seen.
std::int32_t playing_sounds(LSR_Sound* (&out)[LSR_MAX_ACTIVE_SOUNDS]);

// Returns once a mixing pass that may have taken a sound from the table before the call has
// ended (at once when no pass runs, or when called from inside the pass itself, i.e. from a
// stream's callback). Everything that pass read of the sound happens before the return.
void wait_out_mixing();

} // namespace lsr_sound
