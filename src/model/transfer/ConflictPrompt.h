#pragma once

#include <QMetaType>
#include <QStringList>
#include <QUuid>

// The open name-clash question: which destination names already exist, and where.
struct ConflictPrompt
{
    QUuid id;
    QStringList names;
    bool toPhone = false;

    bool operator==(const ConflictPrompt &) const = default;
};

// One answer applies to every clashing item of the batch.
enum class ConflictResolution { replace, keepBoth, skip, cancel };

Q_DECLARE_METATYPE(ConflictPrompt)
