#pragma once

#include <QString>

// Reads and writes the small Windows-style profile files (tavorn.ini and the desk's CFG files):
// section and key names compared without regard to case, values cut at 255 characters, a missing
// file or key gives the default.
namespace ProfileFile {
QString read(const QString& path, const QString& section, const QString& key, const QString& fallback = {});
// Writes one value, creating the file and section when needed. false when the file cannot be written.
bool write(const QString& path, const QString& section, const QString& key, const QString& value);
} // namespace ProfileFile
