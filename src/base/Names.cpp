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

} // namespace vaporica
