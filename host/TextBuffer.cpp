#include "host/TextBuffer.h"

#include <algorithm>
#include <cwctype>

#include "host/SysUtils.h"

namespace kovo {

bool IsBlankChar(char32_t C) {
    return C == U' ' || C == U'\t' || C == U'\n' || C == U'\r' || C == 0xA0;
}

bool IsWordChar(char32_t C) {
    if (C == U'_') return true;
    if (C < 0x80) return std::iswalnum(wint_t(C)) != 0;
    // Everything beyond ASCII but blanks and general punctuation counts as a letter, so
    // that words of any script hold together.
    return C != 0xA0 && !(C >= 0x2000 && C <= 0x206F) && !(C >= 0x3000 && C <= 0x303F);
}

std::string TTextBuffer::Text() const {
    return Utf8Encode(FChars);
}

int TTextBuffer::Clamp(int Pos) const {
    return std::clamp(Pos, 0, Length());
}

bool TTextBuffer::SetText(const std::u32string& Value) {
    bool changed = Value != FChars;
    if (changed) SaveUndo();
    FChars = Value;
    FCaret = Clamp(FCaret);
    FAnchor = FCaret;
    return changed;
}

void TTextBuffer::Select(int AnchorPos, int CaretPos) {
    FAnchor = Clamp(AnchorPos);
    FCaret = Clamp(CaretPos);
}

void TTextBuffer::MoveCaret(int Pos, bool Extend) {
    FCaret = Clamp(Pos);
    if (!Extend) FAnchor = FCaret;
}

void TTextBuffer::SaveUndo() {
    FUndoChars = FChars;
    FUndoAnchor = FAnchor;
    FUndoCaret = FCaret;
    FCanUndo = true;
}

bool TTextBuffer::ReplaceSelection(const std::u32string& S, int MaxLength) {
    int start = SelStart(), len = SelLength();
    std::u32string insert = S;
    if (MaxLength > 0) {
        int room = std::max(0, MaxLength - (Length() - len));
        if (int(insert.size()) > room) insert.resize(size_t(room));
    }
    if (len == 0 && insert.empty()) return false;
    if (insert == FChars.substr(size_t(start), size_t(len))) {
        FAnchor = FCaret = start + int(insert.size());
        return false;
    }
    SaveUndo();
    FChars.replace(size_t(start), size_t(len), insert);
    FAnchor = FCaret = start + int(insert.size());
    return true;
}

bool TTextBuffer::DeleteBackward() {
    if (!HasSelection()) {
        if (FCaret == 0) return false;
        FAnchor = FCaret - 1;
    }
    return ReplaceSelection({});
}

bool TTextBuffer::DeleteForward() {
    if (!HasSelection()) {
        if (FCaret >= Length()) return false;
        FAnchor = FCaret + 1;
    }
    return ReplaceSelection({});
}

int TTextBuffer::PrevWordStart(int Pos) const {
    int i = Clamp(Pos);
    while (i > 0 && IsBlankChar(FChars[size_t(i - 1)])) --i;
    if (i == 0) return 0;
    if (IsWordChar(FChars[size_t(i - 1)])) {
        while (i > 0 && IsWordChar(FChars[size_t(i - 1)])) --i;
    } else {
        --i;
    }
    return i;
}

int TTextBuffer::NextWordStart(int Pos) const {
    int n = Length(), i = Clamp(Pos);
    if (i < n && IsWordChar(FChars[size_t(i)])) {
        while (i < n && IsWordChar(FChars[size_t(i)])) ++i;
    } else if (i < n && !IsBlankChar(FChars[size_t(i)])) {
        ++i;
    }
    while (i < n && IsBlankChar(FChars[size_t(i)])) ++i;
    return i;
}

void TTextBuffer::WordAt(int Pos, int& Start, int& End) const {
    int n = Length(), i = Clamp(Pos);
    if (n == 0) {
        Start = End = 0;
        return;
    }
    // A position at the end of a word belongs to that word.
    if (i == n || (!IsWordChar(FChars[size_t(i)]) && i > 0 && IsWordChar(FChars[size_t(i - 1)])))
        --i;
    char32_t c = FChars[size_t(i)];
    auto same = [&](char32_t d) {
        if (IsWordChar(c)) return IsWordChar(d);
        if (IsBlankChar(c)) return IsBlankChar(d) && d != U'\n';
        return false;
    };
    Start = i;
    End = i + 1;
    if (c == U'\n') return;
    while (Start > 0 && same(FChars[size_t(Start - 1)])) --Start;
    while (End < n && same(FChars[size_t(End)])) ++End;
}

bool TTextBuffer::Undo() {
    if (!FCanUndo) return false;
    std::swap(FChars, FUndoChars);
    std::swap(FAnchor, FUndoAnchor);
    std::swap(FCaret, FUndoCaret);
    FAnchor = Clamp(FAnchor);
    FCaret = Clamp(FCaret);
    return FChars != FUndoChars;
}

}  // namespace kovo
