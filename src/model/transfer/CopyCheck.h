#pragma once

#include "bridge/FileInventory.h"

#include <QString>

#include <optional>

// Whether `copy` holds every file of `source` with the same byte size; files the copy has
// beyond those do not matter. The relative path of the first file (in path order) that is
// missing or differs, absent when the copy is whole.
std::optional<QString> firstDifference(const FileInventory &source, const FileInventory &copy);
