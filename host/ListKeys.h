// The keys that move the current entry of a list of rows (a drop-down list, a pick list, the
// list styles of a combo box), one rule for all of them.
#pragma once

#include "host/Messages.h"

namespace kovo {

// Where Key moves the current entry Index (-1: none) of a list of Count entries, Page of
// which are shown at once: Up and Down by one, PageUp and PageDown by Page, Home and End to
// the ends, always inside 0..Count-1 (-1 when the list is empty). False, Target untouched, for
// any other key.
bool ListKeyTarget(WORD Key, int Index, int Count, int Page, int& Target);

}  // namespace kovo
