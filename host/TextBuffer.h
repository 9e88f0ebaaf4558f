// TTextBuffer: the text an edit box or a memo edits, as code points, with the caret and the
// selection. It knows nothing of pixels: the controls map positions to points themselves.
// Positions count characters (code points) from 0 to Length().
#pragma once

#include <string>

namespace kovo {

class TTextBuffer {
  public:
    const std::u32string& Chars() const { return FChars; }
    std::string Text() const;
    int Length() const { return static_cast<int>(FChars.size()); }

    // Replaces the whole text; the caret stays where it was as far as the new text reaches,
    // and the selection goes. Answers whether the text changed.
    bool SetText(const std::u32string& Value);

    // The fixed end of the selection and the moving one (where the caret blinks).
    int Anchor() const { return FAnchor; }
    int Caret() const { return FCaret; }
    int SelStart() const { return FAnchor < FCaret ? FAnchor : FCaret; }
    int SelEnd() const { return FAnchor < FCaret ? FCaret : FAnchor; }
    int SelLength() const { return SelEnd() - SelStart(); }
    bool HasSelection() const { return FAnchor != FCaret; }
    std::u32string SelChars() const { return FChars.substr(SelStart(), SelLength()); }

    // Both ends are clamped to the text.
    void Select(int AnchorPos, int CaretPos);
    // Moves the caret; with Extend the anchor stays, otherwise the selection goes.
    void MoveCaret(int Pos, bool Extend);

    // Replaces the selection by S, of which only as much is taken as MaxLength (0: no limit)
    // leaves room for; the caret ends after the inserted text. Answers whether the text
    // changed.
    bool ReplaceSelection(const std::u32string& S, int MaxLength = 0);
    // Backspace and Delete: the selection, or the character before (after) the caret.
    bool DeleteBackward();
    bool DeleteForward();

    // Word navigation: the start of the word before Pos, the start of the next word after
    // Pos, and the word around Pos (for a double click). A word is a run of letters, digits
    // and underscores; other characters but blanks stand alone.
    int PrevWordStart(int Pos) const;
    int NextWordStart(int Pos) const;
    void WordAt(int Pos, int& Start, int& End) const;

    // One level of undo: Undo swaps the text and selection with what they were before the
    // last change.
    bool CanUndo() const { return FCanUndo; }
    bool Undo();
    void ClearUndo() { FCanUndo = false; }

  private:
    void SaveUndo();
    int Clamp(int Pos) const;

    std::u32string FChars;      // the text
    int FAnchor = 0;            // fixed end of the selection
    int FCaret = 0;             // moving end of the selection, where the caret is
    std::u32string FUndoChars;  // the text before the last change
    int FUndoAnchor = 0, FUndoCaret = 0;
    bool FCanUndo = false;
};

// Character classes used by word navigation.
bool IsWordChar(char32_t C);
bool IsBlankChar(char32_t C);

}  // namespace kovo
