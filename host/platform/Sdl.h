// The SDL2 backend: a real window per shown form, the desktop's mouse, keyboard, clipboard
// and clock. Built only when SDL2 is present (target kovo_host_sdl).
#pragma once

#include <string>

namespace kovo {

// Starts SDL's video and installs the SDL2 backend. False (and the headless backend stays)
// when no display can be opened; Reason then says why.
bool UseSdlBackend(std::string* Reason = nullptr);

}  // namespace kovo
