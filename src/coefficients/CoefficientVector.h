#pragma once
// Placeholder until coefficient vectors are built.
namespace Logic {
class CoefficientVector {};
} // namespace Logic
