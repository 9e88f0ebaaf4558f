#include "host/Resources.h"

#include <map>
#include <memory>
#include <mutex>

#include "host/Bitmap.h"

namespace kovo {

namespace {

struct TPictureEntry {
    std::function<void(TBitmap&)> maker;  // empty for file data
    std::shared_ptr<const std::vector<uint8_t>> bytes;
};

// Pictures are registered by static initialisers of other files, so the registry is made on
// first use rather than at a fixed point of start-up.
struct TRegistry {
    std::mutex lock;
    std::map<std::string, TPictureEntry> entries;
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

std::string Key(const std::string& name) {
    std::string key = name;
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return key;
}

}  // namespace

void RegisterPicture(const std::string& name, std::function<void(TBitmap&)> maker) {
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.entries[Key(name)] = TPictureEntry{std::move(maker), nullptr};
}

void RegisterPictureData(const std::string& name, std::vector<uint8_t> bmpOrPngBytes) {
    TRegistry& r = Registry();
    auto bytes = std::make_shared<const std::vector<uint8_t>>(std::move(bmpOrPngBytes));
    std::lock_guard<std::mutex> guard(r.lock);
    r.entries[Key(name)] = TPictureEntry{nullptr, std::move(bytes)};
}

bool PictureRegistered(const std::string& name) {
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.entries.count(Key(name)) != 0;
}

void UnregisterPicture(const std::string& name) {
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.entries.erase(Key(name));
}

void MakeRegisteredPicture(const std::string& name, TBitmap& picture) {
    TPictureEntry entry;
    {
        TRegistry& r = Registry();
        std::lock_guard<std::mutex> guard(r.lock);
        auto it = r.entries.find(Key(name));
        if (it == r.entries.end()) throw EResNotFound("Resource " + name + " not found");
        entry = it->second;
    }
    // Made outside the lock, as a maker may load other pictures.
    if (entry.maker)
        entry.maker(picture);
    else
        picture.LoadFromMemory(entry.bytes->data(), entry.bytes->size());
}

}  // namespace kovo
