#include "frmRedrDetail.h"

#include "db/errorreporter.h"
#include "infoconversions.h"
#include "readerdetail.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int fieldsPerLine = 2;
}

frmRedrDetail::frmRedrDetail(const QString& barcode, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRedrDetail"));
    setWindowTitle(QStringLiteral("读者详细信息"));
    QList<ReaderDetailField> fields;
    if (ReaderDetail::load(barcode, fields) != 0)
        LIB_DB_ShowError();

    auto* layout = new QGridLayout(this);
    for (int i = 0; i < fields.size(); ++i) {
        const ReaderDetailField& field = fields.at(i);
        auto* box = new QLineEdit(this);
        box->setObjectName(field.box);
        box->setReadOnly(true);
        // The boxes never take the keyboard: a key reaches the window, which closes.
        box->setFocusPolicy(Qt::NoFocus);
        box->setText(field.value);
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 22);
        if (field.box == ReaderDetail::passwordBox) {
            m_password = box;
            m_passwordText = field.value;
            box->setText(InfoText::masked(field.value));
            box->installEventFilter(this);
        }
        const int line = i / fieldsPerLine;
        const int column = (i % fieldsPerLine) * 2;
        layout->addWidget(new QLabel(field.label, this), line, column, Qt::AlignRight);
        layout->addWidget(box, line, column + 1);
    }
    setFocusPolicy(Qt::StrongFocus);
}

bool frmRedrDetail::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_password && event->type() == QEvent::MouseButtonDblClick) {
        togglePassword();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmRedrDetail::togglePassword()
{
    m_passwordShown = !m_passwordShown;
    m_password->setText(m_passwordShown ? m_passwordText : InfoText::masked(m_passwordText));
}

void frmRedrDetail::keyPressEvent(QKeyEvent*)
{
    close();
}
