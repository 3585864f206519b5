// Writes the default matrix database to the path given, unless a file is
// already there.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "core/error.h"
#include "setup/matrixdb.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkdefaultdb PATH\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(path))
        return 0;
    try {
        mc::CreateDefaultDatabase(path);
    } catch (const mc::Error &e) {
        std::fprintf(stderr, "mkdefaultdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
