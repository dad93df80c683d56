#include "screens/ScreenFactory.h"

#include "screens/ApparatusQuizScreen.h"
#include "screens/GasQuizScreen.h"
#include "screens/MenuScreen.h"
#include "screens/PropertiesScreen.h"
#include "screens/SummaryScreen.h"

namespace vaporica {

Form *createScreen(ScreenId id) {
    switch (id) {
    case ScreenId::Menu:
        return new MenuScreen;
    case ScreenId::GasQuiz:
        return new GasQuizScreen;
    case ScreenId::ApparatusQuiz:
        return new ApparatusQuizScreen;
    case ScreenId::Summary:
        return new SummaryScreen;
    case ScreenId::Properties:
        return new PropertiesScreen;
    }
    return new MenuScreen;
}

} // namespace vaporica
