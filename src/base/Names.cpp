#include "base/Names.h"

#include "base/DataContract.h"
#include "base/RuntimeError.h"

#include <array>

namespace vaporica {

namespace {

const std::array GasNames = {"酸素",       "水素",       "塩素",       "塩化水素", "アンモニア",
                             "一酸化窒素", "二酸化窒素", "二酸化硫黄", "硫化水素", "一酸化炭素",
                             "二酸化炭素", "メタン",     "アセチレン", "エチレン"};

// In the order of their Japanese reading, which is the order of the reagent images.
const std::array ReagentNames = {"亜鉛",
                                 "エタノール",
                                 "塩化アンモニウム",
                                 "塩化ナトリウム",
                                 "塩素酸カリウム",
                                 "過酸化水素",
                                 "希塩酸",
                                 "希硝酸",
                                 "希硫酸",
                                 "ギ酸",
                                 "酢酸ナトリウム",
                                 "さらし粉",
                                 "水酸化カルシウム",
                                 "水酸化ナトリウム",
                                 "炭化カルシウム",
                                 "炭酸カルシウム",
                                 "炭酸水素ナトリウム",
                                 "銅",
                                 "二酸化マンガン",
                                 "濃塩酸",
                                 "濃硝酸",
                                 "濃硫酸",
                                 "水",
                                 "硫化鉄(Ⅱ)"};

const std::array GeneratorWords = {"三角フラスコと滴下漏斗、加熱しない",
                                   "試験管に入れた液体を加熱する", "試験管に入れた固体を加熱する",
                                   "丸底フラスコと滴下漏斗、加熱する"};
const std::array GeneratorVessels = {"三角フラスコ", "試験管", "試験管", "丸底フラスコ"};
const std::array CollectionNames = {"下方置換", "上方置換", "水上置換"};
static_assert(GeneratorWords.size() == contract::Generators &&
              GeneratorVessels.size() == contract::Generators &&
              CollectionNames.size() == contract::Collectors);

template <std::size_t N>
QString entry(const std::array<const char *, N> &table, int n, const char *name) {
    if (n < 1 || n > int(N))
        throw subscriptError(name, n, 1, int(N));
    return QString::fromUtf8(table[std::size_t(n - 1)]);
}

// The names are the buttons' and plates' words: one for each place the screens have.
static_assert(GasNames.size() == contract::Gases,
              "One gas name for each gas of the data contract (base/data-contract.cmake)");
static_assert(ReagentNames.size() == contract::Reagents,
              "One reagent name for each reagent of the data contract (base/data-contract.cmake)");

} // namespace

QString gasName(int gas) {
    if (gas < 1 || gas > int(GasNames.size()))
        throw subscriptError("gasName", gas, 1, int(GasNames.size()));
    return QString::fromUtf8(GasNames[std::size_t(gas - 1)]);
}

QString reagentName(int reagent) {
    if (reagent < 1 || reagent > int(ReagentNames.size()))
        throw subscriptError("reagentName", reagent, 1, int(ReagentNames.size()));
    return QString::fromUtf8(ReagentNames[std::size_t(reagent - 1)]);
}

QString generatorWords(int generator) {
    return entry(GeneratorWords, generator, "GeneratorWords");
}

QString generatorVessel(int generator) {
    return entry(GeneratorVessels, generator, "GeneratorVessels");
}

QString collectionName(int collection) {
    return entry(CollectionNames, collection, "CollectionNames");
}

} // namespace vaporica
