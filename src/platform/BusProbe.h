#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>

namespace vaporica {

// What a D-Bus server did when asked, within a bound.
enum class BusAnswer {
    Answers,       // it answered (also with an error)
    Unreachable,   // no such server: nothing to wait for, the toolkit finds that out at once too
    Silent,        // it took the connection and said nothing within the bound
    ServiceSilent, // the bus answered, but not the service it was asked about
};

// Asks the server at a D-Bus address (as in DBUS_SESSION_BUS_ADDRESS; unix paths and abstract
// names) to authenticate. Qt's own connection waits for this answer with no time-out, on the
// window's thread, so a hung desktop session would hold the program before its first window.
BusAnswer probeBus(const QByteArray &address, std::chrono::milliseconds bound);

// Asks the session bus at `address` where the accessibility bus is (org.a11y.Bus GetAddress,
// without starting the service). Answers with the address in `a11yAddress`, left empty when no
// accessibility service runs; Silent when the bus does not answer in time, ServiceSilent when the
// bus does and the service does not (a hung accessibility launcher, which Qt asks on the session
// bus, waiting 25 s a call).
BusAnswer askAccessibilityBus(const QByteArray &address, std::chrono::milliseconds bound,
                              QByteArray &a11yAddress);

} // namespace vaporica
