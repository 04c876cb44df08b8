// The one error type of the packer: every failure the user must see is a
// PackError whose text is a complete one-line message.
#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

class PackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs `action`; a PackError it throws comes out with `context` in front, so
// that low-level messages name the file and setting they are about.
template <typename Action>
decltype(auto) with_context(const std::string& context, Action&& action) {
    try {
        return action();
    } catch (const PackError& error) {
        throw PackError(context + ": " + error.what());
    }
}

}  // namespace kestrel
