#include "model/Matrix.h"

#include "platform/Cancellation.h"

namespace Logic {

Matrix::Matrix(NodeKind aKind) : mKind(aKind) {
    CheckCancellation();
}

std::vector<std::pair<const UniversalGeneralization*, const Matrix*>>
Matrix::ClosedPredications() const {
    return {};
}

std::vector<std::pair<const Matrix*, const Matrix*>> Matrix::DirectDependencies() const {
    return {};
}

std::vector<const Matrix*> Matrix::Matrices() const {
    return {this};
}

std::vector<const Necessity*> Matrix::ModalitiesInIdentifications() const {
    return {};
}

std::vector<const Matrix*> Matrix::NonNullPredications() const {
    return {};
}

void Matrix::AssignModality(const Necessity*) const {}

std::vector<const Matrix*> Matrix::Conjuncts() const {
    return {this};
}

} // namespace Logic
