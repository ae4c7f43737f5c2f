#include "recordingpresenter.h"

RecordingPresenter* RecordingPresenter::install()
{
    auto presenter = std::make_unique<RecordingPresenter>();
    RecordingPresenter* raw = presenter.get();
    LIB_SetMessagePresenter(std::move(presenter));
    return raw;
}

int RecordingPresenter::show(const Box& box)
{
    boxes.append(box);
    return answers.isEmpty() ? 1 : answers.takeFirst();
}

QStringList RecordingPresenter::texts() const
{
    QStringList result;
    for (const Box& box : boxes)
        result.append(box.text);
    return result;
}

QString RecordingPresenter::shownText(const QString& code)
{
    const QString text = LIB_GetMsg(code);
    return text == code ? code.mid(1) : text;
}
