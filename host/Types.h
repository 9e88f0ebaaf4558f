// Plain value types shared by the whole host layer: points, rectangles, sizes and the
// small set type used for every "set of enumeration".
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace kovo {

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

// A rectangle covers [Left, Right) x [Top, Bottom).
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    bool operator==(const TRect&) const = default;
};

inline TPoint Point(int x, int y) {
    return TPoint{x, y};
}
inline TRect Rect(int l, int t, int r, int b) {
    return TRect{l, t, r, b};
}
inline TRect Bounds(int l, int t, int w, int h) {
    return TRect{l, t, l + w, t + h};
}

inline TRect IntersectRect(const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty()) return TRect{};
    return r;
}
inline bool PtInRect(const TRect& r, TPoint p) {
    return r.Contains(p);
}
inline TRect OffsetRect(TRect r, int dx, int dy) {
    return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}
inline TRect InflateRect(TRect r, int dx, int dy) {
    return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}
// Puts the corners in order, so that Left <= Right and Top <= Bottom.
inline TRect NormalizeRect(TRect r) {
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    return r;
}

// A set of values of an unscoped enumeration whose ordinals are below 64.
template <typename E>
class TSet {
  public:
    constexpr TSet() = default;
    constexpr TSet(E e) : bits_(bit(e)) {}
    constexpr TSet(std::initializer_list<E> list) {
        for (E e : list) bits_ |= bit(e);
    }
    constexpr bool contains(E e) const { return (bits_ & bit(e)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr TSet& Include(E e) {
        bits_ |= bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        bits_ &= ~bit(e);
        return *this;
    }
    constexpr TSet operator|(TSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr TSet operator&(TSet o) const { return FromBits(bits_ & o.bits_); }
    constexpr TSet& operator|=(TSet o) {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr TSet& operator-=(TSet o) {
        bits_ &= ~o.bits_;
        return *this;
    }
    constexpr bool operator==(const TSet&) const = default;
    constexpr uint64_t Bits() const { return bits_; }
    static constexpr TSet FromBits(uint64_t b) {
        TSet s;
        s.bits_ = b;
        return s;
    }

  private:
    static constexpr uint64_t bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
    uint64_t bits_ = 0;
};

}  // namespace kovo
