#pragma once

#include <QString>

namespace kestrava {

// Progress of a transfer: the status-bar bar in the program, a terminal bar in the
// command-line tool. Fractions run from 0 to 1.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void Start(const QString &text) = 0;
    virtual void SetFraction(double fraction) = 0;
    virtual void Finish(const QString &text) = 0;
};

class NullProgress : public TransferProgress {
public:
    void Start(const QString &) override {}
    void SetFraction(double) override {}
    void Finish(const QString &) override {}
};

// Position 0..100 of a bar for a fraction: above 1 counts as 1, below 0 as 0.
inline int ProgressPosition(double fraction) {
    if (!(fraction > 0)) // NaN too
        return 0;
    if (fraction > 1)
        return 100;
    return static_cast<int>(fraction * 100);
}

} // namespace kestrava
