#include "screens/ScreenFactory.h"

#include "screens/ApparatusQuizScreen.h"
#include "screens/GasQuizScreen.h"
#include "screens/MenuScreen.h"
#include "screens/PropertiesScreen.h"
#include "screens/SummaryScreen.h"
#include "widgets/Layout.h"

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

QRect placeInWindow(ScreenId id, std::string_view name, int index) {
    switch (id) {
    case ScreenId::Menu:
        return placeInTable(MenuScreen::layout(), name, index);
    case ScreenId::GasQuiz:
        return placeInTable(GasQuizScreen::layout(), name, index);
    case ScreenId::ApparatusQuiz:
        return placeInTable(ApparatusQuizScreen::layout(), name, index);
    case ScreenId::Summary:
        return placeInTable(SummaryScreen::layout(), name, index);
    case ScreenId::Properties:
        return placeInTable(PropertiesScreen::layout(), name, index);
    }
    return {};
}

QSize largestWindow() {
    QSize largest;
    for (const TwipsSize client :
         {MenuScreen::Client, GasQuizScreen::Client, ApparatusQuizScreen::Client,
          SummaryScreen::Client, PropertiesScreen::Client})
        largest = largest.expandedTo(client.pixels());
    return largest;
}

} // namespace vaporica
