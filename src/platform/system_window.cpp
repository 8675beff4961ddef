// The real-window backend of the system layer, on SDL2.  Game controllers
// come through SDL's game controller interface: SDL's own mapping database
// (built in, plus whatever SDL_GAMECONTROLLERCONFIG names) turns each known
// pad into the XInput layout; a pad plugged in or pulled out mid-game is
// taken or let go at once.
#include <SDL.h>

#include <cstdio>

#include "platform/image.h"
#include "platform/input_script.h"
#include "platform/pad.h"
#include "platform/system_backend.h"

namespace sys::detail {
namespace {
SDL_Window* gWindow = nullptr;

// --- game controllers -------------------------------------------------------------
bool gControllersUp = false;  // SDL_INIT_GAMECONTROLLER started
// The controller open in each slot and its joystick instance id.
SDL_GameController* gPads[PAD_SLOT_COUNT] = {};
SDL_JoystickID gPadIds[PAD_SLOT_COUNT] = {-1, -1, -1, -1};

int SlotOf(SDL_JoystickID id)
{
    for (int k = 0; k < static_cast<int>(PAD_SLOT_COUNT); ++k)
        if (gPads[k] && gPadIds[k] == id) return k;
    return -1;
}

// A controller device (an index of SDL's device list) into the lowest free
// slot; one already open, or one more than four, is left alone.
void OpenPad(int deviceIndex)
{
    if (!SDL_IsGameController(deviceIndex)) return;
    if (SlotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0 || FreePadSlot() < 0) return;
    SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
    if (!c) {
        std::fprintf(stderr, "varnok: a game controller cannot be opened (%s)\n", SDL_GetError());
        return;
    }
    const int slot = PlugInPad();
    gPads[slot] = c;
    gPadIds[slot] = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
}

void ClosePad(int slot)
{
    if (slot < 0) return;
    SDL_GameControllerClose(gPads[slot]);
    gPads[slot] = nullptr;
    gPadIds[slot] = -1;
    SetPadConnected(slot, false);  // lets go of whatever it held
}

int PadBit(Uint8 button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PAD_A;
    case SDL_CONTROLLER_BUTTON_B: return PAD_B;
    case SDL_CONTROLLER_BUTTON_X: return PAD_X;
    case SDL_CONTROLLER_BUTTON_Y: return PAD_Y;
    case SDL_CONTROLLER_BUTTON_BACK: return PAD_BACK;
    case SDL_CONTROLLER_BUTTON_START: return PAD_START;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return PAD_LEFT_THUMB;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return PAD_RIGHT_THUMB;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PAD_LEFT_SHOULDER;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PAD_RIGHT_SHOULDER;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PAD_DPAD_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PAD_DPAD_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PAD_DPAD_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PAD_DPAD_RIGHT;
    default: return 0;  // the guide button and the rest: not XInput's
    }
}

// SDL's axis value as XInput has it: sticks with Y up positive, triggers
// 0..32767 to 0..255.
void PadAxisMoved(int slot, Uint8 axis, Sint16 value)
{
    const int flipped = value == -32768 ? 32767 : -value;
    switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX: SetPadAxis(slot, static_cast<int>(PadAxis::LeftX), value); break;
    case SDL_CONTROLLER_AXIS_LEFTY: SetPadAxis(slot, static_cast<int>(PadAxis::LeftY), flipped); break;
    case SDL_CONTROLLER_AXIS_RIGHTX: SetPadAxis(slot, static_cast<int>(PadAxis::RightX), value); break;
    case SDL_CONTROLLER_AXIS_RIGHTY: SetPadAxis(slot, static_cast<int>(PadAxis::RightY), flipped); break;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT: {
        const int v = value < 0 ? 0 : value * 255 / 32767;
        SetPadAxis(slot, static_cast<int>(axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT ? PadAxis::LeftTrigger
                                                                                 : PadAxis::RightTrigger),
                   v);
        break;
    }
    default: break;
    }
}

void StartControllers()
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "varnok: no game controllers (%s); the keyboard and mouse play alone\n",
                     SDL_GetError());
        return;
    }
    gControllersUp = true;
    // The pads already plugged in arrive as SDL_CONTROLLERDEVICEADDED on the
    // first pump, in device order: the first becomes player 0.
}

// The pads are closed in SDL alone: a recording does not end with them
// pulled out (sys::Init empties the slots for the next start).
void StopControllers()
{
    for (int k = 0; k < static_cast<int>(PAD_SLOT_COUNT); ++k)
        if (gPads[k]) {
            SDL_GameControllerClose(gPads[k]);
            gPads[k] = nullptr;
            gPadIds[k] = -1;
        }
    if (gControllersUp) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    gControllersUp = false;
}

int VirtualKeyFromScancode(SDL_Scancode sc)
{
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0) return '0';
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
    switch (sc) {
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    default: return 0;
    }
}

