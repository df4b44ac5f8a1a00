#pragma once

#include <QStringList>

// The engine-specific DDL of both files. Text compares and sorts without regard to case, yes/no columns hold
// 1/0, dates are ISO text.
namespace Schema {
QStringList mainFileStatements();
QStringList holdingFileStatements();
// The 50 states in alphabetical order; the n-th (from 0) carries StateId n + 2.
const QStringList& stateNames();
inline constexpr int kFirstStateId = 2;
} // namespace Schema
