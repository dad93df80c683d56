#pragma once

#include <QtGlobal>

namespace vaporica {

// Qt ends a program that can open no display with abort() (a core dump) after lines in English.
// While the application object is built, this holds Qt's messages back; should Qt give up, it says
// in Japanese that no display could be opened, with Qt's lines as detail, and ends with status 1.
class DisplayCheck {
public:
    DisplayCheck();
    // The application object stands: Qt's held lines are passed on and its own handler restored.
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck &) = delete;
    DisplayCheck &operator=(const DisplayCheck &) = delete;

private:
    QtMessageHandler previous_;
};

} // namespace vaporica
