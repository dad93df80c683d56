#include "assets/DataPaths.h"
#include "base/SharedVariables.h"

#include <gtest/gtest.h>

namespace vaporica::test {
namespace {

// A number outside the bank's ranges (0, or a negative one that a hand-edited file may hold)
// still names a file: the digits of its absolute value, never a sign, so the report of the missing
// picture names the file that was looked for.
TEST(PictureNames, TheNumberIsWrittenAsTheDigitsOfItsAbsoluteValue) {
    struct Row {
        int number;
        const char *file;
    };
    DataRoot = QStringLiteral("/data");
    for (const Row &row :
         {Row{7, "/data/気体/gas1(7).gif"}, Row{14, "/data/気体/gas1(14).gif"},
          Row{0, "/data/気体/gas1(0).gif"}, Row{-3, "/data/気体/gas1(3).gif"},
          Row{-14, "/data/気体/gas1(14).gif"}, Row{32767, "/data/気体/gas1(32767).gif"},
          Row{-32768, "/data/気体/gas1(32768).gif"}}) {
        SCOPED_TRACE(row.number);
        EXPECT_EQ(PicturePath(fragment::GasNormal, row.number), QString::fromUtf8(row.file));
    }
    DataRoot.clear();
}

} // namespace
} // namespace vaporica::test
