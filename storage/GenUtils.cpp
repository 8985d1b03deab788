#include "GenUtils.h"

#include "PosixFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString ProgramFilePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString FileNameFromText(QStringView text)
{
    if (text.isEmpty())
        return QStringLiteral("Purchase Order");
    QString name = text.toString();
    name.replace(u'/', u'-').replace(QChar(u'\0'), u'-');
    for (qsizetype i = 0; i < name.size() && name[i] == u'.'; ++i)
        name[i] = u'-';
    // A file name holds at most 255 bytes: a longer number is cut, by whole characters, where
    // its name and an extension (".pof", ".pdf", ".ini") still fit.
    while (name.toUtf8().size() > MaxFileNameStemBytes)
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
    return name;
}

QString ExtractFilePath(QStringView path)
{
    return path.first(path.lastIndexOf(u'/') + 1).toString();
}

QString ExtractFileName(QStringView path)
{
    return path.sliced(path.lastIndexOf(u'/') + 1).toString();
}

QString UserAppDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/pelmora-po/");
}

namespace {

// Makes dir with mode, and its missing parents as mkpath would, each folder made durable in
// its parent before anything is put into it. True when something was at dir already: the
// caller judges what.
bool makeFolders(const QByteArray &dir, mode_t mode)
{
    struct stat st;
    if (::lstat(dir.constData(), &st) == 0)
        return true;
    const QByteArray parent = PosixFile::directoryOf(dir);
    if (errno != ENOENT || parent == dir || !makeFolders(parent, 0777))
        return false;
    if (::mkdir(dir.constData(), mode) != 0)
        return errno == EEXIST;
    return PosixFile::syncFolder(parent);
}

} // namespace

bool MakePrivateFolder(const QString &path)
{
    const QByteArray local = QFile::encodeName(QDir::cleanPath(path));
    if (!makeFolders(local, 0700))
        return false;
    // Opened without following a link, so that what is checked is what gets tightened.
    PosixFile::Fd folder(::open(local.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (folder.get() < 0 || ::fstat(folder.get(), &st) != 0 || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 077) == 0 || ::fchmod(folder.get(), st.st_mode & 0700) == 0;
}

QString ChooseAppDir(const QString &programDir, bool writable)
{
    // A packaged copy (under /usr) never writes beside itself, not even for root.
    const bool installed = programDir.startsWith(u"/usr/");
    return (writable && !installed) || programDir.isEmpty() ? programDir : UserAppDir();
}

QString AppDir()
{
    // An installed copy lives in a folder its user cannot (or, as root, should not) write;
    // its files then live in the user's own data folder instead.
    static const QString dir = [] {
        const QString own = ExtractFilePath(ProgramFilePath());
        const bool writable = !own.isEmpty() && ::access(QFile::encodeName(own).constData(), W_OK) == 0;
        const QString chosen = ChooseAppDir(own, writable);
        if (chosen != own)
            makeFolders(QFile::encodeName(QDir::cleanPath(chosen)), 0777);
        return chosen;
    }();
    return dir;
}

QString AppFile(QStringView name)
{
    return AppDir() + ExtractFileName(name);
}

QString FirstExistingFile(QStringView first, QStringView second, QStringView third)
{
    return FirstExistingFileIn(AppDir(), ExtractFilePath(ProgramFilePath()), first, second, third);
}

QString FirstExistingFileIn(const QString &appDir, const QString &programDir, QStringView first,
                            QStringView second, QStringView third)
{
    const auto isSheet = [](const QString &path) { return QFileInfo(path).isFile(); }; // no folder
    for (QStringView name : {first, second}) {
        const QString own = appDir + ExtractFileName(name);
        if (isSheet(own))
            return own;
        // One put beside a read-only installed program is worked on as the user's own copy.
        const QString shipped = programDir + ExtractFileName(name);
        if (appDir != programDir && isSheet(shipped) && QFile::copy(shipped, own)) {
            QFile::setPermissions(own, QFile::permissions(own) | QFile::ReadOwner | QFile::WriteOwner);
            return own;
        }
    }
    return appDir + ExtractFileName(third);
}

QString ReplaceAll(const QString &source, const QString &search, const QString &replacement)
{
    if (search.isEmpty())
        return source;
    if (replacement.contains(search))
        return QString(source).replace(search, replacement);

    // A shorter replacement shortens the text each time, so repeating ends. A longer or
    // equal one can rebuild search around itself for ever ("aba" with "ab" -> "bba"),
    // so those runs stop after as many replacements as the source has characters.
    qsizetype budget = replacement.size() < search.size() ? -1 : source.size() + 1;
    QString result = source;
    // Text before the last replacement held no occurrence, so the next one cannot start
    // earlier than search.size() - 1 characters before it.
    qsizetype from = 0;
    for (qsizetype at; budget != 0 && (at = result.indexOf(search, from)) >= 0; --budget) {
        result.replace(at, search.size(), replacement);
        from = std::max<qsizetype>(0, at - search.size() + 1);
    }
    return result;
}
