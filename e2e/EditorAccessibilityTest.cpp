// The question editor as a screen reader meets it, in a private X server with a private session
// and accessibility bus: every control a teacher operates reached by its role and its Japanese
// name, and none without a name.

#include "AccessibilityBus.h"
#include "ProgramRun.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using namespace vaporica::e2e;

const QString EditorCaptionStart = QStringLiteral("ヴァポリカ 問題の編集");

struct Control {
    AtspiRole role;
    const char *name;
};

// Every control of the editor's window, by the role and name a screen reader announces.
const Control Controls[] = {
    {ATSPI_ROLE_LIST, "問題の一覧"},
    {ATSPI_ROLE_COMBO_BOX, "気体"},
    {ATSPI_ROLE_COMBO_BOX, "薬品1"},
    {ATSPI_ROLE_COMBO_BOX, "薬品2"},
    {ATSPI_ROLE_COMBO_BOX, "装置図"},
    {ATSPI_ROLE_CHECK_BOX, "発生装置 1（三角フラスコと滴下漏斗、加熱しない）"},
    {ATSPI_ROLE_CHECK_BOX, "発生装置 2（試験管に入れた液体を加熱する）"},
    {ATSPI_ROLE_CHECK_BOX, "発生装置 3（試験管に入れた固体を加熱する）"},
    {ATSPI_ROLE_CHECK_BOX, "発生装置 4（丸底フラスコと滴下漏斗、加熱する）"},
    {ATSPI_ROLE_CHECK_BOX, "捕集 下方置換"},
    {ATSPI_ROLE_CHECK_BOX, "捕集 上方置換"},
    {ATSPI_ROLE_CHECK_BOX, "捕集 水上置換"},
    {ATSPI_ROLE_TEXT, "反応式"},
    {ATSPI_ROLE_TEXT, "矢印の上"},
    {ATSPI_ROLE_TEXT, "矢印の下"},
    {ATSPI_ROLE_TEXT, "理由"},
    {ATSPI_ROLE_TEXT, "注意"},
    {ATSPI_ROLE_LABEL, "理由の残りの幅"},
    {ATSPI_ROLE_IMAGE, "反応式の画像"},
    {ATSPI_ROLE_IMAGE, "装置の絵"},
    {ATSPI_ROLE_PUSH_BUTTON, "保存"},
    {ATSPI_ROLE_PUSH_BUTTON, "元に戻す"},
    {ATSPI_ROLE_PUSH_BUTTON, "すべて元に戻す"},
    {ATSPI_ROLE_PUSH_BUTTON, "取り消し"},
    {ATSPI_ROLE_PUSH_BUTTON, "やり直し"},
    {ATSPI_ROLE_PUSH_BUTTON, "この問題を試す"},
    {ATSPI_ROLE_PUSH_BUTTON, "全員に配布"},
    {ATSPI_ROLE_PUSH_BUTTON, "書き出す"},
};

// The roles of what a person operates: each needs a name of its own.
const AtspiRole Operated[] = {
    ATSPI_ROLE_PUSH_BUTTON, ATSPI_ROLE_TOGGLE_BUTTON, ATSPI_ROLE_CHECK_BOX, ATSPI_ROLE_RADIO_BUTTON,
    ATSPI_ROLE_COMBO_BOX,   ATSPI_ROLE_ENTRY,         ATSPI_ROLE_TEXT,      ATSPI_ROLE_LIST,
    ATSPI_ROLE_LIST_ITEM,   ATSPI_ROLE_SPIN_BUTTON};

struct Seen {
    AtspiRole role;
    QString roleName, name;
};

// The name a screen reader speaks for the object. On Linux a combo box's own name is its current
// value; the reader speaks the label that names it (its buddy), without the mnemonic's "(G)".
QString spokenName(const Accessible &object) {
    if (object.role() != ATSPI_ROLE_COMBO_BOX)
        return object.name();
    QString label;
    if (GArray *relations = atspi_accessible_get_relation_set(object.get(), nullptr)) {
        for (guint i = 0; i < relations->len; ++i) {
            AtspiRelation *relation = g_array_index(relations, AtspiRelation *, i);
            if (atspi_relation_get_relation_type(relation) == ATSPI_RELATION_LABELLED_BY &&
                atspi_relation_get_n_targets(relation) > 0 && label.isEmpty())
                label = Accessible(atspi_relation_get_target(relation, 0)).name();
            g_object_unref(relation);
        }
        g_array_free(relations, TRUE);
    }
    return label.remove(QRegularExpression(QStringLiteral("\\(.\\)$")));
}

