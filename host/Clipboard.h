// The clipboard: text through the backend (the desktop's clipboard under SDL2, memory when
// headless) and a picture kept by the host, so that "only a picture on the clipboard" can
// happen and be told apart from text.
#pragma once

#include <memory>
#include <string>

#include "host/Object.h"

namespace kovo {

class TBitmap;

constexpr uint16_t CF_TEXT = 1;
constexpr uint16_t CF_BITMAP = 2;
constexpr uint16_t CF_UNICODETEXT = 13;
constexpr uint16_t CF_PICTURE = 0xC000;  // the host's format for any picture

class TClipboard : public TPersistent {
  public:
    TClipboard();
    ~TClipboard() override;

    std::string AsText() const;
    void SetAsText(const std::string& Value);
    bool HasFormat(uint16_t Format) const;
    void Clear();
    // With a TBitmap, puts a copy of the picture on the clipboard in place of the text.
    void Assign(TPersistent* Source) override;
    // The picture on the clipboard, nullptr when there is none.
    const TBitmap* Picture() const { return FPicture.get(); }

  private:
    std::unique_ptr<TBitmap> FPicture;
};

TClipboard* Clipboard();

}  // namespace kovo
