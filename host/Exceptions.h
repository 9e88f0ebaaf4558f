// The host's exception classes. Every failure the host or the package reports is one of
// these; Message() is the text a user sees.
#pragma once

#include <exception>
#include <string>

namespace kovo {

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const { return message_; }
    void SetMessage(std::string m) { message_ = std::move(m); }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

#define KOVO_EXCEPTION(Name, Base) \
    class Name : public Base {     \
      public:                      \
        using Base::Base;          \
    };

KOVO_EXCEPTION(EConvertError, Exception)
KOVO_EXCEPTION(EInvalidOperation, Exception)
KOVO_EXCEPTION(EOutOfMemory, Exception)
KOVO_EXCEPTION(EAbort, Exception)
KOVO_EXCEPTION(EInvalidGraphic, Exception)
KOVO_EXCEPTION(EListError, Exception)
KOVO_EXCEPTION(EStringListError, Exception)
KOVO_EXCEPTION(EComponentError, Exception)
KOVO_EXCEPTION(EStreamError, Exception)
KOVO_EXCEPTION(EFOpenError, EStreamError)
KOVO_EXCEPTION(EFCreateError, EStreamError)
KOVO_EXCEPTION(EReadError, EStreamError)
KOVO_EXCEPTION(EWriteError, EStreamError)
KOVO_EXCEPTION(EMathError, Exception)
KOVO_EXCEPTION(EInvalidOp, EMathError)

#undef KOVO_EXCEPTION

// A failed file operation of the text-file routines; ErrorCode is the classic I/O result.
class EInOutError : public Exception {
  public:
    EInOutError(std::string message, int code = 0)
        : Exception(std::move(message)), ErrorCode(code) {}
    int ErrorCode;
};

}  // namespace kovo
