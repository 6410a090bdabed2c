#include "CliOptions.h"

#include "ComPortMap.h"
#include "SettingsPath.h"
#include "UnitLink.h"
#include "Usr_com_std.h"
#include "Usr_misc.h"

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>

using namespace kestrava;

namespace {

void printErr(const QString &text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

// Opens the unit's port as the program does; on failure says why.
bool openUnitPort(TUnitLink &link, const cli::CliOptions &o) {
    const bool isPath = o.port.contains(u'/') || o.port.startsWith(QLatin1String("\\\\"));
    if (isPath) {
        link.ComPortNo = 1;
        if (link.OpenDevice(o.port))
            return true;
        printErr(o.port + QStringLiteral(":無効 (") + LastComOpenError() + u')');
        return false;
    }
    if (!o.port.isEmpty()) {
        bool ok = false;
        link.ComPortNo = o.port.toInt(&ok);
        if (!ok)
            link.ComPortNo = 0;
    } else {
        QSettings ini(ComPortSettingsFile(), QSettings::IniFormat);
        bool ok = false;
        link.ComPortNo = ini.value(QStringLiteral("Serial/ComPort"), 1).toInt(&ok);
        if (!ok)
            link.ComPortNo = 1;
    }
    if (link.OpenPort())
        return true;
    QString reason = LastComOpenError();
    if (link.ComPortNo < 1 || link.ComPortNo > kMaxComPort)
        reason = QStringLiteral("COM1..COM16 only");
    printErr(QStringLiteral("COM%1:無効 (%2)").arg(link.ComPortNo).arg(reason));
    return false;
}

int runInfo(TUnitLink &link) {
    if (!link.LinkUp())
        return 1; // the link has reported the silent unit
    const int patch = link.QueryCurrentPatch();
    const int status = link.QueryStatus();
    const int word = status < 0 ? 0 : status;
    std::printf("firmware=%s\n", FormatFirmwareVersion(link.FirmwareVersion).toUtf8().constData());
    if (patch < 0)
        std::printf("patch=none\n");
    else
        std::printf("patch=%d\n", patch + 1);
    std::printf("dmx_a=%d\ndmx_b=%d\n", word & 0x001 ? 1 : 0, word & 0x010 ? 1 : 0);
    std::fflush(stdout);
    link.SendCmd(QStringLiteral("R000\r"));
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const cli::CliOptions o = cli::ParseCliOptions(app.arguments());
    if (o.help) {
        std::fputs(cli::CliUsage().toUtf8().constData(), stdout);
        return 0;
    }
    if (!o.error.isEmpty()) {
        printErr(QStringLiteral("kestrava-cli: ") + o.error);
        std::fputs(cli::CliUsage().toUtf8().constData(), stderr);
        return 2;
    }
    SetComPortSettingsFile(o.settingsFile.isEmpty() ? KestravaSettingsPath() : o.settingsFile);
    StderrResponder responder;
    ScopedMessageResponder scoped(&responder);

    TUnitLink link;
    if (!openUnitPort(link, o))
        return 1;
    int rc = 1;
    if (o.command == QLatin1String("info"))
        rc = runInfo(link);
    link.ClosePort();
    return rc;
}
