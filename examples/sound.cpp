// Sound: a note made sample by sample, written to a WAV file and loaded back through the file
// layer, played with its volume, panning and frequency set by keys; beside it a stream whose
// refill callback makes a hum. Keys: space plays the note, up and down its volume, left and right
// its panning, x and c its frequency, return the hum on or off. Runs until its window is closed.
#include <lodestar/lodestar.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace {

constexpr std::uint32_t k_rate = 22050, k_note_samples = 11025; // half a second
LSR_Sound g_note, g_hum;
LSR_Font g_font;
std::int32_t g_volume = 200, g_panning = 128, g_frequency = k_rate;
bool g_humming = false;
std::uint32_t g_hum_phase = 0; // the audio thread's alone

std::int32_t sine(std::uint32_t degrees) {
    return -bitmaprotate_sincos[degrees % 360];
}

// The stream's refill, on the audio thread: a low hum going on where the last block ended.
void hum(void* data, std::uint32_t size) {
    auto* samples = static_cast<std::int16_t*>(data);
    for (std::uint32_t i = 0; i < size / 2; ++i, g_hum_phase += 3)
        samples[i] = static_cast<std::int16_t>(sine(g_hum_phase) / 6 + sine(g_hum_phase * 2) / 12);
}

void bar(LSR_Bitmap page, std::int32_t y, std::int32_t filled, std::uint32_t colour) {
    LSR_DrawBox(40, y, 514, 14, 0xFF808080, page);
    LSR_DrawFilledBox(41, y + 1, filled, 12, colour, page);
}

} // namespace

void sound_start() {
    Soundsystem_Init(44100, 0, 16, 2);
    // A plucked note, 16-bit mono: a stream record without a callback is a block of samples.
    LSR_Sound made;
    Soundsystem_CreateSoundStream(&made, nullptr, k_rate, 16, 1, k_note_samples);
    auto* samples = static_cast<std::int16_t*>(made.data.load());
    for (std::uint32_t i = 0; i < k_note_samples; ++i) {
        const std::int32_t wave = sine(i * 7) / 2 + sine(i * 14) / 4; // about 430 Hz
        samples[i] =
            static_cast<std::int16_t>(wave * static_cast<std::int32_t>(k_note_samples - i) /
                                      static_cast<std::int32_t>(k_note_samples));
    }
    // Written as a WAV file into a directory of its own under the temporary one (a directory
    // mount walks everything below it), and loaded back from there.
    const std::filesystem::path directory =
        std::filesystem::temp_directory_path() / "lodestar-sound";
    std::filesystem::create_directories(directory);
    tarnfile_mountimage(directory.string().c_str(), TARNFILE_DIRECTORY);
    Soundsystem_SaveWAV("note.wav", &made);
    Soundsystem_DeleteSound(&made);
    Soundsystem_LoadSound("note.wav", &g_note);

    Soundsystem_CreateSoundStream(&g_hum, hum, k_rate, 16, 1, 2048);
    Soundsystem_SetVolume(&g_hum, 90);
    LSR_InitDefaultFont(0xFFFFFFFF, &g_font);
    LSR_SetFontSpacing(4, &g_font);
}

// One frame of the scene; lodestar-demo draws it too.
void sound_frame(LSR_Bitmap page, std::int32_t, std::uint32_t keys, std::uint32_t pressed) {
    if (keys & LSR_KEY_UP) g_volume = std::min(g_volume + 4, 255);
    if (keys & LSR_KEY_DOWN) g_volume = std::max(g_volume - 4, 0);
    if (keys & LSR_KEY_LEFT) g_panning = std::max(g_panning - 4, 0);
    if (keys & LSR_KEY_RIGHT) g_panning = std::min(g_panning + 4, 255);
    if (keys & LSR_KEY_X) g_frequency = std::max(g_frequency - 200, 4000);
    if (keys & LSR_KEY_C) g_frequency = std::min(g_frequency + 200, 88200);
    Soundsystem_SetVolume(&g_note, g_volume);
    Soundsystem_SetPanning(&g_note, g_panning);
    Soundsystem_SetFrequency(&g_note, static_cast<std::uint32_t>(g_frequency));
    if (pressed & LSR_KEY_SPACE) Soundsystem_PlaySound(&g_note, 0);
    if (pressed & LSR_KEY_RETURN) {
        g_humming = !g_humming;
        g_humming ? Soundsystem_PlaySound(&g_hum, 1) : Soundsystem_StopSound(&g_hum);
    }

    LSR_ClearColorBitmap(page, 0xFF101820);
    // The note as loaded from its file, with a mark where the mixer is reading it.
    const auto* samples = static_cast<const std::int16_t*>(g_note.data.load());
    const auto length = static_cast<std::int32_t>(g_note.length.load());
    LSR_DrawHLine(40, 599, 140, 0xFF304050, page);
    for (std::int32_t x = 0; samples != nullptr && x < 559; ++x) {
        const std::int32_t a = samples[x * length / 560], b = samples[(x + 1) * length / 560];
        LSR_DrawLine(40 + x, 140 - a / 300, 41 + x, 140 - b / 300, 0xFF60E0A0, page);
    }
    const auto read = static_cast<std::int32_t>(g_note.position.load() >> 8);
    if (g_note.playing.load() != 0 && length > 0)
        LSR_DrawVLine(40 + read * 560 / length, 30, 250, 0xFFFFFFFF, page);
    LSR_DrawText(40, 20, g_font, page, "note.wav: %d samples at %u Hz, %u bits", length,
                 g_note.frequency.load(), static_cast<unsigned>(g_note.bits.load()));

    LSR_DrawText(40, 280, g_font, page, "volume %d (up, down)", g_volume);
    bar(page, 296, g_volume * 2, 0xFF40A0FF);
    LSR_DrawText(40, 330, g_font, page, "panning %d (left, right)", g_panning);
    bar(page, 346, 512, 0xFF203040);
    LSR_DrawFilledBox(38 + g_panning * 2, 344, 6, 18, 0xFFFFC040, page);
    LSR_DrawText(40, 380, g_font, page, "frequency %d Hz (x, c)", g_frequency);
    bar(page, 396, g_frequency * 512 / 88200, 0xFFFF6060);
    LSR_DrawText(40, 440, g_font, page, "space plays the note; return: hum %s",
                 g_humming ? "on" : "off");
}

int tarnmain() {
    LSR_SetTitle("Lodestar example: sound");
    LSR_InitVideo(640, 480, 32, 0);
    sound_start();
    for (std::int32_t frame = 0;; ++frame) {
        LSR_WaitRefresh();
        std::uint32_t keys = 0, pressed = 0;
        LSR_GetKeys(&keys, &pressed);
        sound_frame(LSR_screenbitmap, frame, keys, pressed);
        LSR_SwapBuffers();
    }
}
