#include "host/ListKeys.h"

#include <algorithm>

#include "host/Messages.h"

namespace kovo {

bool ListKeyTarget(WORD Key, int Index, int Count, int Page, int& Target) {
    const int last = Count - 1;
    int i;
    switch (Key) {
        case VK_UP:
            i = Index - 1;
            break;
        case VK_DOWN:
            i = Index + 1;
            break;
        case VK_PRIOR:
            i = Index - Page;
            break;
        case VK_NEXT:
            i = std::max(0, Index) + Page;
            break;
        case VK_HOME:
            i = 0;
            break;
        case VK_END:
            i = last;
            break;
        default:
            return false;
    }
    Target = Count > 0 ? std::clamp(i, 0, last) : -1;
    return true;
}

}  // namespace kovo
