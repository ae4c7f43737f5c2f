#include "messageboxpresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>

int MessageBoxPresenter::show(const Box& box)
{
    QMessageBox message(QApplication::activeWindow());
    message.setWindowModality(Qt::ApplicationModal);
    message.setWindowTitle(box.title);
    message.setText(QString(box.text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (box.icon) {
    case Icon::Stop:
        message.setIcon(QMessageBox::Critical);
        break;
    case Icon::Information:
        message.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        message.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        message.setIcon(QMessageBox::Question);
        break;
    }
    if (box.buttons == Buttons::Ok) {
        message.setStandardButtons(QMessageBox::Ok);
    } else {
        message.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        message.setDefaultButton(box.cancelIsDefault ? QMessageBox::Cancel : QMessageBox::Ok);
        message.setEscapeButton(QMessageBox::Cancel);
    }
    return message.exec() == QMessageBox::Ok ? 1 : 2;
}

void MessageBoxPresenter::beep()
{
    QApplication::beep();
}

void MessageBoxPresenter::install()
{
    LIB_SetMessagePresenter(std::make_unique<MessageBoxPresenter>());
    // Sounds play without waiting; a new sound replaces the one still playing.
    LIB_SetSoundPlayer([](const QString& path) {
        static QSoundEffect* effect = nullptr;
        if (!effect)
            effect = new QSoundEffect(qApp);
        effect->setSource(QUrl::fromLocalFile(path));
        effect->play();
    });
}
