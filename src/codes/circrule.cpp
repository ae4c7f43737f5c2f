#include "circrule.h"

#include "codetables.h"

#include <cmath>

namespace {

int wholeNumber(const ResultTable& table, int column, int row)
{
    return int(std::lround(table.number(column, row)));
}

} // namespace

CircRule CircRule::fromRow(const ResultTable& t, int row)
{
    using namespace CircRuleColumn;
    CircRule rule;
    rule.ruleNo = t.text(RuleNo, row);
    rule.ruleName = t.text(RuleName, row);
    rule.timeUnit = t.text(TimeUnit, row);
    rule.normTerm = wholeNumber(t, NormTerm, row);
    rule.limtLendQty = wholeNumber(t, LimtLendQty, row);
    rule.maxLendQty = wholeNumber(t, MaxLendQty, row);
    rule.pergYsno = t.text(PergYsno, row);
    rule.renewYsno = t.text(RenewYsno, row);
    rule.maxRenewTimes = wholeNumber(t, MaxRenewTimes, row);
    rule.renewBefExpDays = wholeNumber(t, RenewBefExpDays, row);
    rule.fstRenewDays = wholeNumber(t, FstRenewDays, row);
    rule.addRenewDays = wholeNumber(t, AddRenewDays, row);
    rule.pregKeepDays = wholeNumber(t, PregKeepDays, row);
    rule.minUseDays = wholeNumber(t, MinUseDays, row);
    rule.useBefExpDays = wholeNumber(t, UseBefExpDays, row);
    rule.useAftAsbackDays = wholeNumber(t, UseAftAsbackDays, row);
    rule.maxExcdTimes = wholeNumber(t, MaxExcdTimes, row);
    rule.fstNotice = wholeNumber(t, FstNotice, row);
    rule.sndNotice = wholeNumber(t, SndNotice, row);
    rule.thdNotice = wholeNumber(t, ThdNotice, row);
    rule.unfineExtDays = wholeNumber(t, UnfineExtDays, row);
    rule.fstFineDays = wholeNumber(t, FstFineDays, row);
    rule.fstFinePrice = t.number(FstFinePrice, row);
    rule.otherFinePrice = t.number(OtherFinePrice, row);
    rule.techFee = t.number(TechFee, row);
    rule.servFee = t.number(ServFee, row);
    rule.fstNoticeNo = t.text(FstNoticeNo, row);
    rule.sndNoticeNo = t.text(SndNoticeNo, row);
    rule.thdNoticeNo = t.text(ThdNoticeNo, row);
    rule.pregNoticeNo = t.text(PregNoticeNo, row);
    rule.keepBookQty = wholeNumber(t, KeepBookQty, row);
    rule.renewCalcFlag = t.text(RenewCalcFlag, row);
    rule.ruleFlag = t.text(RuleFlag, row);
    rule.regDay = t.text(RegDay, row);
    rule.uptDay = t.text(UptDay, row);
    rule.respWkr = t.text(RespWkr, row);
    return rule;
}

int LIB_CircRuleRow(const QString& ruleNo)
{
    const ResultTable& rules = LIB_CodeTable(CodeTable::CircRules);
    for (int row = 2; row < rules.recordCount() + 2; ++row) {
        if (rules.text(CircRuleColumn::RuleNo, row) == ruleNo)
            return row;
    }
    return -1;
}

std::optional<CircRule> LIB_FindCircRule(const QString& ruleNo)
{
    const int row = LIB_CircRuleRow(ruleNo);
    if (row < 0)
        return std::nullopt;
    return CircRule::fromRow(LIB_CodeTable(CodeTable::CircRules), row);
}
