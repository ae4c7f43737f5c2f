#include "desksettings.h"

#include "applicationtitle.h"

namespace {

std::unique_ptr<QSettings> openDeskSection()
{
    return openSettingsSection(LIB_ApplicationTitle(), QStringLiteral("Settings"));
}

} // namespace

using namespace DeskSettingKeys;

DeskSettings& DeskSettings::current()
{
    static DeskSettings settings;
    return settings;
}

void DeskSettings::readLoginSwitches()
{
    const auto store = openDeskSection();
    checkViolations = CheckVolt.read(*store);
    checkDebts = CheckFine.read(*store);
    localReaderTypesOnly = CheckValue.read(*store);
    readingMode = ReadChoose.read(*store);
}

void DeskSettings::readMainWindowSettings()
{
    const auto store = openDeskSection();
    themeId = StyleID.read(*store);
    fontName = FontName.read(*store);
    fontSize = FontSize.read(*store);
    fontBold = FontBold.read(*store);
    subfieldMarkCode = SubfieldMark.read(*store);
    payMode = PayMode.read(*store);
    cardConfirmWindow = Window.read(*store);
    cardAsksPassword = OutPut.read(*store);
    passwordFreeAmount = MaxMoney.read(*store);
    accountChangeable = ChgAcct.read(*store);
    campusCard = Card.read(*store);
    checkValidity = RedrIN.read(*store);
    printFineNotice = PrtExceed.read(*store);
    copyLend = CopyLend.read(*store);
    copyLendRule = CopyLendRule.read(*store);
    showReaderPhoto = ChkRedrPic.read(*store);
    settleFines = DealFine.read(*store);
}

void DeskSettings::writeEditableSettings() const
{
    const auto store = openDeskSection();
    ReadChoose.write(*store, readingMode);
    CheckVolt.write(*store, checkViolations);
    CheckFine.write(*store, checkDebts);
    RedrIN.write(*store, checkValidity);
    ChkRedrPic.write(*store, showReaderPhoto);
    DealFine.write(*store, settleFines);
    PayMode.write(*store, payMode);
    Window.write(*store, cardConfirmWindow);
    OutPut.write(*store, cardAsksPassword);
    MaxMoney.write(*store, passwordFreeAmount);
    ChgAcct.write(*store, accountChangeable);
    Card.write(*store, campusCard);
    PrtExceed.write(*store, printFineNotice);
    CopyLend.write(*store, copyLend);
    CopyLendRule.write(*store, copyLendRule);
    FontName.write(*store, fontName);
    FontSize.write(*store, fontSize);
    FontBold.write(*store, fontBold);
    SubfieldMark.write(*store, subfieldMarkCode);
}

void DeskSettings::saveLocalReaderTypesOnly(int value)
{
    localReaderTypesOnly = value;
    CheckValue.write(*openDeskSection(), value);
}

void DeskSettings::saveThemeId(const QString& id)
{
    themeId = id;
    StyleID.write(*openDeskSection(), id);
}

QFont DeskSettings::displayFont() const
{
    QFont font(fontName);
    if (fontSize > 0)
        font.setPointSizeF(fontSize);
    font.setBold(fontBold);
    return font;
}

void DeskSettings::setDisplayFont(const QFont& font)
{
    fontName = font.family();
    fontSize = font.pointSizeF() > 0 ? font.pointSizeF() : fontSize;
    fontBold = font.bold();
}

void DeskSettings::resetDisplayFont()
{
    fontName = FontName.fallback();
    fontSize = FontSize.fallback();
    fontBold = FontBold.fallback();
}
