#pragma once

// What the tests of the installer's windows start from: a throw-away CD and
// the installer window loaded from it with a recording host.
#include "environment.h"
#include "form1.h"
#include "recording_host.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace setup {

inline QByteArray system8bit(const QString &text)
{
    QStringEncoder encode(QStringConverter::System);
    return encode(text);
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

inline QString native(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

// A throw-away CD (its top folder stands for the drive root), a disk to
// install onto and a home folder for the marker file.
struct Fixture {
    QTemporaryDir dir;
    QString cd() const { return native(dir.filePath("cd")); }
    QString disk() const { return native(dir.filePath("disk")); }
    QString home() const { return native(dir.filePath("home")); }
    QString programFolder;
    QString markerFolder;

    explicit Fixture(bool setupAtRoot = false)
    {
        programFolder = setupAtRoot ? cd() : native(dir.filePath("cd/Setup"));
        markerFolder = home();
        QDir().mkpath(programFolder);
        QDir().mkpath(home());
        QDir().mkpath(disk());
        writeBytes(dir.filePath("cd/Data/start.sh"), "#!/bin/sh\n");
        writeBytes(dir.filePath("cd/Data/BookTXT/1.htm"), "page one");
    }

    void writeCdInf(const QStringList &lines) const
    {
        writeBytes(
            programFolder + "/cd.inf", system8bit(lines.join("\r\n") + QStringLiteral("\r\n")));
    }
    void writeUsualCdInf(const QString &defPath, const QString &runFile = "start.sh") const
    {
        writeCdInf({ "[ CD Name ]", "Atlas", "[ Def Path ]", defPath, "[ Folder Name ]", "Data",
            "[ Run File ]", runFile });
    }
    Environment environment() const
    {
        Environment environment;
        environment.programFolder = programFolder;
        environment.markerFolder = markerFolder;
        const QString root = cd();
        environment.volumeRootOf = [root](const QString &path) {
            return native(path).startsWith(root) ? root : QStringLiteral("/");
        };
        return environment;
    }
    QString installed() const { return native(disk() + "/Atlas"); }
    QString marker() const { return native(home() + "/Atlas.txt"); }
    QString program() const { return native(installed() + "/start.sh"); }
    // What an installation writes into the marker and the stamp.
    QByteArray markerBytes() const
    {
        return system8bit(program() + "\r\n" + installed() + "\r\n");
    }
};

struct Setup {
    RecordingHost host;
    std::unique_ptr<Form1> form;
    bool loaded = false;

    explicit Setup(const Fixture &fixture)
        : form(std::make_unique<Form1>(host, fixture.environment()))
    {
        loaded = form->Form_Load();
        if (loaded)
            form->show();
    }
};

} // namespace setup
