#pragma once

#include <QObject>

// Pure text rules of the bridge: quoting, summaries, parsers, name order, sizing.
class TextRulesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lastMeaningfulLine_data();
    void lastMeaningfulLine();
    void shellQuoteReachesShellAsOneWord_data();
    void shellQuoteReachesShellAsOneWord();
    void shellQuoteExamples();
    void deviceList_data();
    void deviceList();
    void displayName_data();
    void displayName();
    void listedName_data();
    void listedName();
    void listingLine_data();
    void listingLine();
    void nameList_data();
    void nameList();
    void listingPaths_data();
    void listingPaths();
    void listingHidden();
    void listingSortOrder();
    void listingReadInPieces();
    void walkedFolder_data();
    void walkedFolder();
    void emptyListing_data();
    void emptyListing();
    void nameOrder_data();
    void nameOrder();
    void storageListing_data();
    void storageListing();
    void diskFree_data();
    void diskFree();
    void phoneReport();
    void phoneReportBattery_data();
    void phoneReportBattery();
    void installOutcome_data();
    void installOutcome();
    void parseStat_data();
    void parseStat();
    void folderSizeInBytes_data();
    void folderSizeInBytes();
    void localSize();
    void terminalEscapes_data();
    void terminalEscapes();
    void adbVersion_data();
    void adbVersion();
    void pairingRefusal_data();
    void pairingRefusal();
    void processIoText_data();
    void processIoText();
};
