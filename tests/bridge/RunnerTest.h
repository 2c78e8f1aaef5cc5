#pragma once

#include <QObject>

class RunnerTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void eventLoopRunsWhileChildRuns();
    void argumentVectorReachesChildUnchanged();
    void largeInterleavedStreamsStayComplete();
    void splitCharacterIsKeptButNotPassedOn();
    void invalidBytesAreRepairedInText();
    void cancelledTokenEndsChild();
    void cancelDuringRunEndsChild();
    void statusAndSignal_data();
    void statusAndSignal();
    void missingAdbFailsEveryRun();
    void startErrorIsPassedOn();
    void lookupTakesFirstExecutableCandidate();
    void lookupIsOnceAcrossThreads();
    void defaultCandidatesNeverUsePath();
    void terminalModeGivesProgressLines();
    void terminalModeCancels();
    void terminalReaderKeepsEveryByteInOrder();
    void terminalReaderStopsWhileWaiting();
    void startedGivesTheChildsProcessId();
    void processCountersFollowWrites();
};