// The window's icon: a tank-green shield with a white chevron, drawn in code.
void SetIcon(SDL_Window* w)
{
    const int n = 32;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, n, n, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return;
    auto* px = static_cast<Uint32*>(s->pixels);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int dx = x * 2 - (n - 1), dy = y * 2 - (n - 1);
            bool inside = dx * dx + dy * dy <= (n - 2) * (n - 2);
            int ax = dx < 0 ? -dx : dx;
            bool chevron = (y - 8) >= ax / 2 - 2 && (y - 8) <= ax / 2 + 4 && ax < 22;
            Uint32 c = 0x00000000;
            if (inside) c = chevron ? 0xFFF0F0E0 : 0xFF3C5A2A;
            px[y * (s->pitch / 4) + x] = c;
        }
    SDL_SetWindowIcon(w, s);
    SDL_FreeSurface(s);
}

bool Init()
{
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_MODE_WARP, "0");
    if (SDL_Init(SDL_INIT_EVENTS) != 0) return false;
    // Without controllers the game still runs on the keyboard and mouse.
    StartControllers();
    return true;
}

void Shutdown()
{
    StopControllers();
    if (gWindow) SDL_DestroyWindow(gWindow);
    gWindow = nullptr;
    SDL_Quit();
}

bool CreateWindow(const WindowDesc& d)
{
    // X11 takes the window class from the environment when video starts.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", d.className, 1);
    bool haveDisplay = SDL_getenv("DISPLAY") || SDL_getenv("WAYLAND_DISPLAY") || SDL_getenv("SDL_VIDEODRIVER");
    if (!haveDisplay) SDL_SetError("no display found");
    bool started = haveDisplay && SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    // Without a display SDL falls back to drawing nowhere; nobody would see
    // the game, so that counts as no display unless asked for by name.
    const char* driver = started ? SDL_GetCurrentVideoDriver() : nullptr;
    if (started && !SDL_getenv("SDL_VIDEODRIVER") && driver &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("no display found");
        started = false;
    }
    if (!started) {
        std::fprintf(stderr,
                     "varnok: no window can be opened here (%s).\n"
                     "        Start it on a desktop, or watch the headless demo: varnok --headless\n",
                     SDL_GetError());
        return false;
    }
    Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_OPENGL;
    if (d.fullScreen) flags |= SDL_WINDOW_FULLSCREEN;
    gWindow = SDL_CreateWindow(d.title, 0, 0, d.width, d.height, flags);
    if (!gWindow) {
        // A display without OpenGL still gets its window; the graphics device
        // reports what it cannot do.
        flags &= ~SDL_WINDOW_OPENGL;
        gWindow = SDL_CreateWindow(d.title, 0, 0, d.width, d.height, flags);
    }
    if (!gWindow) {
        std::fprintf(stderr, "varnok: the window cannot be created (%s)\n", SDL_GetError());
        return false;
    }
    SetIcon(gWindow);
    SDL_RaiseWindow(gWindow);
    return true;
}

bool SetClientSize(int w, int h, bool fullScreen)
{
    if (!gWindow) return false;
    if (fullScreen) {
        // Full screen takes the display's smallest mode at least this large
        // and the picture is stretched over it; a display without one cannot
        // show the game full screen at this size.
        int display = SDL_GetWindowDisplayIndex(gWindow);
        SDL_DisplayMode want{}, mode{};
        want.w = w;
        want.h = h;
        if (display < 0 || !SDL_GetClosestDisplayMode(display, &want, &mode)) return false;
        Uint32 was = SDL_GetWindowFlags(gWindow) & SDL_WINDOW_FULLSCREEN;
        if (SDL_SetWindowDisplayMode(gWindow, &mode) != 0 ||
            SDL_SetWindowFullscreen(gWindow, SDL_WINDOW_FULLSCREEN) != 0) {
            std::fprintf(stderr, "varnok: full screen at %d x %d refused (%s)\n", w, h, SDL_GetError());
            SDL_SetWindowFullscreen(gWindow, was);
            return false;
        }
    } else {
        if (SDL_SetWindowFullscreen(gWindow, 0) != 0) {
            std::fprintf(stderr, "varnok: the window cannot leave full screen (%s)\n", SDL_GetError());
            return false;
        }
        SDL_SetWindowSize(gWindow, w, h);
    }
    SDL_ShowWindow(gWindow);
    return true;
}

// The window's pixels against the back buffer's: a full-screen mode larger
// than the back buffer stretches the picture, and the cursor with it.
void WindowToClient(int* x, int* y)
{
    int ww = 0, wh = 0;
    SDL_GetWindowSize(gWindow, &ww, &wh);
    if (ww > 0 && wh > 0 && (ww != ClientWidth() || wh != ClientHeight())) {
        *x = static_cast<int>(static_cast<long long>(*x) * ClientWidth() / ww);
        *y = static_cast<int>(static_cast<long long>(*y) * ClientHeight() / wh);
    }
}

