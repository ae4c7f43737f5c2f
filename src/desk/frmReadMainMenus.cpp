// The desk window's menu bar and toolbar. Every item delivers its id to the command dispatch.
#include "frmReadMain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

QAction* frmReadMain::addMenuItem(QMenu* menu, const char* id, const QString& caption,
                                  const QKeySequence& key, bool check)
{
    QAction* item = menu ? menu->addAction(caption) : new QAction(caption, this);
    const QString name = QLatin1String(id);
    item->setObjectName(name);
    item->setShortcut(key);
    item->setCheckable(check);
    if (!menu)
        addAction(item); // commands without a menu entry still belong to the window
    connect(item, &QAction::triggered, this, [this, name] { runMenuCommand(name); });
    m_menuItems.insert(name, item);
    return item;
}

void frmReadMain::addSeparator(QMenu* menu, const char* id)
{
    menu->addSeparator()->setObjectName(QLatin1String(id));
}

void frmReadMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuMain")); // add-ins hang their menu items here
    bar->setWindowTitle(QStringLiteral("菜单栏"));
    auto menu = [bar](const char* id, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(id));
        return m;
    };

    QMenu* m = menu("mnuReadType", QStringLiteral("阅览类型"));
    addMenuItem(m, "mnuReadBook", QStringLiteral("图书计次"), Qt::Key_F1, true);
    addMenuItem(m, "mnuReadReader", QStringLiteral("读者登到"), Qt::Key_F2, true);
    addMenuItem(m, "mnuReadReaderBook", QStringLiteral("读者图书登记"), Qt::Key_F3, true);
    addMenuItem(m, "mnuCopyLend", QStringLiteral("复印外借"), Qt::Key_F5, true);
    addMenuItem(m, "mnuCopyRet", QStringLiteral("复印归还"), Qt::Key_F6, true);
    addSeparator(m, "mnuLTTypeSeparator1");
    addMenuItem(m, "mnuCheck", QStringLiteral("读者身份验证"), Qt::Key_F4, true);
    addSeparator(m, "mnuLTTypeSeparator2");
    addMenuItem(m, "mnuReJoin", QStringLiteral("重新登录"));
    addMenuItem(m, "mnuExit", QStringLiteral("退出系统"));

    m = menu("mnuInfoSeek", QStringLiteral("信息查询"));
    addMenuItem(m, "mnuRedrInfo", QStringLiteral("读者详细信息"));
    addMenuItem(m, "mnuRedrValide", QStringLiteral("本地读者选择"));
    addSeparator(m, "mnuInfoSeekSeparator1");
    addMenuItem(m, "mnuLt3Log", QStringLiteral("阅览日志查询"), Qt::Key_F7);
    addSeparator(m, "mnuInfoSeekSeparator2");
    addMenuItem(m, "mnuInfoSeekBook", QStringLiteral("书刊信息查询"));
    addMenuItem(m, "mnuInfoSeekReader", QStringLiteral("读者信息查询"));
    addSeparator(m, "mnuInfoSeekSeparator3");
    addMenuItem(m, "mnuInfoImport", QStringLiteral("条码导入"));
    addMenuItem(m, "mnuDelrecord", QStringLiteral("删除历史记录"));
    addSeparator(m, "mnuInfoSeekSeparator4");
    addMenuItem(m, "mnuCopyFine", QStringLiteral("超期罚款"), Qt::Key_F8);

    m = menu("mnuOption", QStringLiteral("系统设置"));
    addMenuItem(m, "mnuReadSet", QStringLiteral("系统参数设置"));
    addMenuItem(m, "mnuBarReadRule", QStringLiteral("条码读取规则"));
    addSeparator(m, "mnuOptionSeparator1");
    addMenuItem(m, "mnuReconn", QStringLiteral("重新连接一卡通"));

    m = menu("mnuInfoSeekStatJob", QStringLiteral("阅览统计"));
    addMenuItem(m, "mnuInfoReaderStat", QStringLiteral("阅览读者人次统计"));
    addMenuItem(m, "mnuInfoBookStat", QStringLiteral("阅览图书分类统计"));
    addMenuItem(m, "mnuRedrStat", QStringLiteral("阅览分类综合统计"));
    addSeparator(m, "mnuInfoSeekStatJobSeparator1");
    addMenuItem(m, "mnuBookStat", QStringLiteral("阅览图书排行榜"));
    addMenuItem(m, "mnuRedrCount", QStringLiteral("阅览读者排行榜"));
    addSeparator(m, "mnuInfoSeekStatJobSeparator2");
    addMenuItem(m, "mnuReadUseRate", QStringLiteral("文献阅览率统计"));
    addSeparator(m, "mnuInfoSeekStatJobSeparator3");
    addMenuItem(m, "mnuStatJob", QStringLiteral("工作量统计"));

    m = menu("mnuTool", QStringLiteral("工具(&T)"));
    addMenuItem(m, "mnuFindText", QStringLiteral("查找表格文本"), QKeySequence(Qt::CTRL | Qt::Key_F));
    addSeparator(m, "mnuToolSeparator1");
    addMenuItem(m, "mnuToolTheme", QStringLiteral("界面主题(&T)"));
    addMenuItem(m, "mnuToolAddins", QStringLiteral("插件管理(&E)"));
    addSeparator(m, "mnuToolSeparator2");
    addMenuItem(m, "mnuToolNews", QStringLiteral("消息管理中心(&N)"));
    addMenuItem(m, "mnuToolFeedback", QStringLiteral("信息反馈(&F)"));
    addSeparator(m, "mnuToolSeparator3");
    addMenuItem(m, "mnuToolUpgrade", QStringLiteral("在线智能升级(&U)"));

    m = menu("mnuHelp", QStringLiteral("帮助(&H)"));
    addMenuItem(m, "mnuLastUpdating", QStringLiteral("最新更新"));
    addSeparator(m, "mnuHelpSeparator1");
    addMenuItem(m, "mnuHelpAbout", QStringLiteral("关于(&A)..."));
    QMenu* maker = m->addMenu(QStringLiteral("访问岚典(&L)"));
    maker->setObjectName(QStringLiteral("mnuTavorn"));
    addMenuItem(maker, "mnuTavornWeb", QStringLiteral("岚典主页"))->setToolTip(QStringLiteral("岚典主页"));
    addMenuItem(maker, "mnuTavornBBS", QStringLiteral("岚典论坛"))->setToolTip(QStringLiteral("岚典论坛"));
    maker->setToolTipsVisible(true);

    // Commands the window carries without a menu entry.
    addMenuItem(nullptr, "mnuHelpChat", QStringLiteral("在线交流"));
    addMenuItem(nullptr, "mnuHelpContents", QStringLiteral("帮助目录"));
}

