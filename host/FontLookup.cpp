// Finding font files by family name through fontconfig.
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <map>
#include <tuple>

#include "host/FontCache.h"
#include "host/TextRender.h"

namespace kovo {

namespace {

// Zero-initialised before any code runs, so tests may set it at any time.
bool gFontFilesDisabled = false;

// More distinct requests than this empty the memo (a program making ever new names must not
// grow it without bound).
constexpr size_t kMaxRemembered = 256;

using TRequest = std::tuple<std::string, bool, bool, TFontPitch>;

struct TLookup {
    FcConfig* config = nullptr;
    // A request fontconfig had no file for maps to an entry with an empty path.
    std::map<TRequest, fontcache::TFontFileMatch> memo;
};

TLookup* gLookup = nullptr;

// Gives fontconfig's memory back at exit (its configuration parser leaves blocks that only
// its own teardown frees). Text drawn later still finds the files already looked up; new
// requests get the built-in font.
void ReleaseFontconfig() {
    if (gLookup->config != nullptr) FcConfigDestroy(gLookup->config);
    gLookup->config = nullptr;
    FcFini();
}

TLookup& Lookup() {
    // Made on first use and never destroyed: valid from any static constructor or
    // destructor that draws text.
    if (gLookup == nullptr) {
        gLookup = new TLookup;
        gLookup->config = FcInitLoadConfigAndFonts();
        std::atexit(ReleaseFontconfig);
    }
    return *gLookup;
}

fontcache::TFontFileMatch Ask(FcConfig* config, const std::string& family, bool bold, bool italic,
                              TFontPitch pitch) {
    fontcache::TFontFileMatch result;
    if (config == nullptr) return result;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return result;
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (pitch == fpFixed) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    if (pitch == fpVariable) FcPatternAddInteger(pattern, FC_SPACING, FC_PROPORTIONAL);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult res = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &res);
    FcPatternDestroy(pattern);
    if (match == nullptr) return result;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
        result.path = reinterpret_cast<const char*>(file);
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) result.index = index;
    }
    FcPatternDestroy(match);
    return result;
}

}  // namespace

void SetFontFilesDisabled(bool disabled) {
    gFontFilesDisabled = disabled;
}

namespace fontcache {

bool FontFilesDisabled() {
    return gFontFilesDisabled;
}

const TFontFileMatch* MatchFontFile(const std::string& family, bool bold, bool italic,
                                    TFontPitch pitch) {
    if (gFontFilesDisabled) return nullptr;
    TLookup& lookup = Lookup();
    TRequest request{family, bold, italic, pitch};
    auto it = lookup.memo.find(request);
    if (it == lookup.memo.end()) {
        if (lookup.memo.size() >= kMaxRemembered) lookup.memo.clear();
        it = lookup.memo.emplace(request, Ask(lookup.config, family, bold, italic, pitch)).first;
    }
    return it->second.path.empty() ? nullptr : &it->second;
}

}  // namespace fontcache

}  // namespace kovo
