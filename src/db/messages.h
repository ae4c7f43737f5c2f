#pragma once

// The message catalogue and the one routine every message box goes through.

#include "resulttable.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

// Shows message boxes. The program installs one that opens real boxes; tests install a recorder
// with scripted answers. Desk operations never open widgets themselves.
class MessagePresenter
{
public:
    enum class Icon { Stop, Information, Exclamation, Question };
    enum class Buttons { Ok, OkCancel };
    struct Box
    {
        Icon icon = Icon::Stop;
        Buttons buttons = Buttons::Ok;
        bool cancelIsDefault = false;
        bool beep = false;
        QString title;
        QString text;
    };
    virtual ~MessagePresenter() = default;
    // Returns 1 for OK, 2 for Cancel (or the box closed).
    virtual int show(const Box& box) = 0;
    virtual void beep() {}
};

// Installs the presenter (the previous one is released). Without one, boxes answer 1 silently.
void LIB_SetMessagePresenter(std::unique_ptr<MessagePresenter> presenter);
MessagePresenter* LIB_MessagePresenter();

// Plays a wave file without waiting; installed by the program, silent by default.
void LIB_SetSoundPlayer(std::function<void(const QString& path)> player);

void LIB_Beep();

// The cached message table: msg_id, msg_content and the sound of each message.
class MessageCatalogue
{
public:
    static MessageCatalogue& instance();
    int load();                                    // the message query; -1 on failure
    void setRows(const ResultTable& table);        // rows as the query returns them
    void loadSounds(const QString& soundListPath); // "sound/snd.ini" lines: id,file
    int findRow(const QString& id) const;          // data row index (from 0), -1 when absent
    QString content(int row) const;
    QString sound(int row) const;
    int size() const { return int(m_ids.size()); }

private:
    QStringList m_ids;
    QStringList m_contents;
    QStringList m_sounds;
};

QString LIB_GetMsg(const QString& code);
int LIB_ShowMsg(const QString& code);

// While one exists on this thread, LIB_ShowMsg shows nothing and plays no sound: it keeps each
// message's code and text and answers as if the operator had cancelled (OK for boxes without a
// choice). The offline journal's catching up runs the desk's operations this way, with no one to
// answer them, and lists what they said.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    struct Message
    {
        QString code; // as the caller gave it, argument included ("ELT105" + the dates)
        QString text; // as the box would have shown it
    };
    QList<Message> messages;

private:
    MessageCapture* m_previous;
};
