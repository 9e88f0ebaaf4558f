// The gallery's script reader on arbitrary text: it answers steps or EConvertError.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../examples/gallery/Script.h"
#include "host/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        gallery::ParseScript(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const kovo::EConvertError&) {
    }
    return 0;
}
