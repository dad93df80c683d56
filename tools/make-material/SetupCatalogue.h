#pragma once

#include <QString>

#include <vector>

namespace vaporica {

// The path of one of the apparatus files, the drawings and their table, compiled into the tools
// as resources.
QString apparatusResource(const char *name);

// The gas passes these between generator and collector, in the order listed.
enum class Vessel { WaterWash, AcidWash, SodaLime };

struct Setup {
    int number;
    int generator;
    bool thermometer; // beside the dropping funnel, bulb in the liquid, with boiling chips
    std::vector<Vessel> between;
    int collector;
};

// The set-up drawings, from the table beside the drawings (setups.tsv): which generator, which
// vessels in between and which collection each number shows. The numbering is the one the
// question bank and the material's tables refer to.
const std::vector<Setup> &setups();
// Set-up n; a number the table does not have is a subscript error.
const Setup &setupNumbered(int n);

} // namespace vaporica
