#pragma once

#include <QList>
#include <QString>

// One position rule: the characters of a card code from start (1-based) for length characters.
struct BarcodeRule
{
    int start = 1;  // 1..maxField
    int length = 0; // 0..maxField
    static constexpr int maxField = 9999;
    friend bool operator==(const BarcodeRule&, const BarcodeRule&) = default;
};

// The workstation's barcode read rules: they turn a raw reader-card scan into the card number the
// library knows. Book barcodes are never normalised. The switches live in the per-user store
// (application "LT", section "BarReadRule"), the position rules in CFG/LT/BarReadRule.ini.
class BarcodeReadRules
{
public:
    static BarcodeReadRules& current();

    int used = 0;               // "Used": 1 normalises scans, anything else leaves them as they are
    bool positionRules = false; // "Type": true cuts by the position rules, false applies the separator rule
    QList<BarcodeRule> rules;

    // Reads Used and Type from the store, then the rule file when it can be opened (otherwise the
    // rules loaded before stay). Lines whose fields are not whole numbers in range are skipped.
    void load();

    // The card number the raw code stands for, whether or not the rules are in use.
    QString normalise(const QString& raw) const;
    // What a reader scan box looks up: the normalised code when the rules are in use.
    QString cardNumberFromScan(const QString& raw) const { return used == 1 ? normalise(raw) : raw; }

    // The editor's OK: rewrites the rule file, stores Type and Used, and loads everything again.
    // false, with nothing stored, when the rule file cannot be written.
    bool save(bool use, bool byPosition, const QList<BarcodeRule>& newRules);

private:
    QString applySeparatorRule(const QString& code) const;
    QString applyPositionRules(const QString& code) const;
};
