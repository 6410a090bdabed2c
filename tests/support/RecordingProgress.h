#pragma once

#include "Progress.h"

#include <QList>
#include <QStringList>

namespace kestrava::test {

// Remembers every call, to check brackets and fractions.
class RecordingProgress : public TransferProgress {
public:
    void Start(const QString &text) override {
        starts.append(text);
        ++open;
    }
    void SetFraction(double f) override { fractions.append(f); }
    void Finish(const QString &text) override {
        finishes.append(text);
        --open;
    }
    QStringList starts;
    QStringList finishes;
    QList<double> fractions;
    int open = 0; // Start without Finish
};

} // namespace kestrava::test
