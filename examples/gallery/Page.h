// The gallery is a set of pages, one per family of components. A page registers itself with
// a title and a function that places its examples on a parent control (about 900 x 620
// pixels) and starts whatever timers its examples need; the controls it creates are owned by
// the parent, so they go when the page is left.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/WinControl.h"

namespace gallery {

using TPageBuilder = std::function<void(kovo::TWinControl* Parent)>;

struct TPage {
    std::string Title;
    int Order;  // pages are listed by this number
    TPageBuilder Build;
};

std::vector<TPage>& Pages();

// Registers a page at program start: `static gallery::TPageRegistration reg("Meters", 30, fn);`
struct TPageRegistration {
    TPageRegistration(std::string Title, int Order, TPageBuilder Build) {
        Pages().push_back(TPage{std::move(Title), Order, std::move(Build)});
    }
};

}  // namespace gallery
