#include "host/Clipboard.h"

#include "host/Bitmap.h"
#include "host/platform/Backend.h"

namespace kovo {

TClipboard* Clipboard() {
    static TClipboard* clipboard = new TClipboard();  // lives as long as the program
    return clipboard;
}

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

std::string TClipboard::AsText() const {
    if (FPicture) return {};
    return Backend().ClipboardText();
}

void TClipboard::SetAsText(const std::string& Value) {
    FPicture.reset();
    Backend().SetClipboardText(Value);
}

bool TClipboard::HasFormat(uint16_t Format) const {
    switch (Format) {
        case CF_TEXT:
        case CF_UNICODETEXT:
            return !FPicture && Backend().ClipboardHasText();
        case CF_BITMAP:
        case CF_PICTURE:
            return FPicture != nullptr;
        default:
            return false;
    }
}

void TClipboard::Clear() {
    FPicture.reset();
    Backend().ClearClipboard();
}

void TClipboard::Assign(TPersistent* Source) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(bitmap);
        Backend().ClearClipboard();
        FPicture = std::move(copy);
        return;
    }
    TPersistent::Assign(Source);
}

}  // namespace kovo
