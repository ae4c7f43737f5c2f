#include "campuscard.h"

#include "fineamounts.h"
#include "startup/applicationtitle.h"
#include "startup/desksettings.h"

#include <memory>

namespace {

std::unique_ptr<CampusCard>& deskComponent()
{
    static std::unique_ptr<CampusCard> component;
    return component;
}

} // namespace

void SimulatedCampusCard::charge(const QString& certId, const QString& cardBarcode, double amount,
                                 qint16 chargeMode, const QString& transactionTime, const QString& note,
                                 int& result)
{
    if (!m_refusal.isEmpty()) {
        m_error = m_refusal;
        result = 1;
        return;
    }
    m_error.clear();
    m_charges.append({certId, cardBarcode, amount, chargeMode, transactionTime, note});
    result = 0;
}

CampusCard* LIB_CampusCard()
{
    return deskComponent().get();
}

void LIB_CreateCampusCard()
{
    deskComponent().reset();
    const auto store = openSettingsSection(LIB_ApplicationTitle(), QStringLiteral("Settings"));
    deskComponent() = std::make_unique<SimulatedCampusCard>(DeskSettingKeys::CardRefusal.read(*store));
}

void LIB_ReleaseCampusCard()
{
    deskComponent().reset();
}

qint16 LIB_CardChargeMode(const DeskSettings& settings, qint64 settleableCents)
{
    if (settings.cardConfirmWindow != 1)
        return 0;
    const qint16 account = settings.accountChangeable == 1 ? 3 : 1;
    if (settings.cardAsksPassword != 1)
        return account;
    const bool passwordNeeded = LIB_MoneyValue(settings.passwordFreeAmount) <= settleableCents;
    return passwordNeeded ? qint16(account + 10) : account;
}
