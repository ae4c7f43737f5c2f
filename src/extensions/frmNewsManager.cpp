#include "frmNewsManager.h"

#include "desktopopener.h"
#include "extensionmessages.h"
#include "newscheck.h"
#include "newslistmodel.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

frmNewsManager::frmNewsManager(const QString& programDirectory, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNewsManager"));
    setWindowTitle(QStringLiteral("消息管理中心"));
    resize(760, 560);
    m_check = new NewsCheck(programDirectory, this);
    m_model = new NewsListModel(this);
    m_model->changed = [this](const NewsMessage& message) { m_check->store().update(message); };

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdCheck = button("cmdCheck", QStringLiteral("检查新消息(&C)"));
    cmdDelete = button("cmdDelete", QStringLiteral("删除(&D)"));
    cmdClose = button("cmdClose", QStringLiteral("关闭(&X)"));
    connect(cmdCheck, &QPushButton::clicked, this, &frmNewsManager::checkNow);
    connect(cmdDelete, &QPushButton::clicked, this, &frmNewsManager::deleteMessages);
    connect(cmdClose, &QPushButton::clicked, this, &frmNewsManager::close);

    vsNews = new QTableView(this);
    vsNews->setObjectName(QStringLiteral("vsNews"));
    vsNews->setModel(m_model);
    vsNews->setSelectionBehavior(QAbstractItemView::SelectRows);
    vsNews->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vsNews->verticalHeader()->hide();
    vsNews->horizontalHeader()->setSectionResizeMode(NewsListModel::Subject, QHeaderView::Stretch);
    connect(vsNews->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmNewsManager::showCurrent);
    connect(vsNews, &QTableView::activated, this, &frmNewsManager::showCurrent);

    webNews = new QTextBrowser(this);
    webNews->setObjectName(QStringLiteral("webNews"));
    webNews->setOpenExternalLinks(true);
    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));

    m_readTimer = new QTimer(this);
    m_readTimer->setSingleShot(true);
    connect(m_readTimer, &QTimer::timeout, this, &frmNewsManager::markShownRead);
    connect(m_check, &NewsCheck::messagesArrived, this, &frmNewsManager::reload);
    connect(m_check, &NewsCheck::pageArrived, this, [this](const QString& id) {
        if (id == m_shownId)
            showCurrent();
    });
    connect(&m_check->downloads(), &cHttpDownload::stateChanged, this, &frmNewsManager::showProgress);
    connect(m_check, &NewsCheck::finished, this, [this] { lblState->clear(); });

    auto* commands = new QHBoxLayout;
    commands->addWidget(cmdCheck);
    commands->addWidget(cmdDelete);
    commands->addStretch();
    commands->addWidget(cmdClose);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(vsNews);
    splitter->addWidget(webNews);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(commands);
    layout->addWidget(splitter, 1);
    layout->addWidget(lblState);
    reload();
}

frmNewsManager::~frmNewsManager() = default;

void frmNewsManager::reload()
{
    const QString current = m_shownId;
    m_model->setMessages(m_check->store().load());
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->message(row)->id == current) {
            const QSignalBlocker quiet(vsNews->selectionModel());
            vsNews->setCurrentIndex(m_model->index(row, 0));
        }
    }
}

void frmNewsManager::checkNow()
{
    m_check->start(true);
}

void frmNewsManager::showCurrent()
{
    const int row = vsNews->currentIndex().row();
    const NewsMessage* message = m_model->message(row);
    m_readTimer->stop();
    if (!message) {
        m_shownId.clear();
        webNews->clear();
        return;
    }
    m_shownId = message->id;
    if (message->type == QLatin1String("L")) {
        webNews->setPlainText(message->linkUrl);
        // Only web addresses are handed on: a channel must not make the desktop open local files.
        const QUrl link = QUrl::fromUserInput(message->linkUrl);
        if (link.scheme() == QLatin1String("http") || link.scheme() == QLatin1String("https"))
            LIB_OpenDesktopUrl(link);
    } else if (message->type == QLatin1String("W")) {
        const QString page = m_check->store().pageFile(message->id);
        if (QFileInfo::exists(page)) {
            webNews->clearHistory();
            webNews->setSource(QUrl::fromLocalFile(page));
        } else {
            webNews->setPlainText(QStringLiteral("正在下载消息页面……"));
            m_check->fetchPage(*message);
            return; // read once the page is there
        }
    } else {
        webNews->setPlainText(message->content);
    }
    m_readTimer->start(readDelayMs);
}

void frmNewsManager::markShownRead()
{
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->message(row)->id == m_shownId)
            m_model->setRead(row);
    }
}

void frmNewsManager::deleteMessages()
{
    QStringList ids;
    for (const NewsMessage& message : m_model->messages()) {
        if (message.checked)
            ids << message.id;
    }
    if (ids.isEmpty() && m_model->message(vsNews->currentIndex().row()))
        ids << m_model->message(vsNews->currentIndex().row())->id;
    if (ids.isEmpty() ||
        !LIB_AskQuestion(QStringLiteral("是否确定删除您所选择的消息？"), QStringLiteral("删除消息")))
        return;
    m_check->store().remove(ids);
    if (ids.contains(m_shownId)) {
        m_shownId.clear();
        webNews->clear();
    }
    reload();
}

void frmNewsManager::showProgress(const QString& key)
{
    const cHttpDownload::Task* task = m_check->downloads().task(key);
    if (!task || task->state != cHttpDownload::State::Receiving)
        return;
    lblState->setText(task->total > 0 ? QStringLiteral("正在下载 %1：%2%")
                                            .arg(task->url.toDisplayString())
                                            .arg(100 * task->received / task->total)
                                      : QStringLiteral("正在下载 %1").arg(task->url.toDisplayString()));
}

bool frmNewsManager::mayClose()
{
    if (!m_check->running())
        return true;
    if (!LIB_AskQuestion(QStringLiteral("关闭此窗体将中止正在进行的操作，您是否确定关闭此窗口？"),
                         QStringLiteral("提示")))
        return false;
    m_check->stop();
    return true;
}

void frmNewsManager::reject()
{
    if (mayClose())
        QDialog::reject();
}
