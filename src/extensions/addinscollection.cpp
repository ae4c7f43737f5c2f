#include "addinscollection.h"

#include "packageinstaller.h"

#include <QDir>
#include <QFileInfo>

cAddinsCollection::~cAddinsCollection()
{
    Clear();
}

void cAddinsCollection::Clear()
{
    for (const auto& addin : m_addins)
        addin->Release();
    m_addins.clear();
}

void cAddinsCollection::LoadAddins(const QString& path)
{
    Clear();
    if (!path.isEmpty())
        Path = path;
    while (Path.size() > 1 && (Path.endsWith(QLatin1Char('/')) || Path.endsWith(QLatin1Char('\\'))))
        Path.chop(1);
    PackageInstaller::applyPendingChanges(Path);
    const QDir directory(Path);
    for (const QString& folder : directory.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString file = directory.filePath(folder + QLatin1Char('/') + ConfigFile);
        if (!QFileInfo(file).isFile())
            continue;
        auto addin = std::make_unique<cAddin>();
        if (addin->Initialize(file))
            m_addins.push_back(std::move(addin));
    }
}

QList<const cExtension*> cAddinsCollection::GetExtensByPath(const QString& path) const
{
    QList<const cExtension*> found;
    for (const auto& addin : m_addins) {
        for (const cExtension& extension : addin->Extensions) {
            if (extension.ValidPath(path))
                found << &extension;
        }
    }
    return found;
}

ShortcutRun cAddinsCollection::ExcuteExtenShortcut(const QString& className, const QString& shortcut)
{
    ShortcutRun run;
    const std::optional<AddinShortcut> parsed = AddinShortcut::parse(shortcut);
    if (!parsed)
        return run;
    AddinSession session = sessionValues ? sessionValues() : AddinSession();
    session.mainForm = MainForm;
    const QList<AddinArgument> arguments = parsed->arguments(session);

    if (parsed->kind.compare(QLatin1String("Interface"), Qt::CaseInsensitive) == 0) {
        for (const auto& addin : m_addins) {
            if (cAssembly* assembly = addin->GetAssemblyByKey(className)) {
                run.call = assembly->CallProcessByName(parsed->first, arguments);
                if (run.call.status != AddinCall::NotCalled)
                    run.outcome =
                        run.call.status == AddinCall::Done ? ShortcutRun::Called : ShortcutRun::Failed;
                return run;
            }
        }
    } else if (parsed->kind.compare(QLatin1String("Program"), Qt::CaseInsensitive) == 0) {
        cAssembly program(parsed->first, className);
        run.outcome = program.RunExecute(arguments) ? ShortcutRun::Started : ShortcutRun::Failed;
    }
    return run;
}

void cAddinsCollection::RunStartupProcesses()
{
    for (std::size_t i = 0; i < m_addins.size(); ++i) {
        const QList<AddinCommand> processes = m_addins.at(i)->Processes;
        for (const AddinCommand& process : processes)
            ExcuteExtenShortcut(process.className, process.shortcut);
    }
}

bool cAddinsCollection::RunExtensionCommand(const QString& path, const QString& id)
{
    QList<AddinCommand> commands;
    for (const cExtension* extension : GetExtensByPath(path)) {
        for (const cExtenItem& item : extension->Items) {
            if (item.GetAttributeValue(QStringLiteral("id")) == id)
                commands << AddinCommand{item.GetAttributeValue(QStringLiteral("shortcut")),
                                         item.GetAttributeValue(QStringLiteral("class"))};
        }
    }
    for (const AddinCommand& command : commands)
        ExcuteExtenShortcut(command.className, command.shortcut);
    return !commands.isEmpty();
}
