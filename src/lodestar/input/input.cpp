// The key word, key codes, mouse and wheel, and the controller list, from the raw input state.
#include "lodestar/input/input.h"

#include <array>
#include <cstring>

#include "lodestar/base/debug.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"

std::atomic<std::uint32_t> g_key_input{0};
std::uint32_t LSR_input_prevkey = 0;
std::atomic<std::uint32_t> LSR_input_prevkeycode{0};
std::int32_t g_mouse_w = 0, g_mouse_h = 0;
std::int32_t LSR_input_mousex = 0, LSR_input_mousey = 0, LSR_input_mousebuttons = 0;
std::int32_t LSR_input_mousez = 0, LSR_input_mousezdir = 0;
std::int32_t LSR_input_mousewidth = 0, LSR_input_mouseheight = 0;
LSR_Controller LSR_controller[8];
std::int32_t LSR_numcontrollers = 0;
std::uint32_t LSR_controllerkeys[8 * 16];

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

struct KeyBit {
    std::uint8_t virtual_key;
    std::uint32_t bit;
};

constexpr KeyBit k_key_bits[] = {
    {VK_UP, LSR_KEY_UP},
    {VK_DOWN, LSR_KEY_DOWN},
    {VK_LEFT, LSR_KEY_LEFT},
    {VK_RIGHT, LSR_KEY_RIGHT},
    {VK_SPACE, LSR_KEY_SPACE},
    {VK_CONTROL, LSR_KEY_CONTROL},
    {VK_SHIFT, LSR_KEY_SHIFT},
    {VK_MENU, LSR_KEY_ALT},
    {'X', LSR_KEY_X},
    {'C', LSR_KEY_C},
    {VK_RETURN, LSR_KEY_RETURN},
    {'1', LSR_KEY_RETURN},
    {VK_BACK, LSR_KEY_BACKSPACE},
    {'2', LSR_KEY_BACKSPACE},
    {VK_ESCAPE, LSR_KEY_ESCAPE},
};

// The keys with codes of their own; F1 to F12 follow on from LSR_KEYCODE_F1.
struct KeyCode {
    std::uint8_t virtual_key;
    std::uint32_t code;
};
constexpr KeyCode k_named_codes[] = {{VK_ESCAPE, LSR_KEYCODE_ESCAPE},
                                     {VK_UP, 0xF001},
                                     {VK_DOWN, 0xF002},
                                     {VK_LEFT, 0xF003},
                                     {VK_RIGHT, 0xF004},
                                     {VK_RETURN, 0xF010},
                                     {VK_SHIFT, 0xF011},
                                     {VK_SPACE, 0xF012},
                                     {VK_CONTROL, 0xF013},
                                     {VK_MENU, 0xF014},
                                     {VK_BACK, 0xF020},
                                     {VK_INSERT, 0xF021},
                                     {VK_DELETE, 0xF022},
                                     {VK_PRIOR, 0xF023},
                                     {VK_NEXT, 0xF024},
                                     {VK_HOME, 0xF025},
                                     {VK_END, 0xF026},
                                     {VK_CAPITAL, 0xF027},
                                     {VK_TAB, 0xF028}};

// Virtual-key code to key code: the named keys get their own codes, every other key its number.
constexpr std::array<std::uint32_t, 256> make_keycodes() {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) t[i] = i;
    for (const KeyCode& k : k_named_codes) t[k.virtual_key] = k.code;
    for (std::uint32_t f = 0; f < 12; ++f) t[VK_F1 + f] = LSR_KEYCODE_F1 + f;
    return t;
}
constexpr std::array<std::uint32_t, 256> k_keycodes = make_keycodes();
static_assert(k_keycodes[VK_F5] == 0xF034 && k_keycodes['A'] == 'A' && k_keycodes[0] == 0);

template <typename T> void store_if(T* target, T value) {
    if (target != nullptr) *target = value;
}

} // namespace

std::uint32_t LSR_input_keycode_for(std::uint32_t virtual_key) {
    return k_keycodes[virtual_key & 0xFFu];
}

std::uint32_t LSR_ll_input_get_keys() {
    std::uint32_t word = 0;
    for (const auto& k : k_key_bits)
        if (LSR_keys[k.virtual_key].load(relaxed) != 0) word |= k.bit;
    g_key_input.store(word, relaxed);
    return word;
}

void LSR_GetKeys(std::uint32_t* keys, std::uint32_t* pressed) {
    const std::uint32_t k = LSR_ll_input_get_keys();
    store_if(keys, k);
    store_if(pressed, k & ~LSR_input_prevkey);
    LSR_input_prevkey = k;
}

std::uint32_t LSR_ll_input_get_keycode() {
    return LSR_input_keycode_for(g_keycode.load(relaxed));
}

