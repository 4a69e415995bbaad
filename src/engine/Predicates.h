#pragma once
// Placeholder until the predicate index is built.
namespace Logic {
class Predicates {};
} // namespace Logic
