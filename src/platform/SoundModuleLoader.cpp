#include "platform/SoundModule.h"

#include "platform/RegularFile.h"

#include <QLibrary>
#include <cstdio>
#include <map>

namespace vaporica {

namespace {

using CreatePlayer = SoundPlayer *(*)();

class SilentPlayer final : public SoundPlayer {
public:
    void play(const QString &) override {}
};

void reportUnloadable(const QString &modulePath, const QString &why) {
    std::fprintf(stderr, "ヴァポリカ: 音を鳴らせません (音声モジュールを読み込めません): %s: %s\n",
                 modulePath.toUtf8().constData(), why.toUtf8().constData());
}

struct Loaded {
    QLibrary *library;
    CreatePlayer entry;
};

// Never destroyed: a module's code must outlast every player, to the process's end.
std::map<QString, Loaded> &loadedModules() {
    static auto *modules = new std::map<QString, Loaded>;
    return *modules;
}

// Each module is loaded once and never unloaded: every player made from it runs its code. A
// module that cannot be loaded is reported once, not at every screen.
CreatePlayer moduleEntry(const QString &modulePath) {
    auto &modules = loadedModules();
    if (auto found = modules.find(modulePath); found != modules.end())
        return found->second.entry;
    // The loader opens the module with a plain open: a named pipe in its place would wait for good.
    QFile probe;
    if (const QString problem = openProblem(openRegularFile(modulePath, probe));
        !problem.isEmpty()) {
        reportUnloadable(modulePath, problem);
        modules.emplace(modulePath, Loaded{nullptr, nullptr});
        return nullptr;
    }
    probe.close();
    auto *library = new QLibrary(modulePath);
    auto entry = reinterpret_cast<CreatePlayer>(library->resolve(SoundModuleEntry));
    if (entry == nullptr)
        reportUnloadable(modulePath, library->errorString());
    modules.emplace(modulePath, Loaded{library, entry});
    return entry;
}

} // namespace

bool soundModuleHoldsTheEnd() {
    using LeftLoading = bool (*)();
    for (const auto &[path, loaded] : loadedModules()) {
        if (loaded.library == nullptr || loaded.entry == nullptr)
            continue;
        auto leftLoading =
            reinterpret_cast<LeftLoading>(loaded.library->resolve(SoundModuleLeftLoading));
        if (leftLoading != nullptr && leftLoading())
            return true;
    }
    return false;
}

std::unique_ptr<SoundPlayer> makeModuleSoundPlayer(const QString &modulePath) {
    if (CreatePlayer entry = moduleEntry(modulePath))
        return std::unique_ptr<SoundPlayer>(entry());
    return std::make_unique<SilentPlayer>();
}

} // namespace vaporica
