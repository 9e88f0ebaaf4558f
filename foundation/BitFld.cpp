// TBitFld: bits packed into 64-bit words.
#include <bit>

#include "foundation/kovocore.h"

namespace kovo {

void TBitFld::SetSize(int NumBits) {
    if (NumBits < 0) NumBits = 0;
    size_t words = (size_t(NumBits) + 63) / 64;
    FWords.resize(words, 0);
    FSize = NumBits;
    // Bits beyond the new size must read false should the field grow again.
    if (NumBits % 64 != 0) FWords.back() &= (uint64_t{1} << (NumBits % 64)) - 1;
}

void TBitFld::Clear() {
    std::fill(FWords.begin(), FWords.end(), 0);
}

bool TBitFld::GetBit(int Index) const {
    if (Index < 0 || Index >= FSize) return false;
    return (FWords[size_t(Index) / 64] >> (Index % 64)) & 1;
}

void TBitFld::SetBit(int Index, bool Value) {
    if (Index < 0 || Index >= FSize) return;
    uint64_t mask = uint64_t{1} << (Index % 64);
    if (Value)
        FWords[size_t(Index) / 64] |= mask;
    else
        FWords[size_t(Index) / 64] &= ~mask;
}

int TBitFld::FirstTrueBit() const {
    for (size_t i = 0; i < FWords.size(); ++i)
        if (FWords[i] != 0) return int(i * 64) + std::countr_zero(FWords[i]);
    return -1;
}

int TBitFld::CountTrueBits() const {
    int n = 0;
    for (uint64_t w : FWords) n += std::popcount(w);
    return n;
}

}  // namespace kovo
