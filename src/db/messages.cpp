#include "messages.h"

#include "database.h"
#include "dbenvironment.h"
#include "sysparams.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <QThread>

namespace {
std::unique_ptr<MessagePresenter>& presenterSlot()
{
    static std::unique_ptr<MessagePresenter> presenter;
    return presenter;
}

std::function<void(const QString&)>& soundPlayer()
{
    static std::function<void(const QString&)> player;
    return player;
}

// Replaces the first occurrence of a marker, found regardless of letter case.
void replaceFirst(QString& text, QLatin1String marker, const QString& by)
{
    const int at = text.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at >= 0)
        text.replace(at, marker.size(), by);
}
} // namespace

void LIB_SetMessagePresenter(std::unique_ptr<MessagePresenter> presenter)
{
    presenterSlot() = std::move(presenter);
}

MessagePresenter* LIB_MessagePresenter()
{
    return presenterSlot().get();
}

void LIB_SetSoundPlayer(std::function<void(const QString& path)> player)
{
    soundPlayer() = std::move(player);
}

void LIB_Beep()
{
    // A failure on a connection of a background thread beeps on the application's thread.
    if (auto* app = QCoreApplication::instance(); app && QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(
            app, [] { LIB_Beep(); }, Qt::QueuedConnection);
        return;
    }
    if (auto* presenter = LIB_MessagePresenter())
        presenter->beep();
}

MessageCatalogue& MessageCatalogue::instance()
{
    static MessageCatalogue catalogue;
    return catalogue;
}

int MessageCatalogue::load()
{
    ResultTable table;
    LIB_DB_CurrentStatement() =
        QStringLiteral("SELECT msg_id, msg_content FROM msg_mst ORDER BY msg_id DESC");
    if (LIB_DB_Select(LIB_DB_CurrentStatement(), table) != 0)
        return -1;
    setRows(table);
    return 0;
}

void MessageCatalogue::setRows(const ResultTable& table)
{
    m_ids.clear();
    m_contents.clear();
    m_sounds.clear();
    for (int r = 2; r < table.recordCount() + 2; ++r) {
        m_ids.append(table.text(0, r));
        m_contents.append(table.text(1, r));
        m_sounds.append(QString());
    }
}

void MessageCatalogue::loadSounds(const QString& soundListPath)
{
    QFile file(soundListPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const int comma = line.indexOf(QLatin1Char(','));
        if (comma < 0)
            continue;
        const int row = findRow(line.left(comma));
        if (row >= 0)
            m_sounds[row] = line.mid(comma + 1);
    }
}

int MessageCatalogue::findRow(const QString& id) const
{
    return int(m_ids.indexOf(id));
}

QString MessageCatalogue::content(int row) const
{
    return m_contents.value(row);
}

QString MessageCatalogue::sound(int row) const
{
    return m_sounds.value(row);
}

QString LIB_GetMsg(const QString& code)
{
    const MessageCatalogue& catalogue = MessageCatalogue::instance();
    const int row = catalogue.findRow(code.left(6));
    if (row < 0)
        return code;
    const QString sound = catalogue.sound(row);
    if (!sound.isEmpty() && soundPlayer())
        soundPlayer()(DbEnvironment::soundDirectory() + sound);
    QString text = catalogue.content(row);
    replaceFirst(text, QLatin1String("%S"), code.mid(6));
    replaceFirst(text, QLatin1String("\\N"), QStringLiteral("\r"));
    return text;
}

int LIB_ShowMsg(const QString& code)
{
    using Box = MessagePresenter::Box;
    using Icon = MessagePresenter::Icon;
    using Buttons = MessagePresenter::Buttons;

    const QChar kind = code.isEmpty() ? QChar() : code.at(0);
    QString text = LIB_GetMsg(code);
    const bool known = QStringLiteral("EIWQS").contains(kind) && !kind.isNull();
    if (text == code && known)
        text = code.mid(1);

    Box box;
    box.text = text;
    box.title = LIB_GetSysPara(1).toString();
    switch (kind.unicode()) {
    case 'E':
        box = {Icon::Stop, Buttons::Ok, false, true, box.title, box.text};
        break;
    case 'I':
        box = {Icon::Information, Buttons::Ok, false, false, box.title, box.text};
        break;
    case 'W':
        box = {Icon::Exclamation, Buttons::OkCancel, true, true, box.title, box.text};
        break;
    case 'Q':
        box = {Icon::Question, Buttons::OkCancel, true, true, box.title, box.text};
        break;
    case 'S':
        box = {Icon::Question, Buttons::OkCancel, false, true, box.title, box.text};
        break;
    default:
        box = {Icon::Stop, Buttons::Ok, false, false, box.title, box.text};
        break;
    }
    MessagePresenter* presenter = LIB_MessagePresenter();
    if (!presenter)
        return 1;
    if (box.beep)
        presenter->beep();
    const int answer = presenter->show(box);
    return box.buttons == Buttons::Ok ? 1 : (answer == 1 ? 1 : 2);
}
