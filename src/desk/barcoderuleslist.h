#pragma once

#include "barcoderules.h"

#include <QStringList>

// The rule editor's list: the rules and the lines that show them. A line is the rule number
// ("00") padded to 10 characters, the start padded to 14, then the length, so the length always
// begins at character 25.
class BarcodeRuleList
{
public:
    enum class AddResult { Added, Incomplete, BadStart, BadLength };

    explicit BarcodeRuleList(const QList<BarcodeRule>& rules = {}) : m_rules(rules) {}

    // Appends a rule from the two boxes' texts. Incomplete (nothing added) when either is blank;
    // BadStart / BadLength when a field is not a whole number in its range.
    AddResult add(const QString& startText, const QString& lengthText);
    // Removes a rule; the following ones move up a number. false for an index outside the list.
    bool remove(int index);

    const QList<BarcodeRule>& rules() const { return m_rules; }
    QStringList lines() const;

    static QString line(int number, const BarcodeRule& rule);

private:
    QList<BarcodeRule> m_rules;
};
