// readdesk-addinhost: runs the procedures of add-in libraries for the desk, in a process of its own
// (see addinhostprotocol.h). It reads requests from its standard input until that ends.
#include "addinhostprotocol.h"

#include <QApplication>
#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibrary>
#include <QSocketNotifier>
#include <cstdio>
#include <map>
#include <memory>
#include <unistd.h>

namespace {

using Text = const char*;

void answer(const char* status, const QString& detail = {})
{
    // What the procedure wrote comes first, the answer after it.
    std::fflush(stdout);
    const QJsonObject reply{{QStringLiteral("status"), QLatin1String(status)},
                            {QStringLiteral("detail"), detail}};
    std::fputs(AddinHostProtocol::answerMarker, stdout);
    std::fputs(QJsonDocument(reply).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void call(QFunctionPointer procedure, const std::vector<Text>& a)
{
    switch (a.size()) {
    case 0:
        reinterpret_cast<void (*)()>(procedure)();
        break;
    case 1:
        reinterpret_cast<void (*)(Text)>(procedure)(a[0]);
        break;
    case 2:
        reinterpret_cast<void (*)(Text, Text)>(procedure)(a[0], a[1]);
        break;
    case 3:
        reinterpret_cast<void (*)(Text, Text, Text)>(procedure)(a[0], a[1], a[2]);
        break;
    case 4:
        reinterpret_cast<void (*)(Text, Text, Text, Text)>(procedure)(a[0], a[1], a[2], a[3]);
        break;
    case 5:
        reinterpret_cast<void (*)(Text, Text, Text, Text, Text)>(procedure)(a[0], a[1], a[2], a[3], a[4]);
        break;
    }
}

class Host
{
public:
    void handle(const QByteArray& line)
    {
        const QJsonObject request = QJsonDocument::fromJson(line).object();
        const QString libraryPath = request.value(QStringLiteral("library")).toString();
        const QString procedureName = request.value(QStringLiteral("procedure")).toString();
        const QJsonArray values = request.value(QStringLiteral("arguments")).toArray();
        if (libraryPath.isEmpty() || procedureName.isEmpty() ||
            values.size() > AddinHostProtocol::maxArguments) {
            answer(AddinHostProtocol::badRequest, QString::fromUtf8(line));
            return;
        }
        std::unique_ptr<QLibrary>& library = m_libraries[libraryPath];
        if (!library)
            library = std::make_unique<QLibrary>(libraryPath);
        if (!library->isLoaded() && !library->load()) {
            answer(AddinHostProtocol::noLibrary, library->errorString());
            return;
        }
        const QFunctionPointer procedure = library->resolve(procedureName.toUtf8().constData());
        if (!procedure) {
            answer(AddinHostProtocol::noProcedure, library->errorString());
            return;
        }
        std::vector<QByteArray> texts;
        std::vector<Text> arguments;
        texts.reserve(values.size());
        for (const QJsonValue& value : values) {
            texts.push_back(value.toString().toUtf8());
            arguments.push_back(value.isNull() ? nullptr : texts.back().constData());
        }
        call(procedure, arguments);
        answer(AddinHostProtocol::done);
    }

    // Reads what arrived on the standard input and handles each complete line; false at its end.
    bool readInput()
    {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0)
            return false;
        m_pending.append(buffer, got);
        qsizetype end = 0;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            const QByteArray line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            if (!line.trimmed().isEmpty())
                handle(line);
        }
        return true;
    }

private:
    std::map<QString, std::unique_ptr<QLibrary>> m_libraries;
    QByteArray m_pending;
};

} // namespace

int main(int argc, char** argv)
{
    // Add-ins may open windows of their own; closing the last one does not end the host.
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Host host;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        if (!host.readInput()) {
            input.setEnabled(false);
            QApplication::quit();
        }
    });
    return QApplication::exec();
}
