#pragma once
// Matrix: the abstract base of every formula node, with the structural queries that every node
// answers. Formulas are directed acyclic graphs of immutable nodes shared through MatrixPtr.
//
// Where the operations live: structure, queries, text forms and picture labels in each node
// class's own file; Prover9 and Tree Proof Generator forms in model/Prover9Forms.cpp and
// model/TreeProofGeneratorForms.cpp; TrueIn and the size figures in engine/TruthEvaluation.cpp;
// the decision and search in engine/Decision.cpp; GraphvizDOT and Prover9Input in render/;
// CoefficientVectorHelper in coefficients/NodeCoefficientVectors.cpp.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/NamedObject.h"
#include "model/Predicate.h"
#include "model/Variable.h"
#include "model/Verdicts.h"

namespace Logic {

class Matrix;
class Necessity;
class NullPredicate;
class UniversalGeneralization;
class Predicates;
class CoefficientVector;
class Counterexample;

using MatrixPtr = std::shared_ptr<const Matrix>;

/// Letters of variables to the names written for them in Prover9 text.
using TranslatedNames = std::map<char, std::string>;

/// The node kind, so that hot code can switch instead of dispatching virtually.
enum class NodeKind : uint8_t {
    Negation,
    Necessity,
    UniversalGeneralization,
    Conjunction,
    Disjunction,
    MaterialConditional,
    Argument,
    Equivalence,
    JointDenial,
    NullPredicate,
    UnaryPredication,
    BinaryPredication,
    Identification
};

class Matrix : public NamedObject, public std::enable_shared_from_this<Matrix> {
public:
    ~Matrix() override = default;

    NodeKind Kind() const { return mKind; }

    // Text form, equality and hash.
    virtual std::string ToString() const = 0;
    virtual bool Equals(const Matrix& aOther) const = 0;
    virtual size_t Hash() const = 0;

    // Structural queries. Results are materialised in the specified order; "union" results
    // keep first occurrences only. Entries of modality lists may be null (no modality).
    virtual std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
    ClosedPredications() const;
    virtual bool ContainsModalities() const { return false; }
    virtual bool ContainsIdentifications() const { return false; }
    virtual std::vector<std::pair<const Matrix*, const Matrix*>> DirectDependencies() const;
    virtual std::string DOTLabel() const = 0;
    virtual std::string Prover9InputHelper1(TranslatedNames& aNames) const;
    virtual std::string Prover9InputHelper(TranslatedNames& aNames) const = 0;
    virtual std::string TreeProofGeneratorInput() const;
    virtual bool IsPropositional() const { return false; }
    virtual bool IsCompatibleWithTreeProofGenerator() const;
    virtual std::vector<VariablePtr> FreeVariables() const = 0;
    virtual std::vector<const Necessity*> FreeModalities() const = 0;
    virtual std::vector<VariablePtr> IdentifiedVariables() const = 0;
    virtual std::vector<const Matrix*> Matrices() const;
    virtual int32_t MaxmimumNumberOfDistinguishableObjectsOfAKind() const = 0;
    virtual int32_t MaxmimumNumberOfModalitiesInIdentifications() const = 0;
    virtual std::vector<const Necessity*> ModalitiesInIdentifications() const;
    virtual int32_t DepthOfLoopNesting() const { return 0; }
    virtual std::vector<const Matrix*> NonNullPredications() const;
    virtual std::vector<const NullPredicate*> NullPredicates() const = 0;
    virtual std::vector<const UnaryPredicate*> UnaryPredicates() const = 0;
    virtual void AssignModality(const Necessity* aModality) const;
    /// True when this formula holds in kind of world aKindOfWorld of interpretation
    /// aInterpretation, both numbered by aPredicates.
    virtual bool TrueIn(uint32_t aInterpretation, uint32_t aKindOfWorld,
                        const Predicates& aPredicates) const = 0;
    virtual std::vector<const Matrix*> Conjuncts() const;
    virtual MatrixPtr Substitute(const VariablePtr& aReplaced,
                                 const VariablePtr& aReplacement) const = 0;
    virtual Logic::CoefficientVector
    CoefficientVectorHelper(const std::vector<const NullPredicate*>& aNullPredicates) const;

    // Non-virtual operations.
    /// Bits the predicate index of this formula needs.
    int32_t Complexity() const;
    std::string GraphvizDOT() const;
    std::string Prover9Input() const;
    std::string MakeProver9Formulas(TranslatedNames& aNames) const;
    Predicates CollectPredicates() const;
    uint32_t Exclusions(const Predicates& aPredicates) const;
    Alethicity Decide() const;
    Alethicity DecideForFreeVariables() const;
    std::unique_ptr<Counterexample> FindNextExample() const;
    std::unique_ptr<Counterexample> FindNextCounterexample() const;
    bool HasCounterexample(uint32_t aInterpretation, const Predicates& aPredicates) const;
    Logic::CoefficientVector CoefficientVector() const;

    MatrixPtr SharedFromThis() const { return shared_from_this(); }

protected:
    /// Every node built is a step of work for the command's cancellation, so that building a
    /// huge formula can be stopped too.
    explicit Matrix(NodeKind aKind);

private:
    NodeKind mKind;
    // Where this node's own example and counterexample searches stand; never reset. Searches
    // that keep their position elsewhere use FindNextWith (engine/Decision.h).
    mutable std::optional<uint32_t> mLastExampleFound;
    mutable bool mExampleMightBe = true;
    mutable std::optional<uint32_t> mLastCounterexampleFound;
    mutable bool mCounterexampleMightBe = true;
};

/// A hash of an object's identity. Objects made one after another lie close together, so their
/// addresses differ in a few low bits only: a plain address, or two of them XORed, would put
/// thousands of predications and identities of one document into one bucket.
inline size_t IdentityHash(const void* aObject) {
    const auto lBits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(aObject));
    return static_cast<size_t>((lBits * 0x9E3779B97F4A7C15ull) ^ ((lBits * 0x9E3779B97F4A7C15ull) >> 29));
}

/// Equality by identity over any objects: used to remove repeated nodes by identity.
struct ReferenceComparer {
    template <typename T> bool Equals(const T* aX, const T* aY) const { return aX == aY; }
    template <typename T> size_t GetHashCode(const T* aX) const { return aX ? aX->Hash() : 0; }
};

} // namespace Logic
