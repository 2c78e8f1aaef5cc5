#pragma once

#include <QObject>
#include <QString>

#include <memory>

class PhoneFixture;

// The phone-side operations through the real adb and emulated phones.
class PhoneTest : public QObject
{
    Q_OBJECT
public:
    PhoneTest();
    ~PhoneTest() override;

private Q_SLOTS:
    void initTestCase();
    void listsAwkwardNamesExactly();
    void createRenameDelete_data();
    void createRenameDelete();
    void deleteRemovesSeveralPathsAtOnce();
    void existingNamesOfMissingFolder();
    void refusedListing();
    void missingFolder();
    void allFilesSkipsHiddenAndLinkCycles();
    void remoteSizeAndKind();
    void storageVolumes_data();
    void storageVolumes();
    void phoneInfo();
    void screenshot();
    void install_data();
    void install();
    void largeFolderListsWhole();
    void cleanupTestCase();

private:
    QString host(const QString &phonePath) const;

    std::unique_ptr<PhoneFixture> m_phones;
    QString m_serial;
    QString m_locked;
};
