#include "host/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "host/Exceptions.h"

namespace kovo {

std::string TObject::ClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    auto colon = name.rfind("::");
    if (colon != std::string::npos) name = name.substr(colon + 2);
    return name;
}

void TPersistent::Assign(TPersistent* Source) {
    if (Source != nullptr) {
        Source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) {
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source) {
    std::string source = Source ? Source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + source + " to a " + ClassName());
}

}  // namespace kovo
