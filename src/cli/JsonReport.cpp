#include "cli/JsonReport.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "model/EngineException.h"

namespace Logic::Cli {

namespace {

// Keys keep the order written: command and document first, then what the command found.
using Json = nlohmann::ordered_json;

Json WorldJson(const WorldDescription& aWorld) {
    Json lLetters = Json::object();
    for (const auto& [lLetter, lTrue] : aWorld.mLetters) {
        lLetters[lLetter] = lTrue;
    }
    Json lObjects = Json::array();
    for (const ObjectKindDescription& lKind : aWorld.mObjects) {
        // "names" lists every name of the kind; "named_objects" groups them by the object they
        // denote, so that two names of one kind can be told to be one object or two. Both are
        // present, and empty for a kind without names.
        std::vector<std::string> lNames;
        for (const std::vector<std::string>& lObject : lKind.mNamed) {
            lNames.insert(lNames.end(), lObject.begin(), lObject.end());
        }
        std::sort(lNames.begin(), lNames.end());
        Json lObject{{"count", lKind.mCount},
                     {"affirms", lKind.mAffirms},
                     {"denies", lKind.mDenies},
                     {"names", lNames},
                     {"named_objects", lKind.mNamed}};
        // The objects of a model with relations stand alone, numbered as the relations name
        // them.
        if (lKind.mNumber != 0) {
            lObject["number"] = lKind.mNumber;
        }
        lObjects.push_back(std::move(lObject));
    }
    Json lWorld{{"letters", std::move(lLetters)}, {"objects", std::move(lObjects)}};
    if (!aWorld.mRelations.empty()) {
        Json lRelations = Json::object();
        for (const RelationDescription& lRelation : aWorld.mRelations) {
            Json lPairs = Json::array();
            for (const auto& [lFirst, lSecond] : lRelation.mPairs) {
                lPairs.push_back(Json::array({lFirst, lSecond}));
            }
            lRelations[lRelation.mLetter] = std::move(lPairs);
        }
        lWorld["relations"] = std::move(lRelations);
    }
    if (aWorld.mHolds) {
        lWorld["holds"] = *aWorld.mHolds;
    }
    return lWorld;
}

Json ModelJson(const ModelDescription& aModel) {
    if (!aModel.mModal) {
        return WorldJson(aModel.mWorlds.front());
    }
    Json lWorlds = Json::array();
    for (const WorldDescription& lWorld : aModel.mWorlds) {
        lWorlds.push_back(WorldJson(lWorld));
    }
    return Json{{"worlds", std::move(lWorlds)}};
}

Json NameOrNull(const std::optional<std::string>& aName) {
    return aName ? Json(*aName) : Json(nullptr);
}

/// Log lines quote the user's text, which need not be UTF-8: a stray byte becomes U+FFFD
/// instead of failing the whole report.
std::string Written(const Json& aJson) {
    return aJson.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace

std::string VerdictName(Alethicity aAlethicity) {
    switch (aAlethicity) {
    case Alethicity::Necessary:
        return "necessary";
    case Alethicity::Contingent:
        return "contingent";
    case Alethicity::Impossible:
        return "impossible";
    }
    throw NotImplementedException(
        Format("The value Alethicity.{0} has no name.", static_cast<int32_t>(aAlethicity)));
}

std::string VerdictName(Quality aQuality) {
    switch (aQuality) {
    case Quality::Invalid:
        return "invalid";
    case Quality::Valid:
        return "valid";
    case Quality::InconsistentPremises:
        return "valid-inconsistent-premises";
    case Quality::TautologicalConclusion:
        return "valid-tautological-conclusion";
    case Quality::InconsistentPremisesAndTautologicalConclusion:
        return "valid-inconsistent-premises-and-tautological-conclusion";
    }
    throw NotImplementedException(
        Format("The value Quality.{0} has no name.", static_cast<int32_t>(aQuality)));
}

std::string JsonReport(const std::string& aCommand, const std::string& aDocument,
                       const CommandReport& aReport) {
    Json lJson{{"command", aCommand}, {"document", aDocument}, {"lines", aReport.mLines},
               {"ok", !aReport.mError}};
    if (aReport.mError) {
        lJson["error"] = *aReport.mError;
    }
    if (aReport.mError && aReport.mErrorPlace) {
        lJson["error_at"] = Json{{"line", aReport.mErrorPlace->mLine},
                                 {"column", aReport.mErrorPlace->mColumn},
                                 {"length", aReport.mErrorPlace->mLength}};
    }
    if (aReport.mAlethicity) {
        lJson["verdict"] = VerdictName(*aReport.mAlethicity);
    } else if (aReport.mQuality) {
        lJson["verdict"] = VerdictName(*aReport.mQuality);
    }
    if (aReport.mExplanation && aReport.mExplanation->mExample) {
        lJson["example"] = ModelJson(*aReport.mExplanation->mExample);
    }
    if (aReport.mExplanation && aReport.mExplanation->mCounterexample) {
        lJson["counterexample"] = ModelJson(*aReport.mExplanation->mCounterexample);
    }
    if (aReport.mCoefficients) {
        lJson["coefficients"] = *aReport.mCoefficients;
    }
    if (aReport.mPolynomial) {
        lJson["polynomial"] = *aReport.mPolynomial;
    }
    if (aReport.mProverResult) {
        lJson["result"] = *aReport.mProverResult;
    }
    return Written(lJson);
}

std::string JsonFailure(const std::optional<std::string>& aCommand,
                        const std::optional<std::string>& aDocument, const std::string& aError) {
    return Written(Json{{"command", NameOrNull(aCommand)},
                        {"document", NameOrNull(aDocument)},
                        {"lines", Json::array()},
                        {"ok", false},
                        {"error", aError}});
}

} // namespace Logic::Cli
