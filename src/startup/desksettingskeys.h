#pragma once

#include "desksettingsvalue.h"

// The keys of the desk's section "Settings" with their defaults.
namespace DeskSettingKeys {

// Read at login.
inline const SettingValue<int> ReadChoose{"LT3_ReadCHose", 1};
inline const SettingValue<int> CheckVolt{"LT3_CheckVolt", 1};
inline const SettingValue<int> CheckFine{"LT3_CheckFine", 1};
inline const SettingValue<int> CheckValue{"LT3_CheckValue", 0};

// Read when the main window starts.
inline const SettingValue<QString> StyleID{"StyleID", QStringLiteral("DefaultTheme")};
inline const SettingValue<QString> FontName{"FontName", QStringLiteral("宋体")};
inline const SettingValue<double> FontSize{"FontSize", 9.0};
inline const SettingValue<bool> FontBold{"FontBold", false};
inline const SettingValue<int> SubfieldMark{"BM_SUBID_REP", 31};
inline const SettingValue<int> PayMode{"PayMode", 0};
inline const SettingValue<int> Window{"Window", 0};
inline const SettingValue<int> OutPut{"OutPut", 0};
inline const SettingValue<QString> MaxMoney{"MaxMoney", QStringLiteral("0.00")};
inline const SettingValue<int> ChgAcct{"ChgAcct", 0};
inline const SettingValue<int> Card{"Card", 0};
inline const SettingValue<int> RedrIN{"RedrIN", 1};
inline const SettingValue<int> PrtExceed{"PrtExceed", 1};
inline const SettingValue<int> CopyLend{"CopyLend", 0};
inline const SettingValue<QString> CopyLendRule{"CopyLendRule", QString()};
inline const SettingValue<int> ChkRedrPic{"ChkRedrPic", 1};
inline const SettingValue<int> DealFine{"DealFine", 1};

// Read when the campus-card component is created (start, mnuReconn): the built-in simulator
// refuses every charge with this text, or accepts every charge while it is empty.
inline const SettingValue<QString> CardRefusal{"CardRefusal", QString()};

} // namespace DeskSettingKeys
