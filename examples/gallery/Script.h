// A replayable list of input steps for the gallery, one step per line:
//   page <title>            show the page with that title
//   click <x> <y> [right]   a click at a point of the gallery window
//   move <x> <y>            the mouse moves there
//   drag <x1> <y1> <x2> <y2> press at the first point, move, release at the second
//   type <text>             the rest of the line as typed text
//   key <name> [shift] [ctrl] [alt]   a key: a letter or digit, or Enter, Tab, Esc, Back,
//                           Delete, Left, Right, Up, Down, Home, End, PageUp, PageDown, F1..F12
//   wait <milliseconds>     time passes (timers run)
// Blank lines and lines starting with # are skipped.
#pragma once

#include <string>
#include <vector>

#include "host/Messages.h"

namespace gallery {

struct TScriptStep {
    enum Kind { Page, Click, Move, Drag, Type, Key, Wait } kind = Wait;
    std::string text;  // page title or typed text
    int x = 0, y = 0, x2 = 0, y2 = 0;
    kovo::TMouseButton button = kovo::mbLeft;
    kovo::WORD key = 0;
    kovo::TShiftState shift;
    int ms = 0;
};

// Reads a script; a line it does not understand raises EConvertError naming the line.
std::vector<TScriptStep> ParseScript(const std::string& Text);

}  // namespace gallery
