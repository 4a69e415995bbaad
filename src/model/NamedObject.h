#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace Logic {

/// Gives every formula node a unique serial name: the process-wide counter at construction,
/// padded with zeros to at least six digits ("000001"). Names increase in order of construction.
class NamedObject {
public:
    virtual ~NamedObject() = default;
    const std::string& Name() const { return mName; }

    /// The number the next constructed object takes. Atomic, so nodes may be built on any thread.
    static std::atomic<int32_t> NextObjectNumber;

protected:
    NamedObject();
    NamedObject(const NamedObject&) = delete;
    NamedObject& operator=(const NamedObject&) = delete;

private:
    std::string mName;
};

} // namespace Logic
