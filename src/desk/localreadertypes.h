#pragma once

// The local reader types of this reading room: the file CFG/LT/LT_ReaderType.ini, one line a
// reader type: "00" (local, may enter) or "01" (not local), two blanks, the type code padded with
// blanks to 8 characters, the type name. The file ends at its first empty line. UTF-8; the desk
// writes CR LF line ends and reads either.

#include <QString>
#include <QStringList>
#include <optional>

namespace LocalReaderTypes {
inline const QString LocalMark = QStringLiteral("00");
inline const QString NonLocalMark = QStringLiteral("01");
} // namespace LocalReaderTypes

QString localReaderTypesFilePath();

// The lines of the file up to its first empty line; nothing when the file cannot be opened.
std::optional<QStringList> readLocalReaderTypesFile(const QString& path);

// Rewrites the file whole, creating its folder when needed.
bool writeLocalReaderTypesFile(const QString& path, const QStringList& lines);

// "00" + two blanks + the code padded to 8 characters + the name.
QString localReaderTypeLine(const QString& mark, const QString& code, const QString& name);

// The type codes the file marks local (characters 5 and 6 of each trimmed line that starts with
// "00"). A missing file allows no type at all.
QStringList LIB_LoadLocalReaderTypes(const QString& path = localReaderTypesFilePath());

// Called once at login, after the code tables are loaded: writes the file from the cached reader
// types (every type local) when it is missing, or when its lines no longer match the reader types
// (another number of lines, or a name that is no reader type's name). A file that matches is left
// alone. 0, or -1 when the file had to be written and could not be (the reason goes to the log).
int LIB_MaintainLocalReaderTypesFile(const QString& path = localReaderTypesFilePath());
