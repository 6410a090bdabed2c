#pragma once

#include <QString>
#include <QStringList>

// The link's part of the settings file: the unit's COM port ([Serial] ComPort) and, where
// the system has no COM numbers of its own, the port table ([Ports] COM1..COM16). The
// editor and the command-line tool share the file.

namespace kestrava {

class TLinkSettings {
public:
    TLinkSettings() = default;
    explicit TLinkSettings(QString file) : file_(std::move(file)) {}

    const QString &File() const { return file_; }

    // [Serial] ComPort; 1 when it is missing or not an integer.
    int ComPort() const;
    void SetComPort(int port) const;

    // The options dialog's port items, as ComPortItems gives them for this file.
    QStringList ComPortItems() const;

private:
    QString file_;
};

} // namespace kestrava
