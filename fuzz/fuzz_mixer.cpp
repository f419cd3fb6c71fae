// Fuzzes a loaded WAV played through the mixer: a file of any bytes loaded as a sound, played at
// gains, panning, frequency and master volume from the input into output of any rate, width and
// channel count, in buffers of any length, stopped and started again on the way. Output stays in
// range, and deleting the sound and closing the mixer give back every counted byte.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_scratch.h"
#include "lodestar/lodestar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 20) return 0;
    fuzz::mount_scratch();
    fuzz::Input in(data, size);
    const std::uint8_t format = in.byte();
    const std::uint32_t rate = 4000 + in.u16();
    const std::uint32_t bits = (format & 1) != 0 ? 8 : 16;
    const std::uint32_t channels = (format & 2) != 0 ? 1 : 2;
    const std::uint8_t volume = in.byte(), panning = in.byte(), loop = in.byte() & 1;
    const std::uint32_t frequency = in.u32();
    const std::int32_t master = static_cast<std::int32_t>(in.u16()) - 0x100;
    std::uint32_t buffers[4];
    for (std::uint32_t& b : buffers) b = in.u16() % 20000;
    const std::string wav = in.rest();
    if (!fuzz::write_bytes(fuzz::scratch_dir() + "/s.wav",
                           reinterpret_cast<const std::uint8_t*>(wav.data()), wav.size()))
        return 0;

    const std::uint32_t in_use = g_mem_in_use.load();
    Soundsystem_Init(rate, 0, bits, channels);
    Soundsystem_SetMasterVolume(master);
    LSR_Sound sound;
    Soundsystem_LoadSound("s.wav", &sound);
    Soundsystem_PlaySound(&sound, loop);
    Soundsystem_SetVolume(&sound, volume);
    Soundsystem_SetPanning(&sound, panning);
    std::vector<std::uint8_t> out;
    for (std::uint32_t i = 0; i < 4; ++i) {
        if (i == 2) Soundsystem_SetFrequency(&sound, frequency);
        if (i == 3) {
            Soundsystem_StopSound(&sound);
            Soundsystem_PlaySound(&sound, loop);
        }
        out.assign(buffers[i], 0xA5);
        LSR_MixBuffers(out.data(), buffers[i]);
        if (bits == 16)
            for (std::uint32_t at = 0; at + 1 < buffers[i]; at += 2) {
                std::int16_t v;
                std::memcpy(&v, out.data() + at, 2);
                if (v < -32767) std::abort(); // the mix clips at -32767, never -32768
            }
    }
    Soundsystem_DeleteSound(&sound);
    Soundsystem_Closedown();
    if (soundsystem.numactive.load() != 0 || g_mem_in_use.load() != in_use) std::abort();
    return 0;
}