void LSR_GetKeycode(std::uint32_t* code, std::uint32_t* changed) {
    const std::uint32_t c = LSR_ll_input_get_keycode();
    store_if(code, c);
    *changed = c != LSR_input_prevkeycode.load(relaxed) ? 1u : 0u;
    LSR_input_prevkeycode.store(c, relaxed);
}

// The platform reports the pointer in client coordinates directly, which is what the window
// rectangle less the frame gives on the original platform.
void LSR_ll_input_get_mouse_pos(std::int32_t* x, std::int32_t* y, std::int32_t* buttons) {
    std::int32_t px = 0, py = 0;
    plat_get_pointer(&px, &py);
    g_mouse_x.store(px, relaxed);
    g_mouse_y.store(py, relaxed);
    *x = px - g_mouse_xofs.load(relaxed);
    *y = py - g_mouse_yofs.load(relaxed);
    *buttons = static_cast<std::int32_t>(g_mouse_buttons.load(relaxed));
}

void LSR_GetMouse(std::int32_t* x, std::int32_t* y, std::int32_t* buttons) {
    LSR_ll_input_get_mouse_pos(&LSR_input_mousex, &LSR_input_mousey, &LSR_input_mousebuttons);
    store_if(x, LSR_input_mousex);
    store_if(y, LSR_input_mousey);
    store_if(buttons, LSR_input_mousebuttons);
}

void LSR_ll_input_get_mouse_posz(std::int32_t* z, std::int32_t* zdir) {
    *z = g_mouse_z.load(relaxed);
    // Read and clear in one step, so a wheel message arriving in between is not lost.
    *zdir = g_mouse_zdir.exchange(0, relaxed);
}

void LSR_GetMouseZ(std::int32_t* z, std::int32_t* zdir) {
    LSR_ll_input_get_mouse_posz(&LSR_input_mousez, &LSR_input_mousezdir);
    store_if(z, LSR_input_mousez);
    store_if(zdir, LSR_input_mousezdir);
}

void LSR_ll_input_get_mouse_area(std::int32_t* width, std::int32_t* height) {
    *width = g_mouse_w;
    *height = g_mouse_h;
}

void LSR_GetMouseArea(std::int32_t* width, std::int32_t* height) {
    store_if(width, LSR_input_mousewidth);
    store_if(height, LSR_input_mouseheight);
}

void LSR_ll_input_getjoypad(std::int32_t* x, std::int32_t* y, std::int32_t* z, std::int32_t* r,
                            std::int32_t* buttons) {
    win32_checkjoystick(1, x, y, z, r, buttons);
}

std::int32_t LSR_ll_input_scancontrollers() {
    constexpr std::uint32_t fixed_types[3] = {LSR_CONTROLLER_KEYS, LSR_CONTROLLER_KEYCODE,
                                              LSR_CONTROLLER_MOUSE};
    for (int i = 0; i < 3; ++i) {
        auto& c = LSR_controller[i];
        c.type = fixed_types[i];
        c.x = c.y = c.z = c.r = 0;
    }
    std::int32_t n = 3;
    for (int slot = 0; slot < 4; ++slot) {
        if (win32_initjoystick() != 0) {
            auto& c = LSR_controller[n];
            c.type = LSR_CONTROLLER_JOYPAD;
            c.x = c.y = c.z = c.r = 0;
            ++n;
            _dbg_printf("joystick found, id: %d\n", slot);
        }
    }
    return n;
}

std::int32_t LSR_input_initcontrollers() {
    LSR_numcontrollers = LSR_ll_input_scancontrollers();
    return LSR_numcontrollers;
}

void LSR_input_pollcontrollers() {
    for (std::int32_t i = 0; i < LSR_numcontrollers && i < 8; ++i) {
        auto& c = LSR_controller[i];
        switch (c.type) {
        case LSR_CONTROLLER_KEYS: {
            std::uint32_t held = 0, pressed = 0;
            LSR_GetKeys(&held, &pressed);
            c.buttons = held;
            break;
        }
        case LSR_CONTROLLER_JOYPAD: {
            std::int32_t b = 0;
            LSR_ll_input_getjoypad(&c.x, &c.y, &c.z, &c.r, &b);
            c.buttons = static_cast<std::uint32_t>(b);
            break;
        }
        case LSR_CONTROLLER_KEYCODE: {
            std::uint32_t code = 0, changed = 0;
            LSR_GetKeycode(&code, &changed);
            c.buttons = code;
            break;
        }
        case LSR_CONTROLLER_MOUSE: {
            std::int32_t b = 0;
            LSR_GetMouse(&c.x, &c.y, &b);
            c.buttons = static_cast<std::uint32_t>(b);
            break;
        }
        default: break;
        }
    }
}

void LSR_SetKeyController(std::int32_t n, const std::uint32_t* keys) {
    if (n < 0 || n > 7) return; // outside the eight tables
    std::memcpy(&LSR_controllerkeys[n * 16], keys, 16 * sizeof(std::uint32_t));
}
