#include "SdlKeys.h"

namespace platform_detail {

namespace {
struct KeyPair {
  SDL_Keycode Sdl;
  UINT Vk;
};

constexpr KeyPair Named[] = {
    {SDLK_BACKSPACE, VK_BACK},      {SDLK_TAB, VK_TAB},           {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},     {SDLK_ESCAPE, VK_ESCAPE},     {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},        {SDLK_PAGEDOWN, VK_NEXT},     {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},           {SDLK_LEFT, VK_LEFT},         {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},         {SDLK_DOWN, VK_DOWN},         {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},       {SDLK_PAUSE, VK_PAUSE},       {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_PRINTSCREEN, VK_SNAPSHOT}, {SDLK_LSHIFT, VK_SHIFT},     {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},       {SDLK_RCTRL, VK_CONTROL},     {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},           {SDLK_LGUI, VK_LWIN},         {SDLK_RGUI, VK_RWIN},
    {SDLK_APPLICATION, VK_APPS},    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK}, {SDLK_SCROLLLOCK, VK_SCROLL},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY}, {SDLK_KP_PLUS, VK_ADD},      {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, VK_DECIMAL},   {SDLK_KP_DIVIDE, VK_DIVIDE},  {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_EQUALS, VK_OEM_PLUS},     {SDLK_COMMA, VK_OEM_COMMA},   {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},   {SDLK_SLASH, VK_OEM_2},       {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},   {SDLK_BACKSLASH, VK_OEM_5},   {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
};

UINT FunctionKey(SDL_Keycode Sym) {
  if (Sym >= SDLK_F1 && Sym <= SDLK_F12) return VK_F1 + (Sym - SDLK_F1);
  if (Sym >= SDLK_F13 && Sym <= SDLK_F24) return VK_F1 + 12 + (Sym - SDLK_F13);
  return 0;
}

UINT KeypadDigit(SDL_Keycode Sym) {
  if (Sym >= SDLK_KP_1 && Sym <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (Sym - SDLK_KP_1);
  if (Sym == SDLK_KP_0) return VK_NUMPAD0;
  return 0;
}

// Where the layout's key gives no Latin letter or digit, the key's position does.
UINT ByPosition(SDL_Scancode Code) {
  if (Code >= SDL_SCANCODE_A && Code <= SDL_SCANCODE_Z) return 'A' + (Code - SDL_SCANCODE_A);
  if (Code >= SDL_SCANCODE_1 && Code <= SDL_SCANCODE_9) return '1' + (Code - SDL_SCANCODE_1);
  if (Code == SDL_SCANCODE_0) return '0';
  return 0;
}
} // namespace

UINT VirtualKeyOf(const SDL_Keysym &Key) {
  const SDL_Keycode Sym = Key.sym;
  if (Sym >= SDLK_a && Sym <= SDLK_z) return 'A' + (Sym - SDLK_a);
  if (Sym >= SDLK_0 && Sym <= SDLK_9) return '0' + (Sym - SDLK_0);
  if (const UINT F = FunctionKey(Sym)) return F;
  if (const UINT D = KeypadDigit(Sym)) return D;
  for (const KeyPair &P : Named) {
    if (P.Sdl == Sym) return P.Vk;
  }
  return ByPosition(Key.scancode);
}

bool IsExtendedKey(const SDL_Keysym &Key) {
  switch (Key.sym) {
  case SDLK_KP_ENTER: case SDLK_RCTRL: case SDLK_RALT: case SDLK_INSERT: case SDLK_DELETE:
  case SDLK_HOME: case SDLK_END: case SDLK_PAGEUP: case SDLK_PAGEDOWN: case SDLK_LEFT:
  case SDLK_RIGHT: case SDLK_UP: case SDLK_DOWN: case SDLK_KP_DIVIDE: case SDLK_NUMLOCKCLEAR:
  case SDLK_LGUI: case SDLK_RGUI: case SDLK_APPLICATION: case SDLK_PRINTSCREEN:
    return true;
  default:
    return false;
  }
}

} // namespace platform_detail
