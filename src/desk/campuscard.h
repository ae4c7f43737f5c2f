#pragma once

// The campus-card payment component: the fine window charges a reader's campus card through it.
// The desk holds one component for the run: created when the main window starts with the Card
// setting at 1, dropped and created anew by mnuReconn, released when the desk closes. Until a
// real component is configured the desk uses its built-in simulator, which accepts every charge,
// or refuses every charge with the text of the CardRefusal setting.

#include <QList>
#include <QString>
#include <QtGlobal>

struct DeskSettings;

class CampusCard
{
public:
    virtual ~CampusCard() = default;

    // Charges `amount` to the reader's card. `result` is set to 0 when the card was charged;
    // otherwise errorText() tells why not.
    virtual void charge(const QString& certId, const QString& cardBarcode, double amount, qint16 chargeMode,
                        const QString& transactionTime, const QString& note, int& result) = 0;
    virtual QString errorText() const = 0;
};

class SimulatedCampusCard : public CampusCard
{
public:
    // An empty refusal accepts every charge.
    explicit SimulatedCampusCard(QString refusal) : m_refusal(std::move(refusal)) {}

    void charge(const QString& certId, const QString& cardBarcode, double amount, qint16 chargeMode,
                const QString& transactionTime, const QString& note, int& result) override;
    QString errorText() const override { return m_error; }

    // The charges the simulated cards accepted, as a card statement lists them.
    struct Charge
    {
        QString certId;
        QString cardBarcode;
        double amount = 0;
        qint16 chargeMode = 0;
        QString transactionTime;
        QString note;
    };
    const QList<Charge>& charges() const { return m_charges; }

private:
    QString m_refusal;
    QString m_error;
    QList<Charge> m_charges;
};

// The desk's component; nullptr while none is created.
CampusCard* LIB_CampusCard();
// Drops the desk's component and creates it anew from the settings store.
void LIB_CreateCampusCard();
void LIB_ReleaseCampusCard();

// The charge mode flag handed to the component, from the settings Window, ChgAcct, OutPut and
// MaxMoney and the settleable amount: 0 without a confirmation window; otherwise 1 (3 when the
// account may be changed), plus 10 when the card asks for its password and the amount reaches
// the password-free maximum.
qint16 LIB_CardChargeMode(const DeskSettings& settings, qint64 settleableCents);
