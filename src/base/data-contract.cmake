# The data directory's contract, stated once: the folders beside the executable, how many of each
# thing the program knows, and the records of the two bank files. The build turns it into a C++
# header in the build directory (base/DataContract.h) for the program, its tools and its tests; the
# install rules read the folders here. A change here is a change everywhere.
set(VAPORICA_DATA_FOLDERS 気体 薬品 反応式 装置 性質 音 説明)
set(VAPORICA_QUESTIONS 20)
set(VAPORICA_GASES 14)
set(VAPORICA_REAGENTS 24)
set(VAPORICA_GENERATORS 4)
set(VAPORICA_COLLECTORS 3)
# The gas quiz lays the reagent plates out in columns of rows, filled top to bottom.
set(VAPORICA_REAGENT_COLUMNS 3)
set(VAPORICA_REAGENT_ROWS 8)
# One line of 説明/mondai.txt per question, one of 説明/taiou.txt per gas.
set(VAPORICA_QUESTION_RECORD 気体 薬品1 薬品2 発生装置 捕集 装置図)
set(VAPORICA_GAS_RECORD 装置図)

function(vaporica_write_data_contract into)
  set(quoted_folders "")
  foreach(folder IN LISTS VAPORICA_DATA_FOLDERS)
    string(APPEND quoted_folders "QStringLiteral(\"${folder}\"), ")
  endforeach()
  set(quoted_fields "")
  foreach(field IN LISTS VAPORICA_QUESTION_RECORD)
    string(APPEND quoted_fields "QStringLiteral(\"${field}\"), ")
  endforeach()
  list(LENGTH VAPORICA_QUESTION_RECORD question_values)
  list(LENGTH VAPORICA_GAS_RECORD gas_values)
  file(CONFIGURE OUTPUT ${into}/base/DataContract.h CONTENT [[
// Made by the build from src/base/data-contract.cmake: change the contract there.
#pragma once

#include <QStringList>

namespace vaporica::contract {

inline constexpr int Questions = @VAPORICA_QUESTIONS@;
inline constexpr int Gases = @VAPORICA_GASES@;
inline constexpr int Reagents = @VAPORICA_REAGENTS@;
inline constexpr int Generators = @VAPORICA_GENERATORS@;
inline constexpr int Collectors = @VAPORICA_COLLECTORS@;
inline constexpr int ReagentColumns = @VAPORICA_REAGENT_COLUMNS@;
inline constexpr int ReagentRows = @VAPORICA_REAGENT_ROWS@;
static_assert(ReagentColumns * ReagentRows == Reagents,
              "Every reagent has one place on the gas quiz's grid of plates");
inline constexpr int QuestionValues = @question_values@; // per line of 説明/mondai.txt
inline constexpr int GasValues = @gas_values@;           // per line of 説明/taiou.txt
inline const QStringList QuestionRecord = {@quoted_fields@};
inline const QStringList DataFolders = {@quoted_folders@};

} // namespace vaporica::contract
]] @ONLY)
endfunction()
