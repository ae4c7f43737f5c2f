#pragma once

#include "desksettingskeys.h"

#include <QFont>
#include <QString>

// How overdue fines are paid (PayMode).
enum DeskPayMode { PayByCash = 0, PayByCard = 1, PayFromPrepayment = 2, PayModeChosenAtSettlement = 3 };

// The workstation's desk settings: one process-wide record, filled from the per-user store in two
// steps (the admission switches at login, the rest when the main window starts). Switches keep the
// stored integer, since their users test "is 1" or "is not 0".
struct DeskSettings
{
    // Read at login.
    int readingMode = DeskSettingKeys::ReadChoose.fallback(); // start mode 0..3
    int checkViolations = DeskSettingKeys::CheckVolt.fallback();
    int checkDebts = DeskSettingKeys::CheckFine.fallback();
    int localReaderTypesOnly = DeskSettingKeys::CheckValue.fallback();

    // Read when the main window starts.
    QString themeId = DeskSettingKeys::StyleID.fallback();
    QString fontName = DeskSettingKeys::FontName.fallback();
    double fontSize = DeskSettingKeys::FontSize.fallback();
    bool fontBold = DeskSettingKeys::FontBold.fallback();
    int subfieldMarkCode = DeskSettingKeys::SubfieldMark.fallback();
    int payMode = DeskSettingKeys::PayMode.fallback();
    int cardConfirmWindow = DeskSettingKeys::Window.fallback();
    int cardAsksPassword = DeskSettingKeys::OutPut.fallback();
    QString passwordFreeAmount = DeskSettingKeys::MaxMoney.fallback();
    int accountChangeable = DeskSettingKeys::ChgAcct.fallback();
    int campusCard = DeskSettingKeys::Card.fallback();
    int checkValidity = DeskSettingKeys::RedrIN.fallback();
    int printFineNotice = DeskSettingKeys::PrtExceed.fallback();
    int copyLend = DeskSettingKeys::CopyLend.fallback();
    QString copyLendRule = DeskSettingKeys::CopyLendRule.fallback();
    int showReaderPhoto = DeskSettingKeys::ChkRedrPic.fallback();
    int settleFines = DeskSettingKeys::DealFine.fallback();

    static DeskSettings& current();

    // LT3_ReadCHose, LT3_CheckVolt, LT3_CheckFine, LT3_CheckValue.
    void readLoginSwitches();
    // Every other key, in the order the main window has always read them.
    void readMainWindowSettings();
    // What the settings window's OK stores: every key but LT3_CheckValue and StyleID.
    void writeEditableSettings() const;
    // The reader-validity window turns the local-reader-type check on or off.
    void saveLocalReaderTypesOnly(int value);
    // The main window stores the theme in use when it closes.
    void saveThemeId(const QString& id);

    QFont displayFont() const;
    void setDisplayFont(const QFont& font); // name, size and bold
    void resetDisplayFont();                // 宋体, 9, not bold
    QChar subfieldMark() const { return QChar(subfieldMarkCode); }
    bool copyLendAvailable() const { return copyLend != 0; }
    bool campusCardInUse() const { return campusCard == 1; }
};
