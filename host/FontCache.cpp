// FreeType faces, opened once per file, and the bounded glyph cache.
#include "host/FontCache.h"

#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

namespace kovo::fontcache {

namespace {

constexpr size_t kMaxGlyphs = 4096;
constexpr size_t kMaxGlyphBytes = size_t(8) << 20;

struct TFaces {
    FT_Library library = nullptr;
    bool initialised = false;
    uint32_t nextId = 1;
    std::map<std::pair<std::string, int>, TFace> faces;
};

// Made on first use and never destroyed (see the header).
TFaces& Faces() {
    static TFaces* faces = new TFaces;
    return *faces;
}

FT_Library Library() {
    TFaces& f = Faces();
    if (!f.initialised) {
        f.initialised = true;
        if (FT_Init_FreeType(&f.library) != 0) f.library = nullptr;
    }
    return f.library;
}

size_t GlyphBytes(const TGlyphImage& g) {
    return g.coverage.size() + sizeof(TGlyphImage) + sizeof(TGlyphKey);
}

}  // namespace

TFace* OpenFace(const std::string& path, int index) {
    TFaces& f = Faces();
    auto key = std::make_pair(path, index);
    auto it = f.faces.find(key);
    if (it == f.faces.end()) {
        TFace face;
        FT_Library lib = Library();
        if (lib != nullptr && FT_New_Face(lib, path.c_str(), index, &face.ft) != 0)
            face.ft = nullptr;
        if (face.ft != nullptr) {
            // Text is Unicode; most faces pick a Unicode map already, this makes sure.
            FT_Select_Charmap(face.ft, FT_ENCODING_UNICODE);
            face.id = f.nextId++;
            auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face.ft, FT_SFNT_OS2));
            face.bold = (face.ft->style_flags & FT_STYLE_FLAG_BOLD) != 0 ||
                        (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 600);
            face.italic = (face.ft->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
        }
        it = f.faces.emplace(key, face).first;
    }
    return it->second.ft != nullptr ? &it->second : nullptr;
}

bool SetFaceSize(TFace& face, int em) {
    if (face.activeSize == em) return true;
    FT_Face ft = face.ft;
    FT_Error err = 0;
    if (FT_IS_SCALABLE(ft)) {
        err = FT_Set_Pixel_Sizes(ft, 0, FT_UInt(em));
    } else if (ft->num_fixed_sizes > 0) {
        // A bitmap-only face offers a few strikes: take the nearest.
        int best = 0;
        for (int i = 1; i < ft->num_fixed_sizes; ++i) {
            long d = std::labs(ft->available_sizes[i].y_ppem / 64 - em);
            long bestD = std::labs(ft->available_sizes[best].y_ppem / 64 - em);
            if (d < bestD) best = i;
        }
        err = FT_Select_Size(ft, best);
    } else {
        err = 1;
    }
    face.activeSize = err == 0 ? em : -1;
    return err == 0;
}

size_t TGlyphKeyHash::operator()(const TGlyphKey& k) const {
    uint64_t a = (uint64_t(k.face) << 32) | k.glyph;
    uint64_t b =
        (uint64_t(k.size) << 32) | (uint64_t(k.angle) << 16) | (uint64_t(k.flags) << 8) | k.phase;
    uint64_t h = a * 0x9E3779B97F4A7C15ull;
    h ^= b + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    return size_t(h ^ (h >> 29));
}

const TGlyphImage* TGlyphCache::Find(const TGlyphKey& key) {
    auto it = map_.find(key);
    if (it == map_.end()) return nullptr;
    order_.splice(order_.begin(), order_, it->second);
    return &it->second->second;
}

const TGlyphImage& TGlyphCache::Insert(const TGlyphKey& key, TGlyphImage glyph) {
    auto old = map_.find(key);
    if (old != map_.end()) {
        bytes_ -= GlyphBytes(old->second->second);
        order_.erase(old->second);
        map_.erase(old);
    }
    bytes_ += GlyphBytes(glyph);
    order_.emplace_front(key, std::move(glyph));
    map_[key] = order_.begin();
    while (order_.size() > 1 && (order_.size() > maxGlyphs_ || bytes_ > maxBytes_)) {
        bytes_ -= GlyphBytes(order_.back().second);
        map_.erase(order_.back().first);
        order_.pop_back();
    }
    return order_.front().second;
}

void TGlyphCache::Clear() {
    order_.clear();
    map_.clear();
    bytes_ = 0;
}

TGlyphCache& Glyphs() {
    static TGlyphCache* cache = new TGlyphCache(kMaxGlyphs, kMaxGlyphBytes);
    return *cache;
}

}  // namespace kovo::fontcache
