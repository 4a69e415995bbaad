#pragma once
// Placeholder until the search results are built.
namespace Logic {
class Counterexample {
public:
    virtual ~Counterexample() = default;
};
} // namespace Logic
