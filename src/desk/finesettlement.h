#pragma once

// The overdue-fine settlement of one reader, as the window frmLendFine drives it: the reader's
// unsettled charges are listed and locked, those this workstation may settle are paid (cash,
// campus card or the reader's prepaid balance, possibly reduced) or waived, and everything is
// recorded through the database procedures.
//
// The charges stay locked (FOR UPDATE NOWAIT: a second desk is told at once that they are in
// use) for as long as the window is open. That lock lives in a transaction on a connection of the
// settlement's own, so that the desk's session stays free for whatever else runs meanwhile (a
// modeless window's query, a timer's work): nothing else ever joins the window's transaction, and
// nothing else can end it. The settlement's statements run on that connection; its message boxes
// come up with the desk's session current. A failed settlement or waiver is undone back to a
// savepoint, so the window keeps its lock; closing the window in any way (its commands, the close
// button, the desk closing, the object going) commits and lets the connection go.

#include "deskcontext.h"
#include "finecharges.h"

#include <QList>
#include <QString>
#include <memory>

class DbSession;

class FineSettlement
{
public:
    // Works on desk.fineReader; desk.fineAmount is the reader's outstanding total, which the
    // settlement keeps up to date for the desk.
    explicit FineSettlement(DeskContext& desk);
    ~FineSettlement();
    FineSettlement(const FineSettlement&) = delete;
    FineSettlement& operator=(const FineSettlement&) = delete;

    // Opens the settlement: with readOutstanding the outstanding total is first read from the
    // reader row (the menu command; the admission hands it over in desk.fineAmount), then the
    // reader's name and prepaid balance are read and the charges loaded and locked. true when
    // the window is to be shown; false after a reported failure, or when the charges did not
    // match the outstanding total, which was then corrected to their total.
    bool open(bool readOutstanding);

    // What the window shows after opening and after each reload.
    struct View
    {
        QString total;         // txtTotalFine
        QString settleable;    // txtAllowFine
        bool proposes = false; // txtTrueFineExceed takes `proposal` (else keeps its text)
        QString proposal;
        QString remarkAddition;      // appended to txtRemark
        bool settleEnabled = false;  // cmdOK: something to settle and right 4005
        bool amountEditable = false; // txtTrueFineExceed: right 4024
    };
    const View& view() const { return m_view; }
    const FineChargeList& charges() const { return m_charges; }
    const QString& certId() const { return m_certId; }
    const QString& readerName() const { return m_readerName; }
    QString prepaidText() const;

    // The window's boxes as the operator left them; settle and waive write back what they change.
    struct Form
    {
        QString amount;  // txtTrueFineExceed
        QString billNo;  // txtBillNo
        int payMode = 0; // cboFineType: 0 cash, 1 card, 2 prepaid balance
        QString remark;  // txtRemark
    };
    enum class Focus { None, Amount, BillNo };
    struct Reply
    {
        bool close = false;        // the window closes
        bool reloaded = false;     // the charges were loaded anew (after a waiver)
        bool printReceipt = false; // the print hand-over holds the notice "超期罚款单"
        Focus focus = Focus::None;
    };

    // cmdOK: settles the settleable charges with the form's actual amount.
    Reply settle(Form& form);
    // cmdCancelExceed: waives the charges of these lines (indexes into charges().lines).
    Reply waive(Form& form, const QList<int>& lines);
    // cmdCancel: the outstanding total becomes the listed total, and the settlement ends.
    void cancel();
    // Ends the window's transaction (a commit) and lets its connection go; safe to call again.
    void close();

private:
    // Makes the settlement's connection the current session for as long as it lives.
    class Use
    {
    public:
        explicit Use(const FineSettlement& settlement);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        DbSession* m_previous;
    };
    // Undone: nothing recorded, the window keeps its lock; Lost: nothing recorded, and the window
    // has lost its lock (a failed commit, a lost connection).
    enum class Recording { Undone, Committed, Lost };

    bool loadCharges();
    bool takeBillNumber(Form& form, Reply& reply);
    bool hasRight(const QString& code) const;
    int say(const QString& message) const; // a message box, shown with the desk's session current
    bool undo(const char* savepoint);
    bool failUndoing(const char* savepoint); // undoes and reports the database failure
    bool refuseUndoing(const char* savepoint, const QString& message);
    static QString prepaidRefusal(qint64 balanceCents);
    // finesettle.cpp
    Recording record(const Form& form, qint64 actualCents);
    bool settleRows(const Form& form, qint64 actualCents);
    bool chargeCard(qint64 actualCents);
    bool recordAccounts(const Form& form, qint64 actualCents, qint64 reductionCents);
    void handOverReceipt(const Form& form, qint64 actualCents, qint64 reductionCents);

    DeskContext& m_desk;
    DbSession* const m_deskSession;
    std::unique_ptr<DbSession> m_session; // the window's own connection
    QString m_certId;
    QString m_readerName;
    qint64 m_prepaidCents = 0;
    FineChargeList m_charges;
    View m_view;
    QList<qint64> m_charged; // what each settleable line was charged by the last settlement
    QString m_time;          // the server's date and time of the last settlement
};
