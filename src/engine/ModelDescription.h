#pragma once
// Models as a person reads them: what an explanation shows and what an engine that searches
// models (DecisionEngine::FindModel) finds.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Logic {

/// One populated kind of object: how many objects share it, which predicates they have, and
/// which of them the document's names denote. In a model with relations every object stands
/// alone (mCount 1) and carries its number, so that the relations can name it.
struct ObjectKindDescription {
    uint32_t mCount = 0;
    std::vector<std::string> mAffirms;
    std::vector<std::string> mDenies;
    /// One entry per named object of this kind (at most mCount), each the names that denote it
    /// in alphabetical order; the entries in the order of the objects' instances within the
    /// kind, which is also the order of their first names. Objects no name denotes are left
    /// out.
    std::vector<std::vector<std::string>> mNamed;
    /// The object's number (1, 2, ...) in a model with relations; 0 for a kind of object.
    uint32_t mNumber = 0;

    friend bool operator==(const ObjectKindDescription&, const ObjectKindDescription&) = default;
};

/// A relation letter and the ordered pairs of objects (by their numbers) it holds between.
struct RelationDescription {
    std::string mLetter;
    std::vector<std::pair<uint32_t, uint32_t>> mPairs;

    friend bool operator==(const RelationDescription&, const RelationDescription&) = default;
};

/// One world: every sentence letter's truth, every populated kind of object (every object, in a
/// model with relations), every relation, and, in a modal model, whether the statement holds
/// there.
struct WorldDescription {
    std::vector<std::pair<std::string, bool>> mLetters;
    std::vector<ObjectKindDescription> mObjects;
    std::vector<RelationDescription> mRelations;
    std::optional<bool> mHolds;

    friend bool operator==(const WorldDescription&, const WorldDescription&) = default;
};

/// A model: one world, or with modal operators the worlds of one interpretation in the
/// search's order.
struct ModelDescription {
    bool mModal = false;
    std::vector<WorldDescription> mWorlds;
};

/// What a search of finite models found: a model, if any, and the size of the largest models
/// it searched (every model of at most mMostObjects objects).
struct FoundModel {
    std::optional<ModelDescription> mModel;
    uint32_t mMostObjects = 0;
};

/// A model of objects 0 .. mObjects - 1, as the solver of an engine leaves it: the truth of
/// each sentence letter, the objects of each unary predicate, the pairs of each relation, and
/// the object of each name.
struct FiniteModel {
    uint32_t mObjects = 0;
    std::vector<std::pair<std::string, bool>> mLetters;
    /// In the document's order of unary predicates: the predicate's letter, and per object
    /// whether it has it.
    std::vector<std::pair<std::string, std::vector<bool>>> mUnary;
    std::vector<std::pair<std::string, std::vector<std::pair<uint32_t, uint32_t>>>> mRelations;
    std::vector<std::pair<std::string, uint32_t>> mNames;
};

} // namespace Logic
