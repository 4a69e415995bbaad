#include "engine/Utility.h"

#include "model/Argument.h"
#include "model/EngineException.h"

namespace Logic {

std::string Utility::StatementOfResult(const Matrix& aMatrix) {
    if (aMatrix.Kind() == NodeKind::Argument) {
        return TextResult(static_cast<const Argument&>(aMatrix).Quality());
    }
    return TextForDecision(aMatrix.Decide());
}

std::string Utility::TextForDecision(Alethicity aAlethicity) {
    switch (aAlethicity) {
    case Alethicity::Necessary:
        return "The statement is necessarily true.";
    case Alethicity::Contingent:
        return "The statement is contingent.";
    case Alethicity::Impossible:
        return "The statement is self-contradictory.";
    }
    throw NotImplementedException(Format("The value Alethicity.{0} is not supported by this application.",
                                         static_cast<int32_t>(aAlethicity)));
}

std::string Utility::TextResult(Quality aQuality) {
    switch (aQuality) {
    case Quality::Invalid:
        return "The argument is invalid.";
    case Quality::Valid:
        return "The argument is valid.";
    case Quality::InconsistentPremises:
        return "The argument is valid but its premises are inconsistent.";
    case Quality::TautologicalConclusion:
        return "The argument is valid because its conclusion is tautological.";
    case Quality::InconsistentPremisesAndTautologicalConclusion:
        return "The argument valid but its premises are inconsistent and its conclusion is "
               "tautological.";
    }
    throw NotImplementedException(Format("The value Quality.{0} is not supported by this application.",
                                         static_cast<int32_t>(aQuality)));
}

} // namespace Logic
