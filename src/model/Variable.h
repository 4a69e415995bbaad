#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Logic {

class Necessity;

/// One object of a kind of world as the evaluation sees it: the combination of unary predicates
/// it satisfies (bit u set: unary predicate u of the predicate index holds) and its instance
/// number within that combination. Two instantiations denote the same object exactly when both
/// parts are equal (and they were made in the same numbered world).
struct DistinguishableObject {
    uint32_t mCombination = 0;
    uint32_t mInstance = 0;
    friend bool operator==(const DistinguishableObject&, const DistinguishableObject&) = default;
};

/// A variable of the notation. Compares by identity; its letter is only for display. Shared by
/// the quantifier that binds it and by every predication and identification that uses it.
class Variable {
public:
    explicit Variable(char aLetter);
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

    char Letter() const { return mLetter; }
    std::string ToString() const { return std::string(1, mLetter); }

    /// The nearest enclosing Necessity of the quantifier that binds this variable, or null.
    /// Not owned: it points upward in the formula.
    const Necessity* Modality() const { return mModality; }
    /// Records the modality. Writing a different Necessity into a variable that has one fails
    /// with an EngineException and leaves the first in place; writing the same one again is fine.
    void SetModality(const Necessity* aModality);
    /// Clears the modality if it is aModality: undoes an assignment whose Necessity failed to
    /// be built, so that no variable points at a node that never came to exist.
    void ForgetModality(const Necessity* aModality);

    /// Stores the object and world this variable denotes, for the calling thread only. Takes no
    /// lock; allocates at most once per variable and thread.
    void Instantiate(DistinguishableObject aKindOfObject, uint32_t aKindOfWorld);
    /// The calling thread's object; empty on a thread that never instantiated this variable.
    std::optional<DistinguishableObject> InstantiatedKindOfObject() const;
    /// The calling thread's kind-of-world number; 0 on a thread that never instantiated it.
    uint32_t InstantiatedKindOfWorld() const;

    /// aReplacement when this is aReplaced (the same object), else this variable itself.
    static const std::shared_ptr<Variable>& Substitute(const std::shared_ptr<Variable>& aThis,
                                                       const std::shared_ptr<Variable>& aReplaced,
                                                       const std::shared_ptr<Variable>& aReplacement);

    /// A number unique to this variable for the life of the process (never reused), which keys
    /// the per-thread instantiations.
    uint64_t Identity() const { return mIdentity; }

    ~Variable();

private:
    char mLetter;
    const Necessity* mModality = nullptr;
    uint64_t mIdentity;
};

using VariablePtr = std::shared_ptr<Variable>;

} // namespace Logic
