#pragma once

#include "db/messages.h"

#include <QList>
#include <QStringList>

// Records every message box instead of showing it, and answers with scripted answers
// (1 = OK, 2 = Cancel; OK when no answer is left).
class RecordingPresenter : public MessagePresenter
{
public:
    // Installs a new recorder as the program's presenter and returns it.
    static RecordingPresenter* install();

    int show(const Box& box) override;
    void beep() override { ++beeps; }

    void answerNext(int answer) { answers.append(answer); }
    // The text the operator sees for a code: the catalogue's text, or the literal after the kind letter.
    static QString shownText(const QString& code);

    QString lastText() const { return boxes.isEmpty() ? QString() : boxes.last().text; }
    QStringList texts() const;
    void clear()
    {
        boxes.clear();
        answers.clear();
        beeps = 0;
    }

    QList<Box> boxes;
    QList<int> answers;
    int beeps = 0;
};
