#include "PortTrouble.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

#ifdef Q_OS_LINUX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrava {

namespace {

// The port texts share the context of the port module's other texts.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Usr_com_std)
};

const QString kByIdFolder = QStringLiteral("/dev/serial/by-id/");

// Programs known to take serial adapters from their users.
bool isModemManager(const QString &name) {
    return name == QLatin1String("ModemManager");
}
bool isBrltty(const QString &name) {
    return name.startsWith(QLatin1String("brltty"));
}

QString commandName(const QString &pidDir) {
    QFile comm(pidDir + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

QString remedyFor(const QString &name) {
    if (isModemManager(name))
        return Texts::tr("ModemManager は新しいシリアル装置をモデムと見なしてコマンドを送ります。"
                         "止めるには: sudo systemctl stop ModemManager "
                         "(次の起動からも止めるには: sudo systemctl disable ModemManager)");
    if (isBrltty(name))
        return Texts::tr(
            "brltty は一部の USB シリアル変換器を点字ディスプレイと見なして占有します。"
            "点字ディスプレイを使わないなら: sudo apt remove brltty");
    return {};
}

} // namespace

QList<PortHolder> PortHolders(const QString &device) {
    QList<PortHolder> holders;
    QList<PortHolder> services;
#ifdef Q_OS_LINUX
    const QString target = QFileInfo(device).canonicalFilePath();
    const QDir proc(QStringLiteral("/proc"));
    const qint64 self = QCoreApplication::applicationPid();
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || pid == self)
            continue;
        const QString dir = proc.filePath(entry);
        const QString name = commandName(dir);
        if (isModemManager(name) || isBrltty(name))
            services.append({name, 0});
        const QDir fds(dir + QStringLiteral("/fd"));
        for (const QFileInfo &fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
            if (!target.isEmpty() && fd.symLinkTarget() == target) {
                holders.append({name, pid});
                break;
            }
        }
    }
#else
    Q_UNUSED(device);
#endif
    return holders.isEmpty() ? services : holders;
}

QString DescribeMissingDevice(const QString &device) {
    QString text = Texts::tr("%1 がありません").arg(device);
    if (device.startsWith(kByIdFolder))
        text +=
            u'\n' + Texts::tr("装置 %1 が接続されていません。差し込んでからもう一度試してください")
                        .arg(device.mid(kByIdFolder.size()));
    else
        text += u'\n' + Texts::tr("装置が接続されていません。差し込んでからもう一度試してください");
    return text;
}

QString BusyDeviceText(const QString &device, const QList<PortHolder> &holders) {
    QString text = Texts::tr("%1 は他のプログラムが使用中です").arg(device);
    QStringList remedies;
    for (const PortHolder &h : holders) {
        text +=
            u'\n' + (h.pid > 0
                         ? Texts::tr("使用中のプログラム: %1 (プロセス %2)").arg(h.name).arg(h.pid)
                         : Texts::tr("動いているプログラム: %1").arg(h.name));
        const QString remedy = remedyFor(h.name);
        if (!remedy.isEmpty() && !remedies.contains(remedy))
            remedies.append(remedy);
    }
    if (holders.isEmpty())
        text += u'\n' + Texts::tr("使用中のプログラムは sudo fuser -v %1 でわかります").arg(device);
    for (const QString &r : remedies)
        text += u'\n' + r;
    return text;
}

QString DescribeBusyDevice(const QString &device) {
    return BusyDeviceText(device, PortHolders(device));
}

QString DescribeDeniedDevice(const QString &device) {
    const QString plain = Texts::tr("%1 へのアクセス権がありません").arg(device);
#ifdef Q_OS_LINUX
    struct stat st {};
    if (::stat(device.toLocal8Bit().constData(), &st) != 0)
        return plain;
    const group *g = ::getgrgid(st.st_gid);
    const passwd *pw = ::getpwuid(::geteuid());
    if (!g || !pw)
        return plain;
    const QString groupName = QString::fromLocal8Bit(g->gr_name);
    const QString user = QString::fromLocal8Bit(pw->pw_name);

    // This login's groups were fixed when it began; the group database may know more since.
    bool inLogin = ::getegid() == st.st_gid;
    std::vector<gid_t> groups(std::max(::getgroups(0, nullptr), 0));
    const int n = ::getgroups(int(groups.size()), groups.data());
    for (int i = 0; i < n; ++i)
        inLogin = inLogin || groups[std::size_t(i)] == st.st_gid;
    int count = 64;
    std::vector<gid_t> listed(std::size_t(count), 0);
    if (::getgrouplist(pw->pw_name, pw->pw_gid, listed.data(), &count) < 0) {
        listed.resize(std::size_t(count));
        ::getgrouplist(pw->pw_name, pw->pw_gid, listed.data(), &count);
    }
    listed.resize(std::size_t(std::max(count, 0)));
    const bool inDatabase = std::find(listed.begin(), listed.end(), st.st_gid) != listed.end();

    if (inLogin)
        return plain + u'\n' +
               Texts::tr("装置のグループ %1 にも読み書きの権限がありません").arg(groupName);
    if (inDatabase)
        return plain + u'\n' +
               Texts::tr(
                   "ユーザー %1 は %2 グループに入っていますが、今のログインはグループに入る前から"
                   "のものです。ログアウトしてログインし直してください")
                   .arg(user, groupName);
    return plain + u'\n' +
           Texts::tr("装置は %1 グループのもので、ユーザー %2 はこのグループに入っていません。"
                     "次のコマンドで入り、ログインし直してください:")
               .arg(groupName, user) +
           QStringLiteral("\nsudo usermod -aG %1 %2").arg(groupName, user);
#else
    return plain;
#endif
}

} // namespace kestrava
