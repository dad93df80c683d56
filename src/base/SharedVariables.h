#pragma once

// The module 変数宣言: the only state that crosses from one screen to the next.

#include "base/DataContract.h"
#include "base/RuntimeError.h"

#include <QString>
#include <array>
#include <cstdint>

namespace vaporica {

using Integer = std::int16_t;
using Long = std::int32_t;

// A fixed-size Integer array with lower bound 0 whose every access checks its index.
template <int Upper> class IntegerArray {
public:
    explicit IntegerArray(const char *name) : name_(name) {}
    Integer &operator()(int i) { return values_[check(i)]; }
    Integer operator()(int i) const { return values_[check(i)]; }
    void clear() { values_.fill(0); }
    static constexpr int upper() { return Upper; }

private:
    std::size_t check(int i) const {
        if (i < 0 || i > Upper)
            throw subscriptError(name_, i, 0, Upper);
        return static_cast<std::size_t>(i);
    }
    const char *name_;
    std::array<Integer, Upper + 1> values_{};
};

// Two indices, each with lower bound 0.
template <int Upper1, int Upper2> class IntegerArray2 {
public:
    explicit IntegerArray2(const char *name) : name_(name) {}
    Integer &operator()(int i, int k) { return values_[check(i, k)]; }
    Integer operator()(int i, int k) const { return values_[check(i, k)]; }
    void clear() { values_.fill(0); }

private:
    std::size_t check(int i, int k) const {
        if (i < 0 || i > Upper1)
            throw subscriptError(name_, i, 0, Upper1);
        if (k < 0 || k > Upper2)
            throw subscriptError(name_, k, 0, Upper2);
        return static_cast<std::size_t>(i * (Upper2 + 1) + k);
    }
    const char *name_;
    std::array<Integer, (Upper1 + 1) * (Upper2 + 1)> values_{};
};

constexpr int MaxQuestions = contract::Questions;
constexpr int GasCount = contract::Gases;
constexpr int ReagentCount = contract::Reagents;
// The generator apparatus and the collection methods a question chooses from.
constexpr int GeneratorCount = contract::Generators;
constexpr int CollectorCount = contract::Collectors;

// Directory of the executable without a trailing separator; the prefix of every data path.
extern QString DataRoot;
extern IntegerArray<MaxQuestions> AnswerGas;
extern IntegerArray2<MaxQuestions, 2> Reagent;
extern IntegerArray<MaxQuestions> GeneratorAnswer;
extern IntegerArray<MaxQuestions> CollectorAnswer;
extern IntegerArray<MaxQuestions> ApparatusPicture;
extern Integer QuestionCount;
extern IntegerArray<MaxQuestions> UsedFlag;
extern IntegerArray<MaxQuestions> RecentQueue;
extern Integer CurrentQuestion;
extern IntegerArray<GasCount> GasApparatus;

// Back to the state at process start (empty DataRoot, all zero); for tests.
void resetSharedVariables();

} // namespace vaporica
