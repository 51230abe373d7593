#pragma once
// Every failure the core can meet travels as an Error: a sentence in Chinese that a window can show
// as it stands. Nothing in the core throws to its callers.
#include <expected>
#include <string>

namespace tessmar {

struct Error {
    std::string message;  // UTF-8, for the administrator
};

template <class T>
using Result = std::expected<T, Error>;

// An operation with nothing to return.
using Status = std::expected<void, Error>;

inline std::unexpected<Error> fail(std::string message) {
    return std::unexpected<Error>(Error{std::move(message)});
}

}  // namespace tessmar
