#pragma once

#include "barcoderules.h"

#include <QList>
#include <optional>

// The rule file: one rule a line, "start,length", CR LF line ends, UTF-8.

QString barcodeRuleFilePath(); // CFG/LT/BarReadRule.ini

// A rule from the texts of its two fields (blanks around them ignored): both whole decimal numbers,
// start 1..9999 and length 0..9999; anything else is no rule.
std::optional<BarcodeRule> parseBarcodeRule(const QString& start, const QString& length);

// The rules of the file; nothing when it cannot be opened. A line is split at its first ","; a
// line that does not give a rule is skipped.
std::optional<QList<BarcodeRule>> readBarcodeRuleFile(const QString& path);

// Rewrites the file whole, creating its folder when needed.
bool writeBarcodeRuleFile(const QString& path, const QList<BarcodeRule>& rules);
