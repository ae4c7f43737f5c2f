#pragma once

#include <QMainWindow>

class QAction;
class QLabel;

// The desk's main window. Loaded hidden at start-up; the first login initialises and shows it.
class frmReadMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmReadMain(QWidget* parent = nullptr);

    // Prepares the window for the logged-in operator. 0 when it can be shown.
    int pInitialize();

    // The status bar's operator text: system parameter 1, " - ", the worker number.
    QString operatorStatusText() const;

public Q_SLOTS:
    // Shows the login window modally; a successful login replaces the operator.
    void reLogin();

private:
    void buildMenus();
    void writeOperatorStatus();

    QAction* mnuReLogin = nullptr;
    QLabel* sbrOperator = nullptr;
};
