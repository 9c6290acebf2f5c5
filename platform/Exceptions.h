// Exceptions of the platform stand-ins. Every failure inside the framework is
// an exception that carries a user-readable text, as the runtime it replaces
// does (Exception.Message).
#pragma once

#include <stdexcept>
#include <string>

namespace plat {

// Root of all framework exceptions; Message() is the text shown to users.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A variant could not be converted or indexed.
class EVariantError : public Exception {
public:
    using Exception::Exception;
};

// A late-bound automation call failed (unknown member, failing callee).
class EOleError : public Exception {
public:
    using Exception::Exception;
};

// Class registry failures, such as an unknown ProgID ("Invalid class string").
class EOleSysError : public EOleError {
public:
    using EOleError::EOleError;
};

// Raised to end the running action silently, as the platform's Abort does.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

}  // namespace plat
