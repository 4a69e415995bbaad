#pragma once
// Counterexample: what the example and counterexample searches return, either one kind of world
// (KindOfWorld) or the worlds of one modal interpretation (ModalCounterexample).

namespace Logic {

class Counterexample {
public:
    virtual ~Counterexample() = default;

protected:
    Counterexample() = default;
    Counterexample(const Counterexample&) = default;
    Counterexample& operator=(const Counterexample&) = default;
};

} // namespace Logic
