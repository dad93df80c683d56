#pragma once

// The one list of gas and reagent names, and the words of the generators and collection methods:
// the screens name their pictures with it for assistive tools, and the material generator draws
// the plates and set-ups and checks its tables against it.

#include <QString>

namespace vaporica {

// Gas 1..14 and reagent 1..24; any other number is a subscript error naming the table.
QString gasName(int gas);
QString reagentName(int reagent);

// Generator 1..4 and collection method 1..3, numbered as the apparatus quiz's choices and the
// material's tables: what the generator's picture shows, the vessel it holds the reagents in, and
// the collection's name. The quiz says them to a screen reader; the material tools write them on
// the set-up pictures and read the tables by them. Any other number is a subscript error.
QString generatorWords(int generator);
QString generatorVessel(int generator);
QString collectionName(int collection);

} // namespace vaporica
