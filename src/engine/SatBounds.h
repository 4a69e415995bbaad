#pragma once
// SatBounds: how large a model the SAT engine must search for its answer to be a decision.

#ifdef QUENDRAL_HAVE_CADICAL

#include <cstdint>

namespace Logic {
class Matrix;
}

namespace Logic::SatEncoding {

/// What the encoding must know of a formula before it starts.
struct Shape {
    bool mBinaryPredications = false;
    bool mQuantifiers = false;
    /// Distinct modal operators.
    uint32_t mNecessities = 0;
    /// Whether a modal operator applies to a formula with a variable bound outside it.
    bool mOpenNecessity = false;
    /// Whether an identity compares objects of two modal contexts (the numbering then keeps
    /// copies of every kind of world); the SAT engine leaves such formulas to the numbering.
    bool mIdentityAcrossWorlds = false;
    /// The worlds that witness the modal operators, one per operator over a closed formula,
    /// and one per kind of binding of its free variables for the others (WorldsNeeded).
    uint64_t mWitnessWorlds = 0;
};

/// aRoot's shape. Call on a large stack.
Shape ShapeOf(const Matrix& aRoot);

/// W: worlds enough for a model of every satisfiable formula of aShape (SatBounds.cpp).
uint32_t WorldsNeeded(const Shape& aShape);

/// N: objects enough in each world for a model of aRoot made true (aTrue) or false, if it has
/// one. Fails where no bound fits the memory. Call on a large stack.
uint32_t ObjectsNeeded(const Matrix& aRoot, const Shape& aShape, bool aTrue);

/// How many subformula instances the encoding of aRoot over aObjects objects makes at most: a
/// node with f free variables has aObjects^f bindings. Saturates at MostInstances + 1.
uint64_t InstancesToEncode(const Matrix& aRoot, uint32_t aObjects);

/// Fails with "too large for the SAT engine" where the encoding of aRoot over aObjects objects in
/// each of aWorlds worlds would pass MostInstances: refused before anything is encoded, since
/// the encoding of a formula too large for the memory would take long to find that out.
void RequireEncodable(const Matrix& aRoot, uint32_t aObjects, uint32_t aWorlds);

} // namespace Logic::SatEncoding

#endif
