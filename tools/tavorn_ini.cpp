// Writes the connection section of a desk's tavorn.ini, with the password scrambled the way the desk
// reads it.
//   tavorn-ini FILE SECTION DSN USER PASSWORD
#include "startup/environment.h"
#include "startup/profilefile.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: tavorn-ini FILE SECTION DSN USER PASSWORD\n"
                             "  writes [LIB-DATA] LIB_SERVER=SECTION and [SECTION] DSN, UID, PWD (scrambled)\n");
        return 2;
    }
    const QString &file = args[1], &section = args[2];
    const bool ok = ProfileFile::write(file, QStringLiteral("LIB-DATA"), QStringLiteral("LIB_SERVER"), section) &&
                    ProfileFile::write(file, section, QStringLiteral("DSN"), args[3]) &&
                    ProfileFile::write(file, section, QStringLiteral("UID"), args[4]) &&
                    ProfileFile::write(file, section, QStringLiteral("PWD"), LIB_ScramblePassword(args[5]));
    if (!ok) {
        std::fprintf(stderr, "tavorn-ini: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}
