// The toolkit's exception classes. Every exception of the system derives from Exception,
// which carries the message (UTF-8).
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}
    const std::string& Message() const { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

#define TOOLKIT_EXCEPTION(Name, Base)                                                                        \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    };

TOOLKIT_EXCEPTION(EOutOfMemory, Exception)
TOOLKIT_EXCEPTION(EOutOfResources, EOutOfMemory)
TOOLKIT_EXCEPTION(EInvalidGraphic, Exception)
TOOLKIT_EXCEPTION(EInvalidGraphicOperation, Exception)
TOOLKIT_EXCEPTION(ERangeError, Exception)
TOOLKIT_EXCEPTION(EConvertError, Exception)
TOOLKIT_EXCEPTION(EInvalidOperation, Exception)
TOOLKIT_EXCEPTION(EStreamError, Exception)
TOOLKIT_EXCEPTION(EReadError, EStreamError)
TOOLKIT_EXCEPTION(EWriteError, EStreamError)
TOOLKIT_EXCEPTION(EFOpenError, EStreamError)
TOOLKIT_EXCEPTION(EFCreateError, EStreamError)
TOOLKIT_EXCEPTION(EClipboardException, Exception)

// The toolkit's range-check message.
inline constexpr const char* SRangeError = "Range check error";
// The stream read error raised by exact-count reads.
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
// A bitmap, device context or picture the system cannot make.
inline constexpr const char* SOutOfResources = "Out of system resources";
