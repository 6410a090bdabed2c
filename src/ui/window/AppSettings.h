#pragma once

#include "PatchModel.h"

#include <QSettings>

namespace kestrava {

// The settings of the [General] and [Serial] sections, with their defaults and the
// corrections applied when they are read.
struct TAppSettings {
    int MaxTxChannel = OutputCount;
    int MaxRxChannel = OutputCount;
    bool WarnChgPatch = true;
    bool DispAbCh = false;
    int PatTableMode = 0;
    int PatTableWidth = 10;
    int CrvGridWidth = 8;
    int CheckValue = 255;

    // What the window reads when it is created (General keys but CheckValue).
    void ReadCreate(QSettings &ini);
    // What it reads when it is first shown: the check level (the port is the link's).
    void ReadShow(QSettings &ini);
    // Everything, as the window writes it when it closes (placement aside).
    void WriteGeneral(QSettings &ini) const;
    void WriteCheckValue(QSettings &ini) const;
};

// An integer key, or the default when it is missing or not an integer.
int ReadIniInt(QSettings &ini, const QString &key, int defaultValue);
bool ReadIniBool(QSettings &ini, const QString &key, bool defaultValue);

} // namespace kestrava
