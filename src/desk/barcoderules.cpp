#include "barcoderules.h"

#include "barcoderulesfile.h"
#include "startup/desksettingsvalue.h"

namespace {

const SettingValue<int> UsedKey{"Used", 0};
const SettingValue<bool> TypeKey{"Type", false, BoolSpelling::TrueFalse};

std::unique_ptr<QSettings> openRuleSection()
{
    return openSettingsSection(QStringLiteral("LT"), QStringLiteral("BarReadRule"));
}

} // namespace

BarcodeReadRules& BarcodeReadRules::current()
{
    static BarcodeReadRules rules;
    return rules;
}

void BarcodeReadRules::load()
{
    {
        const auto store = openRuleSection();
        positionRules = TypeKey.read(*store);
        used = UsedKey.read(*store);
    }
    if (std::optional<QList<BarcodeRule>> fromFile = readBarcodeRuleFile(barcodeRuleFilePath()))
        rules = *fromFile;
}

QString BarcodeReadRules::normalise(const QString& raw) const
{
    QString code = raw;
    // Cards of one issuer end in "*SS*", which stands for the character 成.
    if (code.endsWith(QLatin1String("*SS*")))
        code = code.chopped(4) + QStringLiteral("成");
    return positionRules ? applyPositionRules(code) : applySeparatorRule(code);
}

// Codes with "025" at positions 8 to 10 carry the card number after the fourth "=".
QString BarcodeReadRules::applySeparatorRule(const QString& code) const
{
    if (code.mid(7, 3) != QLatin1String("025"))
        return code;
    QString rest = code;
    for (int field = 0; field < 4; ++field) {
        const qsizetype separator = rest.indexOf(QLatin1Char('='));
        rest = separator < 0 ? QString() : rest.mid(separator + 1);
    }
    return rest.isEmpty() ? QString() : QLatin1Char('5') + rest.left(8);
}

QString BarcodeReadRules::applyPositionRules(const QString& code) const
{
    if (rules.isEmpty())
        return code;
    const BarcodeRule& first = rules.first();
    if (code.size() < first.start + first.length - 1) // too short for the rules: not such a card
        return code;
    QString number;
    for (const BarcodeRule& rule : rules)
        number += code.mid(rule.start - 1, rule.length);
    return number;
}

bool BarcodeReadRules::save(bool use, bool byPosition, const QList<BarcodeRule>& newRules)
{
    if (!writeBarcodeRuleFile(barcodeRuleFilePath(), newRules))
        return false;
    {
        const auto store = openRuleSection();
        TypeKey.write(*store, byPosition);
        UsedKey.write(*store, use ? 1 : 0);
    }
    used = use ? 1 : 0;
    positionRules = byPosition;
    load();
    return true;
}