void ClientToWindow(int* x, int* y)
{
    int ww = 0, wh = 0;
    SDL_GetWindowSize(gWindow, &ww, &wh);
    if (ww > 0 && wh > 0 && ClientWidth() > 0 && ClientHeight() > 0 &&
        (ww != ClientWidth() || wh != ClientHeight())) {
        *x = static_cast<int>(static_cast<long long>(*x) * ww / ClientWidth());
        *y = static_cast<int>(static_cast<long long>(*y) * wh / ClientHeight());
    }
}

void* NativeWindow() { return gWindow; }

void HideWindow()
{
    if (gWindow) SDL_HideWindow(gWindow);
}

int ButtonVk(Uint8 b) { return b == SDL_BUTTON_LEFT ? VK_LBUTTON : b == SDL_BUTTON_RIGHT ? VK_RBUTTON : 0; }

void PumpEvents()
{
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT:
            PostMessage(MSG_CLOSE, 0);
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) PostMessage(MSG_CLOSE, 0);
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                ClearDeviceKeys();
                ReleasePadInputs();
            }
            break;
        case SDL_CONTROLLERDEVICEADDED:
            OpenPad(e.cdevice.which);  // a device index
            break;
        case SDL_JOYDEVICEADDED:
            // A joystick without a mapping cannot be read as a pad.
            if (!SDL_IsGameController(e.jdevice.which))
                std::fprintf(stderr,
                             "varnok: '%s' is not a game controller SDL knows; SDL_GAMECONTROLLERCONFIG can "
                             "map it\n",
                             SDL_JoystickNameForIndex(e.jdevice.which) ? SDL_JoystickNameForIndex(e.jdevice.which)
                                                                       : "a joystick");
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            ClosePad(SlotOf(e.cdevice.which));  // an instance id
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const int slot = SlotOf(e.cbutton.which), bit = PadBit(e.cbutton.button);
            if (slot >= 0 && bit) SetPadButton(slot, bit, e.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        }
        case SDL_CONTROLLERAXISMOTION: {
            const int slot = SlotOf(e.caxis.which);
            if (slot >= 0) PadAxisMoved(slot, e.caxis.axis, e.caxis.value);
            break;
        }
        case SDL_KEYDOWN: {
            int vk = VirtualKeyFromScancode(e.key.keysym.scancode);
            if (vk) {
                SetDeviceKey(vk, true);
                PostMessage(MSG_KEYDOWN, static_cast<uint32_t>(vk));
            }
            break;
        }
        case SDL_KEYUP:
            SetDeviceKey(VirtualKeyFromScancode(e.key.keysym.scancode), false);
            break;
        case SDL_MOUSEMOTION:
            if (CursorHidden()) CursorMovedBy(e.motion.xrel, e.motion.yrel);
            else {
                int x = e.motion.x, y = e.motion.y;
                WindowToClient(&x, &y);
                CursorMovedTo(x, y);
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            SetDeviceKey(ButtonVk(e.button.button), true);
            break;
        case SDL_MOUSEBUTTONUP:
            SetDeviceKey(ButtonVk(e.button.button), false);
            break;
        default:
            break;
        }
    }
}

void WarpCursor(int x, int y)
{
    if (!gWindow || !(SDL_GetWindowFlags(gWindow) & SDL_WINDOW_INPUT_FOCUS)) return;
    ClientToWindow(&x, &y);
    SDL_WarpMouseInWindow(gWindow, x, y);
}

void SetRelativeMouse(bool relative) { SDL_SetRelativeMouseMode(relative ? SDL_TRUE : SDL_FALSE); }

void ShowMessageBox(const char* text, const char* caption, unsigned style)
{
    Uint32 flags = (style & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(flags, caption, text, gWindow) != 0) PrintMessageBox(text, caption);
}
}  // namespace

const SystemBackend kWindowBackend = {
    "window",     Init,        Shutdown,         CreateWindow,     SetClientSize, NativeWindow,
    HideWindow,   PumpEvents,  WarpCursor,       SetRelativeMouse, ShowMessageBox,
};

}  // namespace sys::detail

namespace sys {
bool SetWindowIcon(const char* path, std::string* error)
{
    if (!detail::gWindow) return true;
    Image icon;
    if (!ReadImageFile(path, &icon, error)) return false;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        icon.argb.data(), static_cast<int>(icon.width), static_cast<int>(icon.height), 32,
        static_cast<int>(icon.width * 4), SDL_PIXELFORMAT_ARGB8888);
    if (!surface) {
        if (error) *error = std::string(path) + ": " + SDL_GetError();
        return false;
    }
    SDL_SetWindowIcon(detail::gWindow, surface);
    SDL_FreeSurface(surface);
    return true;
}
}  // namespace sys
