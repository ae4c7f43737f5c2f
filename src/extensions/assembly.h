#pragma once

#include "addinshortcut.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QProcess;

// What became of a procedure call.
struct AddinCall
{
    enum Status {
        Done,
        NotCalled,   // more than five arguments
        NoLibrary,   // the library or its host cannot be loaded
        NoProcedure, // the library lacks the procedure
        Crashed,     // the procedure ended its host
    };
    Status status = NotCalled;
    QString output; // what the procedure wrote to its standard output
};

// A component an add-in imports: a shared library of procedures keyed by its class name, or
// (for "Program" shortcuts) a program. The live object is the library's host process.
class cAssembly
{
public:
    cAssembly(const QString& file, const QString& className, const QString& folder = {});
    ~cAssembly();
    cAssembly(const cAssembly&) = delete;
    cAssembly& operator=(const cAssembly&) = delete;

    QString File;      // absolute path of the library or program
    QString ClassName; // the key shortcuts name it by
    QString Folder;    // the add-in's folder, where its procedures run

    // Checks that the library is there; a missing one shows "装载<class>对象失败！".
    bool LoadAssemblyLibrary();
    // Calls the procedure with arguments 1 to n, n from 0 to 5 (more call nothing), and waits for
    // it. A failure shows its message.
    AddinCall CallProcessByName(const QString& procedure, const QList<AddinArgument>& arguments);
    // Starts File as a program with the arguments; "外部调用执行失败！" when it cannot start.
    bool RunExecute(const QList<AddinArgument>& arguments);
    // Ends the host process.
    void Release();

    // The host program; by default readdesk-addinhost beside the running program.
    static void setHostProgram(const QString& path);
    static QString hostProgram();

private:
    bool startHost();
    QByteArray awaitAnswer();
    void reportFailure(AddinCall::Status status, const QString& procedure, const QString& detail) const;

    std::unique_ptr<QProcess> m_host;
    QByteArray m_received;
};
