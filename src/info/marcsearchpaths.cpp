#include "marcsearchpaths.h"

#include "startup/environment.h"
#include "startup/profilefile.h"

#include <QFileInfo>

namespace {
const QString section = QStringLiteral("使用检索途径");
}

MarcSearchPaths& MarcSearchPaths::instance()
{
    static MarcSearchPaths paths;
    return paths;
}

QString MarcSearchPaths::defaultFile()
{
    return LIB_GetEnv(17).toString() + QStringLiteral("BM_MarcIDX.ini");
}

MarcSearchPaths::Status MarcSearchPaths::load(const QString& filePath)
{
    const QFileInfo file(filePath);
    if (!file.isFile() || !file.isReadable())
        return Status::Missing;
    QList<MarcSearchPath> paths;
    for (int key = 0; key < MaxPaths; ++key) {
        const QString value =
            ProfileFile::read(filePath, section, QStringLiteral("%1").arg(key, 3, 10, QLatin1Char('0')));
        if (value.isEmpty())
            break;
        const QStringList parts = value.split(QLatin1Char(':'));
        if (parts.size() < 2 || parts.at(0).trimmed().isEmpty())
            return Status::Broken;
        paths.append({parts.at(0).trimmed(), parts.at(1).trimmed(), parts});
    }
    if (paths.isEmpty())
        return Status::Broken;
    m_paths = paths;
    return Status::Loaded;
}
