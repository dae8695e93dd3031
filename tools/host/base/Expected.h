#pragma once
// A value or the one-line reason it could not be had; the tool runs without exceptions.

#include <optional>
#include <string>
#include <utility>

namespace vsthost {

struct Error {
    // A usage failure is the user's words not fitting what they name (a parameter the plug-in
    // lacks, say), as against a failure of the work itself; the tool's exit status tells them apart.
    enum class Kind { failure, usage };
    std::string message;
    Kind kind = Kind::failure;
};

template <class T>
class Expected {
public:
    Expected(T value) : value_(std::move(value)) {}
    Expected(Error error) : error_(std::move(error)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_.message; }
    bool isUsageError() const { return error_.kind == Error::Kind::usage; }

private:
    std::optional<T> value_;
    Error error_;
};

}  // namespace vsthost
