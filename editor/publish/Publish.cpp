// Stands in until publishing is built: says so plainly instead of pretending to have published.

#include "Publish.h"

namespace vaporica::editor {

PublishOutcome publishForEveryone(const QString &tablesDir) {
    return {false, QStringLiteral("%1: 全員への配布はこの版ではまだできません。保存した表を IT "
                                  "担当の先生に渡してください")
                       .arg(tablesDir)};
}

PublishOutcome exportTables(const QString &tablesDir, const QString &file) {
    return {false, QStringLiteral("%1: 書き出しはこの版ではまだできません。表のフォルダー %2 を"
                                  "そのまま IT 担当の先生に渡してください")
                       .arg(file, tablesDir)};
}

} // namespace vaporica::editor
