#include "Page.h"

namespace gallery {

std::vector<TPage>& Pages() {
    static std::vector<TPage> pages;
    return pages;
}

}  // namespace gallery
