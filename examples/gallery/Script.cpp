#include "Script.h"

#include <sstream>

#include "host/Exceptions.h"
#include "host/SysUtils.h"

using namespace kovo;

namespace gallery {

namespace {

WORD KeyByName(const std::string& name) {
    std::string n = LowerCase(name);
    if (n.size() == 1 && std::isalnum(static_cast<unsigned char>(n[0])))
        return WORD(std::toupper(static_cast<unsigned char>(n[0])));
    static const struct {
        const char* name;
        WORD key;
    } keys[] = {{"enter", VK_RETURN},   {"return", VK_RETURN}, {"tab", VK_TAB},
                {"esc", VK_ESCAPE},     {"escape", VK_ESCAPE}, {"back", VK_BACK},
                {"backspace", VK_BACK}, {"delete", VK_DELETE}, {"insert", VK_INSERT},
                {"left", VK_LEFT},      {"right", VK_RIGHT},   {"up", VK_UP},
                {"down", VK_DOWN},      {"home", VK_HOME},     {"end", VK_END},
                {"pageup", VK_PRIOR},   {"pagedown", VK_NEXT}, {"space", VK_SPACE}};
    for (const auto& k : keys)
        if (n == k.name) return k.key;
    if (n.size() >= 2 && n[0] == 'f') {
        int f = 0;
        if (TryStrToInt(n.substr(1), f) && f >= 1 && f <= 12) return WORD(VK_F1 + f - 1);
    }
    return 0;
}

}  // namespace

std::vector<TScriptStep> ParseScript(const std::string& Text) {
    std::vector<TScriptStep> steps;
    std::istringstream in(Text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        auto fail = [&] {
            throw EConvertError("Script line " + std::to_string(number) +
                                " is not understood: " + trimmed);
        };
        std::istringstream words(trimmed);
        std::string verb;
        words >> verb;
        verb = LowerCase(verb);
        std::string rest;
        std::getline(words, rest);
        rest = Trim(rest);
        std::istringstream args(rest);
        auto number_arg = [&](int& v) {
            std::string w;
            if (!(args >> w) || !TryStrToInt(w, v)) fail();
        };
        TScriptStep s;
        if (verb == "page") {
            s.kind = TScriptStep::Page;
            s.text = rest;
            if (rest.empty()) fail();
        } else if (verb == "click" || verb == "move") {
            s.kind = verb == "click" ? TScriptStep::Click : TScriptStep::Move;
            number_arg(s.x);
            number_arg(s.y);
            std::string b;
            if (args >> b) {
                if (s.kind != TScriptStep::Click || LowerCase(b) != "right") fail();
                s.button = mbRight;
            }
        } else if (verb == "drag") {
            s.kind = TScriptStep::Drag;
            number_arg(s.x);
            number_arg(s.y);
            number_arg(s.x2);
            number_arg(s.y2);
        } else if (verb == "type") {
            s.kind = TScriptStep::Type;
            s.text = rest;
        } else if (verb == "key") {
            s.kind = TScriptStep::Key;
            std::string name;
            if (!(args >> name)) fail();
            s.key = KeyByName(name);
            if (!s.key) fail();
            std::string mod;
            while (args >> mod) {
                mod = LowerCase(mod);
                if (mod == "shift")
                    s.shift.Include(ssShift);
                else if (mod == "ctrl")
                    s.shift.Include(ssCtrl);
                else if (mod == "alt")
                    s.shift.Include(ssAlt);
                else
                    fail();
            }
        } else if (verb == "wait") {
            s.kind = TScriptStep::Wait;
            number_arg(s.ms);
            if (s.ms < 0 || s.ms > 3600000) fail();
        } else {
            fail();
        }
        steps.push_back(std::move(s));
    }
    return steps;
}

}  // namespace gallery
