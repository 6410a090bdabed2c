#pragma once

#include "Progress.h"

#include <cstdio>

namespace kestrava::cli {

// A one-line bar with the transfer's text, redrawn in place on a terminal.
class TerminalProgress : public TransferProgress {
public:
    explicit TerminalProgress(std::FILE *out) : out_(out) {}
    void Start(const QString &text) override;
    void SetFraction(double fraction) override;
    void Finish(const QString &text) override;

private:
    void draw();
    std::FILE *out_;
    QString text_;
    int position_ = -1;
    bool shown_ = false;
};

} // namespace kestrava::cli