void frmReadMain::buildToolbar()
{
    tbToolbar = addToolBar(QStringLiteral("工具栏"));
    tbToolbar->setObjectName(QStringLiteral("Standard")); // and their toolbar items here
    tbToolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto separator = [this](const char* id) { tbToolbar->addSeparator()->setObjectName(QLatin1String(id)); };
    auto button = [this](const char* id, const QString& caption, const QString& tip) {
        QAction* b = tbToolbar->addAction(caption);
        const QString name = QLatin1String(id);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setCheckable(true);
        connect(b, &QAction::triggered, this, [this, name] { runToolbarCommand(name); });
        m_toolButtons.insert(name, b);
    };
    separator("tbSeparator1");
    button("ReadBook", QStringLiteral("图书计次"), QStringLiteral("图书计次(F1)"));
    separator("tbSeparator2");
    button("ReadReader", QStringLiteral("读者登到"), QStringLiteral("读者登到(F2)"));
    separator("tbSeparator3");
    button("ReadReaderBook", QStringLiteral("读者图书登记"), QStringLiteral("读者图书登记(F3)"));
    separator("tbSeparator5");
    button("CopyLend", QStringLiteral("复印外借"), QStringLiteral("读者复印外借(F6)"));
    separator("tbSeparator4");
    button("Check", QStringLiteral("读者身份验证"), QStringLiteral("读者身份验证(F4)"));
}

void frmReadMain::setCopyLendAvailable(bool available)
{
    m_menuItems.value(QStringLiteral("mnuCopyLend"))->setVisible(available);
    m_menuItems.value(QStringLiteral("mnuCopyFine"))->setVisible(available);
    m_toolButtons.value(QStringLiteral("CopyLend"))->setVisible(available);
}

bool frmReadMain::copyLendAvailable() const
{
    return m_menuItems.value(QStringLiteral("mnuCopyLend"))->isVisible();
}
