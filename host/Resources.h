// The registry of named pictures: the package's resources register a maker (code that draws
// the picture) or the bytes of a BMP or PNG file under a name, and TBitmap's
// LoadFromResourceName finds them. Names ignore case.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/Exceptions.h"

namespace kovo {

class TBitmap;

// An unknown resource name: "Resource <name> not found".
class EResNotFound : public Exception {
  public:
    using Exception::Exception;
};

// Registers or replaces a picture drawn by code; the maker gets an empty bitmap to fill.
void RegisterPicture(const std::string& name, std::function<void(TBitmap&)> maker);
// Registers or replaces a picture kept as the bytes of a BMP or PNG file.
void RegisterPictureData(const std::string& name, std::vector<uint8_t> bmpOrPngBytes);
bool PictureRegistered(const std::string& name);
// Removes a picture; unknown names are ignored.
void UnregisterPicture(const std::string& name);

// Makes the picture into `picture` (a new, empty bitmap; TBitmap::LoadFromResourceName takes
// the result over). Raises EResNotFound for an unknown name and passes on the errors of the
// maker or the decoder (a registered file that is not a valid picture raises
// EInvalidGraphic).
void MakeRegisteredPicture(const std::string& name, TBitmap& picture);

}  // namespace kovo
