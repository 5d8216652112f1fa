// Writes the starting corpus of the archive fuzz target into the folder given as argument: install
// archives built with the tests' archive builder (a voice bank, a plug-in, names in code page 932 and
// UTF-8, and the hostile set of climbing names, links and devices).
#include "ZipBuilder.h"

#include <QDir>

#include <cstdio>

using tova::test::ZipBuilder;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    ZipBuilder bank;
    bank.file("install.txt", "type=voiceset\r\nfolder=aoi\r\ncontentsdir=bank\r\n")
        .file("bank/character.txt", "name=Aoi\r\n")
        .folder("bank/sub")
        .file("bank/sub/a.wav", QByteArray(300, 'a'));
    ZipBuilder plugin;
    plugin.file("install.txt", "type=editplugin\r\nfolder=tune\r\n")
        .file("plugin.txt", "name=Tune\r\nexecute=run.sh\r\n")
        .file("run.sh", "#!/bin/sh\n", S_IFREG | 0755);
    ZipBuilder names;
    names.file("install.txt", "type=voiceset\r\nfolder=\x83\x5c\r\n")
        .file("\x83\x5c\x81\x5b/\x83\x5c.wav", "cp932")
        .utf8File("bank/\xe3\x81\x82.wav", "utf8");
    ZipBuilder hostile;
    hostile.file("../a.txt", "x")
        .file("..\\b.txt", "x")
        .file("/tmp/c.txt", "x")
        .file("C:/d.txt", "x")
        .file("bank/../../e.txt", "x")
        .link("bank/link", "/tmp")
        .file("bank/link/f.txt", "x")
        .device("bank/dev")
        .file("bank/ok.txt", "fine");
    const std::pair<const char*, const ZipBuilder*> seeds[] = {
        {"bank.zip", &bank}, {"plugin.zip", &plugin}, {"names.zip", &names}, {"hostile.zip", &hostile}};
    for (const auto& [name, zip] : seeds)
        if (!zip->write(folder + u'/' + QString::fromLatin1(name))) return 1;
    return 0;
}