// Every showing object under `object`, depth first; the editor's form lies deep in its scroll area.
void collectShowing(const Accessible &object, std::vector<Seen> &seen, int depth = 0) {
    for (const Accessible &child : object.children()) {
        if (!child.showing())
            continue;
        seen.push_back({child.role(), child.roleName(), spokenName(child)});
        if (depth < 16 && child.role() != ATSPI_ROLE_COMBO_BOX) // a combo's popup list is hidden
            collectShowing(child, seen, depth + 1);
    }
}

std::string listing(const std::vector<Seen> &seen) {
    std::string all;
    for (const Seen &s : seen)
        all += "  " + s.roleName.toStdString() + " \"" + s.name.toStdString() + "\"\n";
    return all;
}

class EditorForAScreenReader : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work_.isValid());
        for (const char *dir : {"home", "tmp", "runtime"})
            ASSERT_TRUE(QDir().mkpath(work_.filePath(QString::fromLatin1(dir))));
        QFile::setPermissions(work_.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        server_.emplace(work_.path(), QSize(1600, 1000));
        ASSERT_FALSE(server_->display().isEmpty()) << "Xvfb did not start";
        env_ = server_->environment();
        env_.insert(QStringLiteral("QT_QPA_PLATFORMTHEME"), QString());
        env_.insert(QStringLiteral("HOME"), work_.filePath(QStringLiteral("home")));
        env_.insert(QStringLiteral("TMPDIR"), work_.filePath(QStringLiteral("tmp")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), work_.filePath(QStringLiteral("runtime")));
        // Qt publishes its accessibility tree without a running screen reader when asked to.
        env_.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        // A private session bus, on which the accessibility bus starts when first asked for.
        ASSERT_TRUE(startSessionBus(bus_, env_)) << "dbus-daemon did not start";
        atspi_init();
    }
    void TearDown() override {
        run_.reset();
        bus_.kill();
        bus_.waitForFinished(5000);
    }

    QProcessEnvironment env_;
    std::optional<ProgramRun> run_;
    QTemporaryDir work_{QStringLiteral(VAPORICA_WORK_DIR "/editor-reader-XXXXXX")};

private:
    std::optional<XServer> server_;
    QProcess bus_;
};

TEST_F(EditorForAScreenReader, ReachesEveryControlByRoleAndName) {
    run_.emplace(QStringLiteral(VAPORICA_EDITOR_EXECUTABLE), work_.path(), env_);
    ASSERT_TRUE(run_->started());
    const Accessible app = applicationOf(run_->process().processId(), 3 * StartTimeoutMs);
    ASSERT_TRUE(app) << "the editor is not on the accessibility bus\n" << run_->errShown();
    Accessible window;
    for (int tries = 0; tries < 50 && !window; ++tries) {
        atspi_accessible_clear_cache(app.get());
        for (const Accessible &w : app.children())
            if (w.name().startsWith(EditorCaptionStart) && w.showing())
                window = w;
        pumpEvents(200);
    }
    ASSERT_TRUE(window) << "no editor window on the bus";
    pumpEvents(1000);

    std::vector<Seen> seen;
    collectShowing(window, seen);
    for (const Control &c : Controls) {
        const QString name = QString::fromUtf8(c.name);
        const bool reached = std::any_of(seen.begin(), seen.end(), [&](const Seen &s) {
            return s.role == c.role && s.name == name;
        });
        EXPECT_TRUE(reached) << "not reachable: " << c.name << " (" << atspi_role_get_name(c.role)
                             << ")\nseen:\n"
                             << listing(seen);
    }
    for (const Seen &s : seen)
        if (std::find(std::begin(Operated), std::end(Operated), s.role) != std::end(Operated)) {
            EXPECT_FALSE(s.name.trimmed().isEmpty())
                << "a " << s.roleName.toStdString() << " without a name\nseen:\n"
                << listing(seen);
        }
    // The twenty questions of the list, each read with its number.
    const auto questions = std::count_if(seen.begin(), seen.end(), [](const Seen &s) {
        return s.role == ATSPI_ROLE_LIST_ITEM && s.name.startsWith(QStringLiteral("問題 "));
    });
    EXPECT_EQ(questions, 20) << listing(seen);
}

} // namespace
