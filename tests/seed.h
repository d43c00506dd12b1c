#pragma once

#include <QRandomGenerator>
#include <QtGlobal>

// The seed of a random test, printed so that CARDISTO_SEED=N replays a failed run.
inline quint32 testSeed() {
    const quint32 seed = qEnvironmentVariableIsSet("CARDISTO_SEED")
                             ? qEnvironmentVariable("CARDISTO_SEED").toUInt()
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    return seed;
}
