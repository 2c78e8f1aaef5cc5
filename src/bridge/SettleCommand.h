#pragma once

#include <QList>
#include <QString>

#include <optional>

// One finished copy at `temporary` that is to take the name `destination`.
struct SettleStep
{
    QString temporary;
    QString destination;
    // With it, a copy that left nothing at `temporary` (a push creates no empty folders)
    // settles as an empty folder.
    bool isFolder = false;
};

// The phone shell command that settles `steps` one after the other. A file, or a folder
// whose destination does not exist, is renamed; a folder onto an existing folder is merged,
// each of its files renamed over its counterpart and its other entries kept. Nothing is ever
// moved into a folder that happens to carry the destination's name. Each step's messages are
// followed by a line of its own with `marker` and the step's status; a marker no file name
// can contain (a random one per command) keeps a crafted name from passing for that line.
QString settleCommand(const QList<SettleStep> &steps, const QString &marker);

// A fresh random marker for one settleCommand run.
QString newSettleMarker();

// How many of the leading `steps` one settleCommand run takes: as many as keep the command
// within what adb of any phone accepts, and always the first.
qsizetype settleStepsPerRun(const QList<SettleStep> &steps);

// For each of the `count` steps, from settleCommand's output: absent when the step
// succeeded, otherwise what it printed (its error messages; empty when the output was cut
// off before its line).
QList<std::optional<QString>> settleOutcomes(const QString &output, qsizetype count, const QString &marker);
