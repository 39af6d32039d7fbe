// package_builder: makes a signed update package from a folder.
//
//   package_builder --version 1.0.1 --folder DIR --key SECRET.hex --out client.upd [--prefix pkg]
//
// Every file below DIR goes into the package as "<prefix>/<path>" (the
// client drops the first component when it unpacks). The key file holds the
// 64-byte Ed25519 secret key in hexadecimal.

#include "update/update_package.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("version text"), QStringLiteral("text"));
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("folder to pack"), QStringLiteral("dir"));
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("secret key file (hex)"), QStringLiteral("file"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("package file to write"), QStringLiteral("file"));
    const QCommandLineOption prefix(QStringLiteral("prefix"), QStringLiteral("first path component"), QStringLiteral("name"), QStringLiteral("pkg"));
    parser.addOptions({version, folder, key, out, prefix});
    parser.process(app);
    if (!parser.isSet(version) || !parser.isSet(folder) || !parser.isSet(key) || !parser.isSet(out)) {
        std::fprintf(stderr, "package_builder: --version, --folder, --key and --out are needed\n");
        return 2;
    }
    QFile keyFile(parser.value(key));
    if (!keyFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "package_builder: cannot read the key\n");
        return 1;
    }
    const QByteArray secret = QByteArray::fromHex(keyFile.readAll().trimmed());
    const QDir root(parser.value(folder));
    PackageFiles files;
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    for (const QString& path : paths) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "package_builder: cannot read %s\n", qPrintable(path));
            return 1;
        }
        files.append({parser.value(prefix) + QLatin1Char('/') + root.relativeFilePath(path), f.readAll()});
    }
    if (files.isEmpty() || secret.size() != 64) {
        std::fprintf(stderr, "package_builder: nothing to pack, or the key is not 64 bytes\n");
        return 1;
    }
    QSaveFile output(parser.value(out));
    if (!output.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "package_builder: cannot write the package\n");
        return 1;
    }
    output.write(buildPackage(parser.value(version), files, secret));
    if (!output.commit()) {
        std::fprintf(stderr, "package_builder: cannot write the package\n");
        return 1;
    }
    std::printf("%d files, version %s\n", int(files.size()), qPrintable(parser.value(version)));
    return 0;
}
