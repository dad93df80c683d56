#pragma once

// Commands run as a Japanese school PC runs them, for the tests of what the build installs: in the
// ja_JP.UTF-8 locale, with no input, and what they said shown whole when they fail.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <string>

namespace vaporica::e2e {

inline const QString Locale = QStringLiteral("ja_JP.UTF-8");
// apt-get waits up to 300 s for the package manager's lock, then does its work.
constexpr int CommandTimeoutMs = 600000;

// A command's end: its status (-1 when it did not start or end) and both streams together.
struct Ran {
    QString command;
    int status = -1;
    QByteArray out;
    // The command and what it said, its middle left out when long: a failure's message.
    std::string shown() const {
        const QByteArray said =
            out.size() <= 8000 ? out : out.left(2000) + "\n[…]\n" + out.right(6000);
        return "$ " + command.toStdString() + "\n(status " + std::to_string(status) + ")\n" +
               said.toStdString();
    }
};

// What a command's output is read from: both streams, or a query's answer alone.
enum class Streams { Both, AnswerOnly };

// Runs a command in the test's locale with no input, as a Japanese school PC would.
inline Ran run(const QStringList &command, Streams streams = Streams::Both) {
    Ran ran;
    ran.command = command.join(QLatin1Char(' '));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), Locale);
    env.insert(QStringLiteral("LANG"), Locale);
    process.setProcessEnvironment(env);
    if (streams == Streams::Both)
        process.setProcessChannelMode(QProcess::MergedChannels);
    else
        process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(command.value(0), command.mid(1));
    if (!process.waitForFinished(CommandTimeoutMs)) {
        ran.out = process.readAll() + "\n" + process.errorString().toUtf8();
        process.kill();
        process.waitForFinished(5000);
        return ran;
    }
    ran.out = process.readAll();
    if (process.exitStatus() == QProcess::NormalExit)
        ran.status = process.exitCode();
    return ran;
}

// The last run ended with this status and printed a line matching each pattern.
inline testing::AssertionResult ended(const Ran &ran, int want, const QStringList &patterns = {}) {
    if (ran.status != want)
        return testing::AssertionFailure()
               << "exit status " << ran.status << ", expected " << want << ":\n"
               << ran.shown();
    const QString out = QString::fromUtf8(ran.out);
    for (const QString &pattern : patterns)
        if (!out.contains(QRegularExpression(pattern, QRegularExpression::MultilineOption)))
            return testing::AssertionFailure() << "no \"" << pattern.toStdString() << "\" in:\n"
                                               << ran.shown();
    return testing::AssertionSuccess();
}

inline QString literal(const QString &text) {
    return QRegularExpression::escape(text);
}

} // namespace vaporica::e2e
