#pragma once

#include "RecordingProgress.h"
#include "ScriptedResponder.h"
#include "TransferEnv.h"
#include "UnitLink.h"
#include "UnitSim.h"

#include <QTest>

namespace kestrava::test {

// A linked unit simulator with every box and progress call recorded; the log
// starts empty after the link-up.
struct TransferRig {
    explicit TransferRig(sim::UnitSimOptions options = {}) : sim(options) {
        sim.start();
        link.ComPortNo = 7;
        link.OpenDevice(sim.devicePath());
        link.LinkUp();
        sim.clearLog();
    }
    ~TransferRig() { link.ClosePort(); }
    bool ready() const { return link.PortOpen && link.Linked; }

    sim::UnitSim sim;
    ScriptedResponder boxes;
    RecordingProgress progress;
    TUnitLink link{TBoxes(boxes)};
    TransferEnv env{link, progress};
};

} // namespace kestrava::test
