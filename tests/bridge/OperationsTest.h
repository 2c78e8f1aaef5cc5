#pragma once

#include <QObject>

// Every bridge operation against the scripted stand-in: the exact argument vectors,
// the reading of canned answers, the throw / never-throw split.
class OperationsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void devices();
    void connectAndPair();
    void pairWithAnAdbTooOld();
    void listCommand_data();
    void listCommand();
    void listOutcome_data();
    void listOutcome();
    void makeDirectoryAndDelete();
    void createFolder_data();
    void createFolder();
    void rename_data();
    void rename();
    void existingNames();
    void unreadableNamesAreNotPassedOn();
    void allFilesWalksDepthFirst();
    void allFilesWalksLinkCycleOnce();
    void remoteSizeAndKind_data();
    void remoteSizeAndKind();
    void storageVolumes_data();
    void storageVolumes();
    void phoneInfo();
    void screenshot_data();
    void screenshot();
    void install_data();
    void install();
    void installCancelled();
    void missingAdb();
};
