#pragma once
// A value or the one-line reason it could not be had; the tool runs without exceptions.

#include <optional>
#include <string>
#include <utility>

namespace vsthost {

struct Error {
    std::string message;
};

template <class T>
class Expected {
public:
    Expected(T value) : value_(std::move(value)) {}
    Expected(Error error) : error_(std::move(error.message)) {}

    explicit operator bool() const { return value_.has_value(); }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

}  // namespace vsthost
