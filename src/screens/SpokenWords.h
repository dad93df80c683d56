#pragma once

// What the screens say to a screen reader in words where a sighted pupil reads pictures: the
// question, the gas and reagents of the current question, what each choice picture and set-up
// shows. Built from the bank and the one list of names, so it always matches the pictures shown.

#include <QString>
#include <QStringList>

namespace vaporica {

// The parts as sentences, each closed by one 。 (a part's own closing 。 is kept once), empty
// parts left out.
QString sentences(const QStringList &parts);

// What each generator (1..4) and collection method (1..3) picture shows: generatorWords and
// collectionName of base/Names.h.

// "AとB": the two reagents of question q.
QString reagentsOf(int q);

// The question of the gas quiz: 「問題: AとB。発生する気体は何ですか。」
QString gasQuestionWords(int q);

// The top of the apparatus quiz and what it asks: the gas, its reagents, the two choices.
QString apparatusQuestionWords(int q);

// What question q's set-up shows: its generator and its collection method.
QString setUpWords(int q);

// The whole summary of question q; equationWords are the words of its equation picture (its
// reasons line included), setUp the words of its set-up picture; either may be empty.
QString summaryWords(int q, const QString &equationWords, const QString &setUp);

} // namespace vaporica
