#pragma once

#include "UnitSim.h"

#include <QByteArray>

namespace kestrava::sim {

// The unit's inner state and its answer to one request line, free of any I/O.
class UnitCore {
public:
    struct Answer {
        enum Kind { Ack, Value, Refused };
        Kind kind = Refused;
        QByteArray value; // the hexadecimal digits of a Value
    };

    void powerOn(int currentPatch);
    Answer handle(const QByteArray &request);

    UnitMemory working = UnitMemory::factoryDefault();
    UnitMemory stored = UnitMemory::factoryDefault();
    int firmware = 0;
    int status = 0;
    int currentPatch = 0;
    int remoteMode = 0; // 0 off, 1 after R001, 2 after R002
    int checkOutput = -1;
    int checkLevel = 0xFF;
    int storesWP = 0;
    int storesWA = 0;
    int storesWC = 0;

private:
    Answer query(int address) const;
    Answer writeOne(int address, int code);
    Answer writeBlock(int address, const QByteArray &codes);
    Answer outputCheck(int code);
};

// Parses upper-case hexadecimal digits only, as the program sends them.
bool parseHex(QByteArrayView digits, int &value);
QByteArray formatCodes(const int *codes, int count);

} // namespace kestrava::sim
