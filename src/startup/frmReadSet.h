#pragma once

#include <QDialog>
#include <QFont>
#include <QList>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
struct DeskSettings;

// "系统参数设置": edits the desk settings. Font and subfield-mark choices take effect at once;
// everything else is taken, and all of it stored, only by OK.
class frmReadSet : public QDialog
{
    Q_OBJECT

public:
    // Picks a font starting from the current one; nothing when the operator cancels.
    using FontChooser = std::function<std::optional<QFont>(const QFont& current, QWidget* parent)>;

    // circulationRuleNumbers: the cached circulation rules' numbers in cached order; the
    // photocopy rules among them are offered.
    frmReadSet(DeskSettings& settings, const QStringList& circulationRuleNumbers, QWidget* parent = nullptr);

    void setFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }

Q_SIGNALS:
    // After OK: the photocopy commands and toolbar button are to be shown exactly when true.
    void copyLendCommandsVisible(bool visible);

public Q_SLOTS:
    void accept() override;

private:
    QWidget* buildReadingModePage();
    QWidget* buildReaderPage();
    QWidget* buildFinePage();
    QWidget* buildCopyLendPage(const QStringList& circulationRuleNumbers);
    QWidget* buildDisplayPage();
    QCheckBox* addCheckBox(QWidget* page, const char* name, const QString& caption, int value);
    void showFont();
    void chooseFont();

    DeskSettings& m_settings;
    FontChooser m_chooseFont;
    QList<QRadioButton*> m_readingModes;
    QCheckBox* m_checkViolations = nullptr;
    QCheckBox* m_checkDebts = nullptr;
    QCheckBox* m_checkValidity = nullptr;
    QCheckBox* m_showPhoto = nullptr;
    QComboBox* m_payMode = nullptr;
    QCheckBox* m_settleFines = nullptr;
    QCheckBox* m_printNotice = nullptr;
    QCheckBox* m_campusCard = nullptr;
    QCheckBox* m_confirmWindow = nullptr;
    QCheckBox* m_asksPassword = nullptr;
    QLineEdit* m_passwordFreeAmount = nullptr;
    QCheckBox* m_accountChangeable = nullptr;
    QCheckBox* m_copyLend = nullptr;
    QComboBox* m_copyRule = nullptr;
    QLabel* m_fontLabel = nullptr;
};
